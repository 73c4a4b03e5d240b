#include "calculator.h"

#include <cmath>
#include <cwctype>
#include <numbers>
#include <optional>
#include <variant>
#include <vector>

#include "core/errors.h"
#include "core/values.h"

namespace kelva::eng {

namespace {

constexpr size_t kMaxLength = 32767;  // positions are 16-bit in the evaluator's contract

// A bracket's value stays a number inside the enclosing expression; only text that was never
// computed stays text. A piece of an operand is one or the other.
using Piece = std::variant<std::wstring, double>;

struct Operand {
    std::vector<Piece> pieces;
    int sign = 1;  // unary signs written right after another operator

    std::wstring text() const {
        std::wstring t;
        for (const Piece& p : pieces) t += std::holds_alternative<double>(p) ? formatDouble(std::get<double>(p)) : std::get<std::wstring>(p);
        return t;
    }
    bool isSingleNumber() const { return pieces.size() == 1 && std::holds_alternative<double>(pieces[0]); }
};

bool isOperator(wchar_t c) { return c == L'+' || c == L'-' || c == L'*' || c == L'/' || c == L'^'; }

struct DivisionByZeroStop {};

// One bracket level (or the whole text): its characters and the values of brackets already reduced.
struct Frame {
    std::vector<Piece> pieces;

