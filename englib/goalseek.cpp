#include "goalseek.h"

#include <cmath>

#include "core/errors.h"

namespace kelva::eng {

namespace {
GoalSeekResult failure(std::wstring message) { return {false, 0.0, std::move(message)}; }
GoalSeekResult success(double x) { return {true, x, {}}; }

std::wstring describe(const VbError& e) {
    return e.description().empty() ? L"Error " + std::to_wstring(e.number()) : e.description();
}
}  // namespace

GoalSeekResult goalSeek(const std::function<double(double)>& f, double x0, const GoalSeekOptions& o,
                        const std::function<void()>& yield) {
    auto within = [&](double d) {
        const double a = std::fabs(d);
        return o.inclusive ? a <= o.accuracy : a < o.accuracy;
    };
    try {
        double f0 = f(x0);
        if (within(o.target - f0)) return success(x0);
        double x1 = o.guess ? o.guess() : (x0 != 0.0 ? x0 * 1.1 : 0.5);
        for (int step = 1;; ++step) {
            if (yield) yield();
            const double f1 = f(x1);
            if (within(o.target - f1)) return success(x1);
            // Equal values leave the secant without a slope, whatever the accuracy: no progress either.
            if (within(f1 - f0) || f1 == f0) return failure(kNoProgress);
            double x2 = (o.target * (x1 - x0) + x0 * f1 - x1 * f0) / (f1 - f0);
            if (!std::isfinite(x2)) raise(err::Overflow);
            if (o.positive && x2 < 0.0) x2 = x1 / 2.0;
            x0 = x1;
            f0 = f1;
            x1 = x2;
            if (step >= 101) return failure(kTooHard);
        }
    } catch (const VbError& e) {
        return failure(describe(e));
    }
}

double findANFunction(double x, double rad, double ia, double n) {
    auto div = [](double a, double b) {
        if (b == 0.0) raise(a == 0.0 ? err::Overflow : err::DivisionByZero);
        return a / b;
    };
    const double l = div(std::pow(x, 2.0), rad);
    const double v = l - div(rad * ia - div(std::pow(x, 2.0), rad), n);
    if (std::isnan(v)) raise(err::InvalidCall);
    if (std::isinf(v)) raise(err::Overflow);
    return v;
}

}  // namespace kelva::eng
