#include "palette/settings_logic.h"

#include <cwctype>
#include <functional>

#include "core/errors.h"
#include "core/values.h"
#include "palette/charmap_logic.h"

namespace kelva::palette {

const wchar_t* const kTitle = L"Kelva 특수문자";
const wchar_t* const kAcadNotRunning = L"AutoCAD를 실행 후 사용해 주십시오  ";

std::optional<std::wstring> MemoryStore::get(std::wstring_view key) {
    auto it = values.find(key);
    if (it == values.end()) return std::nullopt;
    return it->second;
}

void MemoryStore::save(std::wstring_view key, std::wstring_view value) {
    if (auto it = refuse.find(key); it != refuse.end() && it->second) throw std::runtime_error("store refused");
    values[std::wstring(key)] = std::wstring(value);
    order += std::wstring(key) + L";";
}

namespace {
double toNumber(const std::wstring& text) {
    double v = 0;
    if (!tryParseDouble(text, v)) throw BadSetting();
    return v;
}

std::wstring lower(std::wstring s) {
    for (auto& c : s) c = static_cast<wchar_t>(std::towlower(c));
    return s;
}

// Runs one step of a sequence; a failure skips it and the sequence goes on.
void step(const std::function<void()>& f) {
    try {
        f();
    } catch (...) {
    }
}
}  // namespace

int readInt(SettingsStore& s, std::wstring_view key, int def) {
    auto v = s.get(key);
    if (!v) return def;
    try {
        return toInt16(toNumber(*v));
    } catch (const VbError&) {
        throw BadSetting();
    }
}

bool readBool(SettingsStore& s, std::wstring_view key, bool def) {
    auto v = s.get(key);
    if (!v) return def;
    const std::wstring t = lower(trimBlanks(*v));
    if (t == L"true") return true;
    if (t == L"false") return false;
    return toNumber(*v) != 0;
}

double readDouble(SettingsStore& s, std::wstring_view key, double def) {
    auto v = s.get(key);
    return v ? toNumber(*v) : def;
}

std::wstring readText(SettingsStore& s, std::wstring_view key, std::wstring_view def) {
    auto v = s.get(key);
    return v ? *v : std::wstring(def);
}

std::wstring boolText(bool v) { return v ? L"True" : L"False"; }

std::wstring formatHeight(double v) { return formatFixed(v, 3); }

void runStartup(PaletteView& view, SettingsStore& store) {
    step([&] { view.setCaption(kTitle); });
    step([&] { view.fillFontList(); });
    step([&] { view.takeCellMetrics(); });
    step([&] { view.resetSelection(); });
    step([&] { view.showPreview(readInt(store, L"Preview", 1) == 1); });
    step([&] { view.showAcadCheck(readInt(store, L"AutoCAD", 1) == 1); });
    step([&] { view.setTopMost(readInt(store, L"OnTop", 1) == 1); });
    step([&] {
        const int value = readInt(store, L"WriteACAD", 0);
        view.setAcadCheckValue(value);
        if (value != 1) {
            if (view.windowHeight() >= kFullHeight) view.setWindowHeight(view.windowHeight() - kPanelHeight);
            view.showPanel(false);
        }
    });
    step([&] { view.coverWindowWithShape(); });
    step([&] { view.setupTabs(); });
    step([&] {
        bool tooltip = false;
        try {
            tooltip = readInt(store, L"Copy", 1) == 1;
        } catch (const BadSetting&) {
        }
        for (int i = 0; i < view.pageCount(); ++i) view.setupPage(i, tooltip);
    });
    step([&] { view.fillPages(); });
    step([&] {
        const bool newText = readBool(store, L"NewText", true);
        const bool back = readBool(store, L"Back", false);
        const bool front = readBool(store, L"Front", false);
        view.setWriteMode(newText, back, front);
    });
    step([&] { view.setTextHeight(formatHeight(readDouble(store, L"TextHeight", 3))); });
    step([&] { view.setFavorites(readText(store, L"Favorite", kDefaultFavorites)); });
}

bool refuseClose(bool fromSystemMenu) { return fromSystemMenu; }

void saveOnExit(PaletteView& view, SettingsStore& store) {
    auto save = [&](const wchar_t* key, const std::function<std::wstring()>& value) {
        step([&] { store.save(key, value()); });
    };
    save(L"WriteACAD", [&] { return std::to_wstring(view.acadCheckValue()); });
    save(L"Top", [&] { return formatDouble(view.windowTop()); });
    save(L"Left", [&] { return formatDouble(view.windowLeft()); });
    save(L"NewText", [&] { return boolText(view.writeModeNew()); });
    save(L"Back", [&] { return boolText(view.writeModeBack()); });
    save(L"Front", [&] { return boolText(view.writeModeFront()); });
    save(L"TextHeight", [&] { return view.textHeight(); });
    save(L"Favorite", [&] { return view.favorites(); });
}

void togglePanel(PaletteView& view) {
    if (!view.attachAutoCAD()) {
        view.message(kAcadNotRunning);
        view.setAcadCheckValue(0);
        return;
    }
    if (view.acadCheckValue() == 1) {
        if (view.windowHeight() < kFullHeight) view.setWindowHeight(view.windowHeight() + kPanelHeight);
        view.showPanel(true);
    } else {
        if (view.windowHeight() >= kFullHeight) view.setWindowHeight(view.windowHeight() - kPanelHeight);
        view.showPanel(false);
    }
    step([&] { view.coverWindowWithShape(); });
    step([&] { view.focusChars(); });
    step([&] { view.takeActiveDocument(); });
}

OptionValues readOptions(SettingsStore& store) {
    OptionValues v;
    auto read = [&](int& out, const wchar_t* key) { step([&] { out = readInt(store, key, 1); }); };
    read(v.preview, L"Preview");
    read(v.copy, L"Copy");
    read(v.acad, L"AutoCAD");
    read(v.onTop, L"OnTop");
    return v;
}

void applyOptions(const OptionValues& v, SettingsStore& store, PaletteView& palette) {
    step([&] { store.save(L"Preview", std::to_wstring(v.preview)); });
    step([&] { store.save(L"Copy", std::to_wstring(v.copy)); });
    step([&] { store.save(L"AutoCAD", std::to_wstring(v.acad)); });
    step([&] { store.save(L"OnTop", std::to_wstring(v.onTop)); });
    step([&] { palette.showPreview(v.preview == 1); });
    step([&] {
        for (int i = 0; i < palette.pageCount(); ++i) palette.setPageTooltip(i, v.copy == 1);
    });
    step([&] { palette.showAcadCheck(v.acad == 1); });
    step([&] { palette.setTopMost(v.onTop == 1); });
}

}  // namespace kelva::palette
