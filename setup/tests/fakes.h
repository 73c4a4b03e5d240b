#pragma once
// Test doubles for the registrar's outside world, and a fixture that wires them up.
#include <string>
#include <vector>

#include "setup/memory_registry.h"
#include "setup/registrar.h"
#include "setup/tests/memory_files.h"

namespace kelva::setup::fakes {

class ScriptedServers : public ServerRegistrar {
public:
    std::map<std::wstring, int> codes;  // by lower-case path; a path not listed gives 0
    std::vector<std::wstring> calls;
    int RegisterServer(const std::wstring& path) override {
        calls.push_back(path);
        auto it = codes.find(lowerText(path));
        return it == codes.end() ? 0 : it->second;
    }
};

class ScriptedProbe : public AutoCadProbe {
public:
    bool running = false;
    bool GetACAD() override { return running; }
};

class RecordedMessages : public MessageSink {
public:
    struct Box {
        std::wstring text, caption;
    };
    std::vector<Box> shown;
    void show(const std::wstring& text, const std::wstring& caption) override { shown.push_back({text, caption}); }
};

inline constexpr const wchar_t* kFolder = L"C:\\Program Files\\Kelva";

struct SetupWorld {
    MemoryRegistry registry;
    MemoryFiles files;
    MemoryIni ini;
    ScriptedServers servers;
    ScriptedProbe probe;
    RecordedMessages messages;

    SetupServices services() { return SetupServices{registry, files, ini, servers, probe, messages, kFolder}; }

    // A release R with current version C and its profiles.
    std::wstring release(std::wstring_view r, std::wstring_view c) {
        const std::wstring key = std::wstring(kAutoCadKey) + std::wstring(r);
        registry.setText(Hive::CurrentUser, key, L"CurVer", c);
        return key + L"\\" + std::wstring(c);
    }
    static std::wstring profile(const std::wstring& v, std::wstring_view p) {
        return v + L"\\Profiles\\" + std::wstring(p);
    }
    std::wstring value(const std::wstring& key, std::wstring_view name) {
        RawValue v;
        if (registry.queryValue(Hive::CurrentUser, key, name, v) != 0) return L"<missing>";
        if (v.type == regtype::Dword) return L"dword:" + std::to_wstring(v.data[0]);
        std::wstring t = fromUtf16Bytes(v.data.data(), v.data.size());
        while (!t.empty() && t.back() == 0) t.pop_back();
        return t;
    }
};

}  // namespace kelva::setup::fakes
