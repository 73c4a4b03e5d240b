#pragma once
// What the library's engineering classes need between automation values and their portable logic:
// numbers out of Variants with the runtime's errors, the solvers' (value, flag) pair, and line lists
// read straight out of a client's arrays.
#include <oaidl.h>

#include <string>

#include "com/values.h"
#include "englib/goalseek.h"
#include "englib/table_logic.h"

namespace kelva::eng::glue {

// The readers below first check the Variant's shape (com/arguments.h): 5 or DISP_E_BADVARTYPE when broken.
// A Variant as a Double: 13 when it is no number, 6 when it does not fit, 94 for Null.
double toDouble(const VARIANT& v);
// A Variant as text, as a Basic caller's CStr would make it.
std::wstring toText(const VARIANT& v);
// False for a left-out optional (VT_ERROR / DISP_E_PARAMNOTFOUND) or a null pointer.
bool isGiven(const VARIANT* v) noexcept;
// Whether the value equals True (-1), as a Basic comparison with True decides.
bool equalsTrue(const VARIANT& v);

// A zero-based array of two Variants: (x, True) or (message, False).
com::Variant solverResult(const GoalSeekResult& r);

// A client's line list: an array whose entries are arrays of numbers.
class VariantLines : public LineList {
public:
    explicit VariantLines(SAFEARRAY* lines);  // 13 for no array, 5 for a broken one, 9 for more than one dimension
    std::int32_t lowerBound() const override { return lower_; }
    std::int32_t upperBound() const override { return upper_; }
    double element(std::int32_t entry, int index) const override;

private:
    SAFEARRAY* lines_;
    std::int32_t lower_ = 0, upper_ = -1;
};

// The array of a Variant that holds one, else null.
SAFEARRAY* arrayIn(const VARIANT& v);

// Lets the host's window messages through once when input is waiting (keys, mouse moves, buttons).
void yieldToInput() noexcept;

}  // namespace kelva::eng::glue
