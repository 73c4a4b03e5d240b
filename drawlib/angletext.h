#pragma once
// Decimal degrees to degree-minute-second texts and back.
#include <string>

namespace kelva::draw {

// D°MM' forms with seconds to iUnit - 4 decimals (3 and 4: whole seconds); "" for 0 degrees.
std::wstring angleUnitText(double degrees, int unit);
// Styles 1 "D-M-S", 2 "D%%D M' S\"", 3 "D도 M분 S초"; seconds with exactly `decimals` decimals.
std::wstring degToDms(double degrees, int decimals, int style);
// Reads every text the two writers above produce (and plain numbers). A trailing degree mark or
// hyphen is dropped from `text` itself, as the caller's variable sees it afterwards.
double dmsToDeg(std::wstring& text);

}  // namespace kelva::draw