    void addChar(wchar_t c) {
        if (pieces.empty() || !std::holds_alternative<std::wstring>(pieces.back())) pieces.emplace_back(std::wstring{});
        std::get<std::wstring>(pieces.back()) += c;
    }
    void addPiece(const Piece& p) {
        if (std::holds_alternative<std::wstring>(p)) {
            for (wchar_t c : std::get<std::wstring>(p)) addChar(c);
        } else {
            pieces.push_back(p);
        }
    }
};

bool containsExact(const std::vector<Piece>& pieces, std::wstring_view name) {
    for (const Piece& p : pieces)
        if (const auto* s = std::get_if<std::wstring>(&p); s && s->find(name) != std::wstring::npos) return true;
    return false;
}

std::wstring lower(std::wstring s) {
    for (wchar_t& c : s) c = static_cast<wchar_t>(std::towlower(c));
    return s;
}

double checked(double v) {
    if (std::isnan(v)) raise(err::InvalidCall);
    if (std::isinf(v)) raise(err::Overflow);
    return v;
}

double degreesToRadians(double d) { return d * std::numbers::pi / 180.0; }
double radiansToDegrees(double r) { return r * 180.0 / std::numbers::pi; }

// The operand with its first `n` characters cut off: a bracket value right after the name is used
// as the number it is; anything else is read strictly as text.
double functionArgument(const Operand& op, size_t n) {
    std::vector<Piece> rest;
    size_t skip = n;
    for (const Piece& p : op.pieces) {
        if (skip == 0) {
            rest.push_back(p);
            continue;
        }
        if (const auto* s = std::get_if<std::wstring>(&p)) {
            if (s->size() <= skip) {
                skip -= s->size();
            } else {
                rest.emplace_back(s->substr(skip));
                skip = 0;
            }
        } else {
            const std::wstring t = formatDouble(std::get<double>(p));
            if (t.size() <= skip) {
                skip -= t.size();
            } else {
                rest.emplace_back(t.substr(skip));
                skip = 0;
            }
        }
    }
    if (rest.size() == 1 && std::holds_alternative<double>(rest[0])) return std::get<double>(rest[0]);
    Operand o{rest, 1};
    return parseDouble(o.text());
}

double inverseRatio(double t) {
    if (t < -1.0 || t > 1.0) raise(err::InvalidCall);
    return t;
}

// The first function name the operand contains (in any case) decides; the name must open it.
std::optional<double> applyFunction(const Operand& op) {
    const std::wstring t = lower(op.text());
    struct Name {
        std::wstring_view lowered;
        size_t length;
    };
    static const Name names[] = {{L"arcsin", 6}, {L"arccos", 6}, {L"arctan", 6}, {L"sin", 3},
                                 {L"cos", 3},    {L"tan", 3},    {L"√", 1},      {L"π", 1}};
    for (size_t i = 0; i < std::size(names); ++i) {
        if (t.find(names[i].lowered) == std::wstring::npos) continue;
        if (i == 7) return std::numbers::pi;
        const double a = functionArgument(op, names[i].length);
        switch (i) {
        case 0: return checked(radiansToDegrees(std::asin(inverseRatio(a))));
        case 1: return checked(radiansToDegrees(std::acos(inverseRatio(a))));
        case 2: return checked(radiansToDegrees(std::atan(a)));
        case 3: return checked(std::sin(degreesToRadians(a)));
        case 4: return checked(std::cos(degreesToRadians(a)));
        case 5: return checked(std::tan(degreesToRadians(a)));
        default:
            if (a < 0.0) raise(err::InvalidCall);
            return checked(std::sqrt(a));
        }
    }
    return std::nullopt;
}

double valueOf(const Operand& op) {
    const double v = op.isSingleNumber() ? std::get<double>(op.pieces[0]) : leadingNumber(op.text());
    return op.sign < 0 ? -v : v;
}

double apply(wchar_t op, double l, double r) {
    switch (op) {
    case L'^': {
        if (l == 0.0 && r < 0.0) raise(err::InvalidCall);
        return checked(std::pow(l, r));
    }
    case L'*': return checked(l * r);
    case L'/':
        if (r == 0.0) throw DivisionByZeroStop{};
        return checked(l / r);
    case L'+': return checked(l + r);
    default: return checked(l - r);
    }
}

// Evaluates one bracket-free level: the result is a number, or the text itself when it holds neither
// an operator nor a function.
Piece evaluateFlat(const Frame& frame) {
    const bool hasFunctions = containsExact(frame.pieces, L"Cos") || containsExact(frame.pieces, L"Sin") ||
                              containsExact(frame.pieces, L"Tan") || containsExact(frame.pieces, L"√") ||
                              containsExact(frame.pieces, L"π");
    // Cut into operands and operators; a + or - right after another operator is the next operand's sign.
    std::vector<Operand> operands(1);
    std::vector<wchar_t> operators;
    bool afterOperator = false;
    for (const Piece& p : frame.pieces) {
        if (const auto* s = std::get_if<std::wstring>(&p)) {
            for (wchar_t c : *s) {
                if (isOperator(c)) {
                    if (afterOperator && (c == L'+' || c == L'-')) {
                        if (c == L'-') operands.back().sign = -operands.back().sign;
                        operands.back().pieces.clear();
                        continue;
                    }
                    operators.push_back(c);
                    operands.emplace_back();
                    afterOperator = true;
                } else {
                    Operand& o = operands.back();
                    if (o.pieces.empty() || !std::holds_alternative<std::wstring>(o.pieces.back())) o.pieces.emplace_back(std::wstring{});
                    std::get<std::wstring>(o.pieces.back()) += c;
                    // Blanks between an operator and a sign ("2 * -3") leave the sign a sign.
                    if (c != L' ') afterOperator = false;
                }
            }
        } else {
            operands.back().pieces.push_back(p);
            afterOperator = false;
        }
    }

    std::vector<std::optional<double>> values(operands.size());
    if (hasFunctions)
        for (size_t i = 0; i < operands.size(); ++i) values[i] = applyFunction(operands[i]);

    if (operators.empty()) {
        if (values[0]) return operands[0].sign < 0 ? -*values[0] : *values[0];
        if (operands[0].isSingleNumber()) return valueOf(operands[0]);
        return operands[0].text();
    }

    std::vector<double> nums(operands.size());
    for (size_t i = 0; i < operands.size(); ++i)
        nums[i] = values[i] ? (operands[i].sign < 0 ? -*values[i] : *values[i]) : valueOf(operands[i]);

    // Three passes, each applying its operators from the left.
    const std::wstring_view passes[] = {L"^", L"*/", L"+-"};
    for (std::wstring_view pass : passes) {
        std::vector<double> nextNums{nums[0]};
        std::vector<wchar_t> nextOps;
        for (size_t i = 0; i < operators.size(); ++i) {
            if (pass.find(operators[i]) != std::wstring_view::npos) {
                nextNums.back() = apply(operators[i], nextNums.back(), nums[i + 1]);
            } else {
                nextOps.push_back(operators[i]);
                nextNums.push_back(nums[i + 1]);
            }
        }
        nums = std::move(nextNums);
        operators = std::move(nextOps);
    }
    return nums[0];
}

}  // namespace

std::wstring calculate(std::wstring_view input) {
    std::wstring text;
    text.reserve(input.size());
    for (wchar_t c : input)
        if (c != L',') text += c;
    if (text.size() > kMaxLength) raise(err::Overflow);

    long opening = 0, closing = 0;
    for (wchar_t c : text) {
        if (c == L'(') ++opening;
        if (c == L')') ++closing;
    }
    if (closing > opening) return kMissingLeftBracket;
    if (opening > closing) return kMissingRightBracket;

    // Innermost brackets first, left to right, without recursion: deep nesting costs only heap.
    try {
        std::vector<Frame> stack(1);
        for (wchar_t c : text) {
            if (c == L'(') {
                stack.emplace_back();
            } else if (c == L')') {
                if (stack.size() == 1) raise(err::InvalidCall);  // a ")" before its "("
                const Piece value = evaluateFlat(stack.back());
                stack.pop_back();
                stack.back().addPiece(value);
            } else {
                stack.back().addChar(c);
            }
        }
        if (stack.size() != 1) raise(err::InvalidCall);
        const Piece result = evaluateFlat(stack.back());
        if (const auto* s = std::get_if<std::wstring>(&result)) return *s;
        return formatDouble(std::get<double>(result));
    } catch (const DivisionByZeroStop&) {
        return kDivisionByZero;
    }
}

}  // namespace kelva::eng
