#pragma once
// The registrar: it refuses to run beside AutoCAD, else registers the suite with every AutoCAD
// release and profile of the current user (menu group and partial menu, Startup Suite, support
// path), registers the suite's COM files and reports the outcome in one message.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "setup/cregistry.h"
#include "setup/file_store.h"
#include "setup/setup_ini.h"

namespace kelva::setup {

// Loads a COM file and calls its registration export. Codes: 0 no such file, 1 not loadable,
// 2 no "DllRegisterServer", 3 it failed, 4 registered.
class ServerRegistrar {
public:
    virtual ~ServerRegistrar() = default;
    virtual int RegisterServer(const std::wstring& path) = 0;
};

inline constexpr int kRegistered = 4;

// Whether an AutoCAD is running (its automation object, its process or its main window).
class AutoCadProbe {
public:
    virtual ~AutoCadProbe() = default;
    virtual bool GetACAD() = 0;
};

// The one message box of a run (information icon, OK only).
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void show(const std::wstring& text, const std::wstring& caption) = 0;
};

struct SetupServices {
    RegistryStore& registry;
    FileStore& files;
    IniSource& ini;
    ServerRegistrar& servers;
    AutoCadProbe& probe;
    MessageSink& messages;
    std::wstring programFolder;  // without a trailing backslash
};

inline constexpr std::wstring_view kAutoCadKey = L"Software\\Autodesk\\AutoCAD\\";

// The version number in a release key name ("R16.2" gives 16.2), "." being the decimal point
// whatever the locale; 0 when it has none.
double ReleaseVersion(std::wstring_view releaseName);

// True when the data of some pair contains folder\item (letter case ignored).
bool IsInValueList(std::wstring_view programFolder, std::wstring_view item,
                   const std::vector<std::pair<std::wstring, RegData>>& values);

// The support path with the folder added as a last entry, or nothing when it is there already.
std::wstring supportPathWith(std::wstring_view path, std::wstring_view folder, bool& changed);

enum class Outcome { Refused, Registered, Failed };

class Registrar {
public:
    explicit Registrar(SetupServices services);

    // The start procedure: probe, delete stale files, the four steps, the message.
    Outcome Main();

    void RegisterMenuGroups();
    void RegisterStartupSuite();
    void AddSupportPath();
    void RegisterLibraries();
    // A run that found no profile to register into is a failed run: each release without a
    // profile is named, or AutoCAD itself when there is no release at all.
    void ReportUnservedReleases();
    void AddPartialMenu(std::wstring_view partialName, std::wstring_view mainPath);

    std::wstring ReadCuiFile(std::wstring_view path, bool& ok);
    bool WriteCuiFile(std::wstring_view text, std::wstring_view path);

    bool gSetupFailed = false;
    std::wstring gSetupErrors;

    static const std::wstring kRefusalText;
    static const std::wstring kDoneText;

private:
    struct Release {
        std::wstring name;
        std::wstring curVer;
        double version = 0;
        std::wstring versionKey;  // V: Software\Autodesk\AutoCAD\R\CurVer
        bool perUser = false;     // reached through the user's own release keys
        View view = View::Own;    // the view of the machine's keys that holds the installation
        std::wstring location;    // AutoCAD's folder, "" when no view knows it
        std::vector<std::wstring> profiles;
        // How the failure text names the release: "AutoCAD R16.2\ACAD-4001:412 (32비트)".
        std::wstring label() const;
    };
    // Every release: the user's, then those installed in either view of the machine's keys, each
    // once, with the view it was found in.
    std::vector<Release> allReleases();
    // The releases the steps serve: a release installed but never started is left alone.
    std::vector<Release> releases(bool withVersionOnly);
    // The user's keys of a release, in the release's view (HKEY_CURRENT_USER\Software is shared,
    // so they are the same keys in both).
    static HiveView userKeys(const Release& r);
    std::wstring setupIni() const;
    std::wstring inFolder(std::wstring_view name) const;
    void replaceError(std::wstring_view text);
    void appendError(std::wstring_view text);
    void write(std::wstring_view name, const RegData& value, std::uint32_t type);

    SetupServices s_;
    cRegistry gRegistry;
};

}  // namespace kelva::setup
