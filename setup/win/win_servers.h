#pragma once
#include "setup/registrar.h"

namespace kelva::setup {

// Loads the file with its own folder on the search path, calls DllRegisterServer, unloads it.
class WinServerRegistrar : public ServerRegistrar {
public:
    int RegisterServer(const std::wstring& path) override;
};

}  // namespace kelva::setup
