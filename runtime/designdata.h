#pragma once
// The text form of a window's stored design data: the window and each control on it as a block
// "Begin <Type> <Name>" ... "End" holding "Key = value" lines and the blocks of the controls it
// contains. Values: "text" (quotes doubled inside), True/False, a whole number (decimal, or &H...&
// hexadecimal), a number with a point or exponent, a font block
// "BeginProperty <Key>" ... "EndProperty", and a picture as Bitmap "<hex of the BMP file>".
#include <string>
#include <string_view>
#include <vector>

#include "runtime/propbag.h"

namespace kelva::rt {

struct DesignNode {
    std::wstring type;
    std::wstring name;
    PropertyBag props;
    std::vector<DesignNode> children;

    const DesignNode* child(std::wstring_view childName) const;
};

struct DesignParse {
    std::vector<DesignNode> nodes;
    std::wstring error;  // empty when the text was read whole
    int errorLine = 0;   // 1-based line of the first error
    bool ok() const { return error.empty(); }
};

DesignParse parseDesign(std::wstring_view text);
std::wstring formatDesign(const DesignNode& node);

}  // namespace kelva::rt
