#pragma once
#include "setup/setup_ini.h"

namespace kelva::setup {

// Setup.ini through the profile functions (a file without BOM is read in the ANSI code page).
class WinIni : public IniSource {
public:
    std::wstring read(std::wstring_view file, std::wstring_view section, std::wstring_view key) override;
};

}  // namespace kelva::setup
