#pragma once
#include "core/errors.h"

// The run-time error number a call raises, 0 when it returns.
template <class F>
int errorOf(F&& f) {
    try {
        f();
    } catch (const kelva::VbError& e) {
        return e.number();
    }
    return 0;
}
