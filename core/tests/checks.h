#pragma once
// What the suite's tests check again and again: the run-time error a call raises, and tables of
// cases, each row a call's input, what it must give and why the row is there.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>

#include "core/errors.h"

namespace kelva {

// The run-time error number a call raises, 0 when it returns.
template <class F>
int errorOf(F&& f) {
    try {
        std::forward<F>(f)();
    } catch (const VbError& e) {
        return e.number();
    }
    return 0;
}

// One row of a table: the input (a std::tuple when the call takes several arguments), the result
// it must give and, where the row is not self-evident, why it is there.
template <class In, class Out>
struct Case {
    In input;
    Out expected;
    std::string_view note = {};
};

namespace detail {
template <class T, class = void>
inline constexpr bool isTuple = false;
template <class T>
inline constexpr bool isTuple<T, std::void_t<decltype(std::tuple_size<T>::value)>> = true;

template <class In, class Out>
std::string describe(const Case<In, Out>& row) {
    std::string text = "input " + ::testing::PrintToString(row.input);
    if (!row.note.empty()) text += ": " + std::string(row.note);
    return text;
}

template <bool approximate, class Rows, class F>
void checkEachRow(const Rows& rows, F&& call) {
    for (const auto& row : rows) {
        SCOPED_TRACE(describe(row));
        using In = std::decay_t<decltype(row.input)>;
        const auto got = [&] {
            if constexpr (isTuple<In>)
                return std::apply(call, row.input);
            else
                return call(row.input);
        }();
        if constexpr (approximate)
            EXPECT_DOUBLE_EQ(got, row.expected);
        else
            EXPECT_EQ(got, row.expected);
    }
}
}  // namespace detail

// Checks the call against every row of the table, naming the failing row; a tuple input is
// spread over the call's arguments.
template <class Rows, class F>
void checkRows(const Rows& rows, F&& call) {
    detail::checkEachRow<false>(rows, call);
}

// The same for floating-point results, which need only agree to within 4 units in the last place.
template <class Rows, class F>
void checkRowsNear(const Rows& rows, F&& call) {
    detail::checkEachRow<true>(rows, call);
}

}  // namespace kelva
