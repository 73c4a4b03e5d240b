#pragma once
// Goal seek by secant iteration: finds x with F(x) = target. Used by the clothoid solvers, which
// return the pair (x, True) or (message, False) instead of raising.
#include <functional>
#include <string>

namespace kelva::eng {

struct GoalSeekOptions {
    double target = 0.0;
    // The second trial point, asked for only when the start misses the target; x0·1.1 (0.5 for x0 = 0)
    // when absent.
    std::function<double()> guess;
    double accuracy = 1e-8;
    bool positive = false;        // keep trial points from going below 0
    bool inclusive = false;       // "within the accuracy" means <= instead of <
};

struct GoalSeekResult {
    bool ok = false;
    double value = 0.0;     // the solution when ok
    std::wstring message;   // the reason when not ok
};

inline constexpr wchar_t kNoProgress[] = L"결과 안바뀜";
inline constexpr wchar_t kTooHard[] = L"힘들어";

// Runs the iteration from x0. `yield` is called once before every step so a host can pump its input.
// A failing evaluation of F ends the search with the error's description, never with a success.
GoalSeekResult goalSeek(const std::function<double(double)>& f, double x0, const GoalSeekOptions& options,
                        const std::function<void()>& yield = {});

// The functions the five solvers drive.
double findANFunction(double x, double rad, double ia, double n);

}  // namespace kelva::eng
