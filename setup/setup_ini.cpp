#include "setup/setup_ini.h"

#include "setup/text.h"

namespace kelva::setup {

IniValue GetIniValue(IniSource& ini, std::wstring_view file, std::wstring_view section, std::wstring_view key,
                     std::wstring_view defaultValue) {
    IniValue v;
    v.text = ini.read(file, section, key);
    if (v.text.empty()) {
        v.text = defaultValue;
        return v;
    }
    if (v.text.size() > kIniBufferChars - 1) {
        v.text.resize(kIniBufferChars - 1);
        v.cut = true;
    }
    return v;
}

IniList GetIniList(IniSource& ini, std::wstring_view file, std::wstring_view section, std::wstring_view key) {
    const IniValue v = GetIniValue(ini, file, section, key, L"");
    IniList list;
    list.cut = v.cut;
    size_t start = 0;
    for (;;) {
        const size_t comma = v.text.find(L',', start);
        if (comma == std::wstring::npos) {
            list.items.push_back(v.text.substr(start));
            break;
        }
        list.items.push_back(v.text.substr(start, comma - start));
        start = comma + 1;
    }
    return list;
}

std::vector<std::wstring> usableItems(const IniList& list) {
    std::vector<std::wstring> out;
    for (size_t i = 0; i < list.items.size(); ++i) {
        if (list.cut && i + 1 == list.items.size()) break;
        if (!list.items[i].empty()) out.push_back(list.items[i]);
    }
    return out;
}

void MemoryIni::set(std::wstring_view section, std::wstring_view key, std::wstring_view value) {
    values_[lowerText(section) + L"\n" + lowerText(key)] = value;
}

std::wstring MemoryIni::read(std::wstring_view, std::wstring_view section, std::wstring_view key) {
    auto it = values_.find(lowerText(section) + L"\n" + lowerText(key));
    return it == values_.end() ? std::wstring{} : it->second;
}

}  // namespace kelva::setup
