#include "setup/registrar.h"

#include <stdexcept>

#include "core/textcodec.h"
#include "core/values.h"
#include "setup/atomic_write.h"
#include "setup/cui_patch.h"
#include "setup/text.h"

namespace kelva::setup {

namespace {

// Ends a registration step; the step records its own failure text.
struct StepFailure : std::runtime_error {
    StepFailure() : std::runtime_error("registration step failed") {}
};

constexpr std::wstring_view kMenuFailed = L"메뉴등록 실패";
constexpr std::wstring_view kApploadFailed = L"Appload 실패";
constexpr std::wstring_view kPathFailed = L"경로추가 실패";
constexpr std::wstring_view kLibraryFailed = L"라이브러리 등록 실패";
constexpr std::wstring_view kCuiReadFailed = L"CUI 파일 열기 실패";
constexpr std::wstring_view kCuiWriteFailed = L"CUI 파일 등록 실패";
// A run that registered nothing says what it lacked, never that it is done.
constexpr std::wstring_view kNoStartupList = L" (Setup.ini에 Startup 목록 없음)";
constexpr std::wstring_view kNoLibraryList = L" (Setup.ini에 Lib 목록 없음)";
constexpr std::wstring_view kNoLocation = L" 설치 위치 없음";
constexpr std::wstring_view kNoAutoCad =
    L"AutoCAD 프로필 없음 (AutoCAD를 설치하고 한번 실행한 뒤 Setup.exe를 다시 실행해 주십시오)";
constexpr std::wstring_view kNoProfile = L" 프로필 없음 (AutoCAD를 한번 실행한 뒤 Setup.exe를 다시 실행해 주십시오)";

// The cause of a list the 255-character buffer cut: its complete items were used, the rest never read.
std::wstring listCut(std::wstring_view key) {
    return L" (Setup.ini의 " + std::wstring(key) + L" 목록이 255자를 넘어 끝까지 읽을 수 없음)";
}

// A 64-bit AutoCAD keeps its installation keys in the 64-bit view, a 32-bit one in the 32-bit view.
constexpr View kInstallViews[] = {View::Bits64, View::Bits32};

bool isDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// The lowest number k from 1 up for which prefix & k is no value name yet, so that an entry of
// another application is never overwritten.
int lowestFreeNumber(std::wstring_view prefix, const std::vector<std::wstring>& names) {
    for (int k = 1;; ++k) {
        const std::wstring candidate = std::wstring(prefix) + std::to_wstring(k);
        bool taken = false;
        for (const auto& n : names) taken = taken || equalsNoCase(n, candidate);
        if (!taken) return k;
    }
}

bool hasName(const std::vector<std::wstring>& names, std::wstring_view name) {
    for (const auto& n : names)
        if (equalsNoCase(n, name)) return true;
    return false;
}

std::wstring trimBlanks(std::wstring_view t) {
    size_t b = 0, e = t.size();
    while (b < e && (t[b] == L' ' || t[b] == L'\t')) ++b;
    while (e > b && (t[e - 1] == L' ' || t[e - 1] == L'\t')) --e;
    return std::wstring(t.substr(b, e - b));
}

std::wstring withoutTrailingBackslashes(std::wstring t) {
    while (!t.empty() && t.back() == L'\\') t.pop_back();
    return t;
}

}  // namespace

const std::wstring Registrar::kRefusalText =
    L"AutoCAD가 실행중이므로 등록할 수 없습니다\r\n\r\n"
    L"AutoCAD를 종료하고 Kelva이 설치된 폴더의 Setup.exe를 한번 실행해 주십시오  ";
const std::wstring Registrar::kDoneText = L"AutoCAD 등록 완료  ";

double ReleaseVersion(std::wstring_view releaseName) {
    double v = 0;
    if (tryParseDouble(releaseName, v)) return v;
    std::wstring kept;
    for (wchar_t c : releaseName)
        if (c == L'.' || c == L',' || isDigit(c)) kept += c;
    if (tryParseDouble(kept, v)) return v;
    return 0;
}

bool IsInValueList(std::wstring_view programFolder, std::wstring_view item,
                   const std::vector<std::pair<std::wstring, RegData>>& values) {
    std::wstring needle(programFolder);
    needle += L'\\';
    needle += item;
    for (const auto& [name, data] : values)
        if (containsNoCase(dataText(data), needle)) return true;
    return false;
}

std::wstring supportPathWith(std::wstring_view path, std::wstring_view folder, bool& changed) {
    // Entries are compared whole: C:\Kelva2 on the path does not stand for C:\Kelva.
    const std::wstring wanted = withoutTrailingBackslashes(std::wstring(folder));
    size_t start = 0;
    for (;;) {
        const size_t semi = path.find(L';', start);
        const std::wstring entry =
            withoutTrailingBackslashes(trimBlanks(path.substr(start, semi == std::wstring_view::npos ? std::wstring_view::npos : semi - start)));
        if (equalsNoCase(entry, wanted)) {
            changed = false;
            return std::wstring(path);
        }
        if (semi == std::wstring_view::npos) break;
        start = semi + 1;
    }
    changed = true;
    std::wstring out(path);
    if (out.empty() || out.back() != L';') out += L';';
    out += folder;
    out += L';';
    return out;
}

Registrar::Registrar(SetupServices services) : s_(std::move(services)), gRegistry(s_.registry) {}

std::wstring Registrar::inFolder(std::wstring_view name) const {
    std::wstring p = s_.programFolder;
    p += L'\\';
    p += name;
    return p;
}

std::wstring Registrar::setupIni() const { return inFolder(L"Setup.ini"); }

std::wstring Registrar::Release::label() const {
    std::wstring text = L"AutoCAD " + name + L"\\" + curVer;
    if (view == View::Bits32) text += L" (32비트)";
    if (view == View::Bits64) text += L" (64비트)";
    return text;
}

HiveView Registrar::userKeys(const Release& r) { return {Hive::CurrentUser, r.view}; }

void Registrar::replaceError(std::wstring_view text) {
    gSetupFailed = true;
    gSetupErrors = text;
}

void Registrar::appendError(std::wstring_view text) {
    gSetupFailed = true;
    if (!gSetupErrors.empty()) gSetupErrors += L", ";
    gSetupErrors += text;
}

void Registrar::write(std::wstring_view name, const RegData& value, std::uint32_t type) {
    // A write the registry refused is a failed step, never a silent success.
    if (!gRegistry.SetRegistryValue(name, value, type)) throw StepFailure();
}

std::vector<Registrar::Release> Registrar::allReleases() {
    std::vector<Release> out;
    gRegistry.Subkey.clear();
    // Releases the user has started, then releases installed on the machine in either view, whatever
    // the bitness Setup itself was built for.
    std::vector<std::pair<HiveView, std::wstring>> names;
    for (auto& name : gRegistry.EnumRegistryKeys(Hive::CurrentUser, kAutoCadKey)) names.emplace_back(Hive::CurrentUser, name);
    for (View view : kInstallViews)
        for (auto& name : gRegistry.EnumRegistryKeys({Hive::LocalMachine, view}, kAutoCadKey))
            names.emplace_back(HiveView{Hive::LocalMachine, view}, name);

    for (const auto& [where, name] : names) {
        gRegistry.hkey = where;
        gRegistry.KeyRoot = std::wstring(kAutoCadKey) + name + L"\\";
        const std::wstring curVer = dataText(gRegistry.GetRegistryValue(L"CurVer"));
        if (curVer.empty()) continue;
        const std::wstring versionKey = gRegistry.KeyRoot + curVer;
        bool known = false;
        for (const auto& r : out) known = known || equalsNoCase(r.versionKey, versionKey);
        if (known) continue;

        Release r;
        r.name = name;
        r.curVer = curVer;
        r.version = ReleaseVersion(name);
        r.versionKey = versionKey;
        r.perUser = where.hive == Hive::CurrentUser;
        // The installation lies in the view of AutoCAD's own bitness: the one that knows its folder.
        for (View view : kInstallViews) {
            gRegistry.hkey = {Hive::LocalMachine, view};
            gRegistry.KeyRoot = versionKey;
            if (!gRegistry.KeyExists()) continue;
            if (r.view == View::Own) r.view = view;
            const std::wstring location = dataText(gRegistry.GetRegistryValue(L"AcadLocation"));
            if (location.empty()) continue;
            r.view = view;
            r.location = location;
            break;
        }
        r.profiles = gRegistry.EnumRegistryKeys(userKeys(r), versionKey + L"\\Profiles\\");
        out.push_back(std::move(r));
    }
    return out;
}

std::vector<Registrar::Release> Registrar::releases(bool withVersionOnly) {
    std::vector<Release> out;
    for (auto& r : allReleases()) {
        if (withVersionOnly && r.version == 0) continue;
        // A release installed but never started has no keys of the user's: none are made for it.
        if (!r.perUser && r.profiles.empty()) continue;
        out.push_back(std::move(r));
    }
    return out;
}

void Registrar::RegisterMenuGroups() {
    try {
        const std::wstring menuFile = GetIniValue(s_.ini, setupIni(), L"MENU", L"MenuFileName", L"").text;
        const std::wstring menuGroup = GetIniValue(s_.ini, setupIni(), L"MENU", L"MenuGroups", L"").text;
        // Without both names there is nothing sound to register.
        if (trimBlanks(menuFile).empty() || trimBlanks(menuGroup).empty()) throw StepFailure();
        const std::wstring groupEntry = menuGroup + L" " + inFolder(menuFile);
        const std::wstring popEntry = menuGroup + L" pop1";

        for (const auto& r : releases(true)) {
            for (const auto& profile : r.profiles) {
                const std::wstring profileKey = r.versionKey + L"\\Profiles\\" + profile;
                const std::wstring menusKey = profileKey + L"\\Menus";
                const auto values = gRegistry.EnumRegistryValues(userKeys(r), menusKey);
                if (values.empty()) continue;

                int g = 0, p = 0;
                bool registered = false;
                std::vector<std::wstring> names;
                for (const auto& [name, data] : values) {
                    names.push_back(name);
                    if (startsWithNoCase(name, L"group")) ++g;
                    if (startsWithNoCase(name, L"pop")) {
                        // Only pull-down numbers count; a value of another application whose name
                        // merely starts with "pop" is left alone.
                        double number = 0;
                        if (tryParseDouble(std::wstring_view(name).substr(3), number) && number <= 20) ++p;
                    }
                    const std::wstring text = dataText(data);
                    if (!text.empty() && (containsNoCase(text, groupEntry) || containsNoCase(text, popEntry))) {
                        registered = true;
                        break;
                    }
                }
                if (registered) continue;

                gRegistry.hkey = userKeys(r);
                gRegistry.KeyRoot = menusKey;
                gRegistry.Subkey.clear();
                write(L"Group" + std::to_wstring(lowestFreeNumber(L"Group", names)), groupEntry, regtype::Sz);
                if (p > 0) write(L"Pop" + std::to_wstring(lowestFreeNumber(L"Pop", names)), popEntry, regtype::Sz);

                if (r.version >= 16.2) {
                    gRegistry.KeyRoot = profileKey + L"\\General Configuration\\";
                    const std::wstring mainMenu = dataText(gRegistry.GetRegistryValue(L"MenuFile"));
                    if (r.version < 18 && !mainMenu.empty()) AddPartialMenu(menuFile + L".cui", mainMenu + L".cui");
                }
            }
        }
    } catch (...) {
        replaceError(kMenuFailed);
    }
}

void Registrar::RegisterStartupSuite() {
    try {
        const IniList list = GetIniList(s_.ini, setupIni(), L"APPLOAD", L"Startup");
        const std::vector<std::wstring> items = usableItems(list);
        std::vector<std::wstring> withoutLocation;

        for (const auto& r : releases(false)) {
            for (const auto& profile : r.profiles) {
                const std::wstring profileKey = r.versionKey + L"\\Profiles\\" + profile;
                const std::wstring startupKey = profileKey + L"\\Dialogs\\Appload\\Startup";
                gRegistry.hkey = userKeys(r);
                gRegistry.Subkey.clear();
                auto values = gRegistry.EnumRegistryValues(userKeys(r), startupKey);
                if (values.empty()) {
                    gRegistry.KeyRoot = profileKey;
                    if (gRegistry.CreateKey(L"Dialogs\\Appload\\Startup") != L"0") throw StepFailure();
                    gRegistry.KeyRoot = startupKey;
                    write(L"NumStartup", std::wstring(L"0"), regtype::Sz);
                    values = gRegistry.EnumRegistryValues(userKeys(r), startupKey);
                }
                if (values.empty()) continue;

                std::vector<std::wstring> names;
                for (const auto& v : values) names.push_back(v.first);
                for (const auto& item : items) {
                    if (IsInValueList(s_.programFolder, item, values)) continue;
                    gRegistry.KeyRoot = startupKey;
                    const std::wstring count = dataText(gRegistry.GetRegistryValue(L"NumStartup"));
                    int n = count.empty() ? 0 : toInt16(parseDouble(count));
                    ++n;
                    // Never over another entry: the count may lag behind the entries present.
                    while (hasName(names, std::to_wstring(n) + L"Startup")) ++n;
                    const std::wstring name = std::to_wstring(n) + L"Startup";
                    write(name, inFolder(item), regtype::Sz);
                    names.push_back(name);
                    write(L"NumStartup", std::to_wstring(n), regtype::Sz);
                }
            }

            gRegistry.hkey = userKeys(r);
            gRegistry.KeyRoot = r.versionKey + L"\\Applications\\AcadAppLoad";
            gRegistry.Subkey.clear();
            if (!gRegistry.KeyExists() && gRegistry.CreateKey() != L"0") throw StepFailure();
            if (dataText(gRegistry.GetRegistryValue(L"DESCRIPTION")).empty())
                write(L"DESCRIPTION", std::wstring(L"AcadAppload Command Module"), regtype::Sz);
            if (dataText(gRegistry.GetRegistryValue(L"LOADER")).empty()) {
                // Without AutoCAD's folder a loader path would point nowhere: the release is named
                // instead, and the other releases are still served.
                if (r.location.empty())
                    withoutLocation.push_back(r.label());
                else
                    write(L"LOADER", r.location + L"\\Appload.arx", regtype::Sz);
            }
            write(L"LOADCTRLS", std::int32_t{15}, regtype::Dword);
        }
        if (list.cut)
            appendError(std::wstring(kApploadFailed) + listCut(L"Startup"));
        else if (items.empty())
            appendError(std::wstring(kApploadFailed) + std::wstring(kNoStartupList));
        for (const auto& release : withoutLocation)
            appendError(std::wstring(kApploadFailed) + L" (" + release + std::wstring(kNoLocation) + L")");
    } catch (...) {
        appendError(kApploadFailed);
    }
}

void Registrar::AddSupportPath() {
    try {
        for (const auto& r : releases(true)) {
            for (const auto& profile : r.profiles) {
                gRegistry.hkey = userKeys(r);
                gRegistry.KeyRoot = r.versionKey + L"\\Profiles\\" + profile + L"\\General";
                gRegistry.Subkey.clear();
                const std::wstring path = dataText(gRegistry.GetRegistryValue(L"ACAD"));
                if (path.empty()) continue;
                bool changed = false;
                const std::wstring newPath = supportPathWith(path, s_.programFolder, changed);
                if (!changed) continue;
                write(L"ACAD", newPath, gRegistry.DataType(L"ACAD"));
            }
        }
    } catch (...) {
        appendError(kPathFailed);
    }
}

void Registrar::RegisterLibraries() {
    try {
        const IniList list = GetIniList(s_.ini, setupIni(), L"Library", L"Lib");
        const std::vector<std::wstring> items = usableItems(list);
        if (items.empty() && !list.cut) appendError(std::wstring(kLibraryFailed) + std::wstring(kNoLibraryList));
        for (const auto& item : items) {
            const int last = s_.servers.RegisterServer(inFolder(item));
            // Each file that did not register is named in the report.
            if (last < kRegistered)
                appendError(std::wstring(kLibraryFailed) + std::to_wstring(last) + L" (" + item + L")");
        }
        // The cause, never the code of the last file, which may well be the one for "registered".
        if (list.cut) appendError(std::wstring(kLibraryFailed) + listCut(L"Lib"));
    } catch (...) {
        appendError(kLibraryFailed);
    }
}

std::wstring Registrar::ReadCuiFile(std::wstring_view path, bool& ok) {
    ok = true;
    if (path.empty() || !s_.files.isFile(path)) return {};
    std::string bytes;
    std::optional<std::wstring> text;
    if (s_.files.readAll(path, bytes)) text = decodeStrict(Codec::Utf8, bytes);
    if (!text) {
        // Unreadable or not UTF-8: nothing is written over a file we could not understand.
        ok = false;
        replaceError(kCuiReadFailed);
        return {};
    }
    return *text;
}

bool Registrar::WriteCuiFile(std::wstring_view text, std::wstring_view path) {
    std::wstring backup(path.substr(0, path.size() >= 4 ? path.size() - 4 : path.size()));
    backup += L".bak";
    const auto bytes = encodeStrict(Codec::Utf8, text);
    if (!bytes || !replaceFileContents(s_.files, path, *bytes, backup)) {
        replaceError(kCuiWriteFailed);
        return false;
    }
    return true;
}

void Registrar::AddPartialMenu(std::wstring_view partialName, std::wstring_view mainPath) {
    bool ok = false;
    const std::wstring text = ReadCuiFile(mainPath, ok);
    if (!ok) return;
    const auto patched = insertPartialMenu(text, partialName);
    if (!patched) return;
    WriteCuiFile(*patched, mainPath);
}

void Registrar::ReportUnservedReleases() {
    const auto found = allReleases();
    if (found.empty()) appendError(kNoAutoCad);
    for (const auto& r : found)
        if (r.profiles.empty()) appendError(r.label() + std::wstring(kNoProfile));
}

Outcome Registrar::Main() {
    if (s_.probe.GetACAD()) {
        s_.messages.show(kRefusalText, L"Kelva");
        return Outcome::Refused;
    }
    gSetupFailed = false;
    gSetupErrors.clear();
    // Menu files AutoCAD derives from the suite's menu source; it derives them anew.
    for (const wchar_t* stale : {L"kelva.mnr", L"kelva.mnc", L"acad.lsp"}) s_.files.remove(inFolder(stale));

    RegisterMenuGroups();
    RegisterStartupSuite();
    AddSupportPath();
    RegisterLibraries();
    ReportUnservedReleases();

    if (gSetupFailed) {
        s_.messages.show(gSetupErrors + L"\r\nKelva 등록시 문제가 발생했습니다.\r\n수동으로 Kelva을 등록해 주십시오.\r\n"
                                        L"수동 설치 방법은 Kelva 지원 페이지를 참고해 주십시오.",
                         L"Kelva 설치");
        return Outcome::Failed;
    }
    s_.messages.show(kDoneText, L"Kelva");
    return Outcome::Registered;
}

}  // namespace kelva::setup
