#pragma once
// What the suite's tests check again and again: the run-time error a call raises.
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

}  // namespace kelva
