#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/errors.h"
#include "englib/clothoid.h"
#include "englib/goalseek.h"

using namespace kelva;
using namespace kelva::eng;

namespace {
struct Recorder {
    std::vector<double> points;
    std::function<double(double)> wrap(std::function<double(double)> f) {
        return [this, f](double x) {
            points.push_back(x);
            return f(x);
        };
    }
};
}  // namespace

TEST(GoalSeek, StartThatMeetsTheTargetNeedsNoSecondPoint) {
    Recorder rec;
    GoalSeekOptions o;
    o.target = 4;
    const auto r = goalSeek(rec.wrap([](double x) { return x * x; }), 2, o);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.value, 2);
    EXPECT_EQ(rec.points, std::vector<double>{2});
    // The second point is not even asked for.
    o.guess = []() -> double { kelva::raise(err::TypeMismatch); };
    EXPECT_TRUE(goalSeek([](double x) { return x * x; }, 2, o).ok);
}

TEST(GoalSeek, SecondPointDefaults) {
    for (double start : {0.0, 10.0}) {
        Recorder rec;
        GoalSeekOptions o;
        o.target = 1000;
        goalSeek(rec.wrap([](double x) { return x; }), start, o);
        ASSERT_GE(rec.points.size(), 2u);
        EXPECT_DOUBLE_EQ(rec.points[1], start == 0 ? 0.5 : 11);
    }
    Recorder rec;
    GoalSeekOptions o;
    o.target = 1000;
    o.guess = [] { return 7.0; };
    goalSeek(rec.wrap([](double x) { return x; }), 3, o);
    EXPECT_EQ(rec.points[1], 7);
}

TEST(GoalSeek, PositiveKeepsTrialPointsAboveZero) {
    // The secant from (10, 100) and (11, 121) toward -200 would go below zero, to -90/21.
    auto square = [](double x) { return x * x; };
    Recorder pos;
    GoalSeekOptions o;
    o.target = -200;
    o.positive = true;
    goalSeek(pos.wrap(square), 10, o);
    ASSERT_GE(pos.points.size(), 3u);
    EXPECT_DOUBLE_EQ(pos.points[2], 5.5);
    for (double p : pos.points) EXPECT_GE(p, 0);

    Recorder neg;
    o.positive = false;
    goalSeek(neg.wrap(square), 10, o);
    ASSERT_GE(neg.points.size(), 3u);
    EXPECT_LT(neg.points[2], 0);
}

TEST(GoalSeek, NoProgressAndStepLimit) {
    Recorder flat;
    GoalSeekOptions o;
    o.target = 5;
    auto r = goalSeek(flat.wrap([](double) { return 1.0; }), 3, o);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, kNoProgress);
    EXPECT_EQ(flat.points.size(), 2u);

    // Values that keep moving but never reach the target: the search runs its 101 steps and gives up.
    Recorder never;
    int yields = 0;
    double calls = 0;
    o.target = -0.5;
    r = goalSeek(never.wrap([&](double) { return calls++; }), 3, o, [&] { ++yields; });
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, kTooHard);
    EXPECT_EQ(never.points.size(), 102u);  // the start and 101 steps
    EXPECT_EQ(yields, 101);
}

TEST(GoalSeek, ZeroAccuracyStillAcceptsAnExactHitWhenInclusive) {
    GoalSeekOptions o;
    o.target = 9;
    o.accuracy = 0;
    o.inclusive = true;
    const auto r = goalSeek([](double x) { return 3 * x; }, 1, o);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.value, 3);
}

TEST(GoalSeek, FailingEvaluationEndsTheSearchWithItsMessage) {
    // The evaluation at the second point fails; with a target of 0 a skipped assignment would have
    // left f1 = 0 and reported a false success.
    GoalSeekOptions o;
    o.target = 0;
    const auto r = goalSeek([](double x) -> double {
        if (x > 1) kelva::raise(err::DivisionByZero);
        return x + 5;
    }, 1, o);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, L"Division by zero");

    const auto first = goalSeek([](double) -> double { kelva::raise(err::Overflow); }, 1, o);
    EXPECT_FALSE(first.ok);
    EXPECT_EQ(first.message, L"Overflow");
}

TEST(GoalSeek, ClothoidSolutionsSatisfyTheirFormulas) {
    // Egg shape: the clothoid parameter that gives the wanted centre distance.
    {
        const double r1 = 300, r2 = 150, distance = clothoidAE(r1, r2, 0, 137);
        GoalSeekOptions o;
        const auto r = goalSeek([&](double a) { return clothoidAE(r1, r2, distance, a); }, 100, o);
        ASSERT_TRUE(r.ok) << std::string(r.message.begin(), r.message.end());
        EXPECT_LT(std::fabs(clothoidAE(r1, r2, distance, r.value)), 1e-8);
    }
    // Same-side circles and an S curve with a ratio.
    for (bool sCurve : {false, true}) {
        const double r1 = 400, r2 = 250;
        auto f = [&](double a) { return sCurve ? clothoidASR(r1, r2, a, 1.5) : clothoidADER(r1, r2, a, 1.5); };
        const double target = f(137);
        GoalSeekOptions o;
        o.target = target;
        o.positive = true;
        const auto r = goalSeek(f, 150, o);
        ASSERT_TRUE(r.ok) << std::string(r.message.begin(), r.message.end());
        EXPECT_LT(std::fabs(f(r.value) - target), 1e-8);
        EXPECT_GT(r.value, 0);
    }
    // The clothoid length that gives a shift of 1.2 for R = 300.
    {
        GoalSeekOptions o;
        o.target = 1.2;
        const auto r = goalSeek([](double l) { return findDR(300, l); }, 50, o);
        ASSERT_TRUE(r.ok);
        EXPECT_LT(std::fabs(findDR(300, r.value) - 1.2), 1e-8);
    }
    // The parameter for which the circular arc is twice a clothoid's length.
    {
        const double rad = 300, ia = 0.6, n = 2;
        GoalSeekOptions o;
        o.inclusive = true;
        const auto r = goalSeek([&](double x) { return findANFunction(x, rad, ia, n); }, 100, o);
        ASSERT_TRUE(r.ok);
        const double l = r.value * r.value / rad;
        EXPECT_NEAR(rad * ia - l, n * l, 1e-6);
    }
}

TEST(GoalSeek, FindANFunctionFaults) {
    EXPECT_DOUBLE_EQ(findANFunction(10, 100, 1, 4), 1 - (100 - 1) / 4.0);
    EXPECT_THROW(findANFunction(10, 100, 1, 0), VbError);
    EXPECT_THROW(findANFunction(10, 0, 1, 1), VbError);
}
