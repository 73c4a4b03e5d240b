#pragma once
// A file system in memory for the registrar's tests: read-only files, and a failure that can be
// armed for the n-th operation of a kind.
#include <map>
#include <set>
#include <string>

#include "setup/file_store.h"
#include "setup/text.h"

namespace kelva::setup::fakes {

class MemoryFiles : public FileStore {
public:
    std::map<std::wstring, std::string> files;  // keys in lower case
    std::set<std::wstring> readOnly;
    std::set<std::wstring> unreadable;
    // Operation names: "write", "replace", "rename", "replace-half" (the replace moves the old file to
    // the backup name, then fails).
    std::wstring failOn;
    int operations = 0;

    static std::wstring key(std::wstring_view p) { return lowerText(p); }
    bool has(std::wstring_view p) const { return files.count(key(p)) != 0; }
    std::string get(std::wstring_view p) const {
        auto it = files.find(key(p));
        return it == files.end() ? std::string() : it->second;
    }
    void put(std::wstring_view p, std::string bytes) { files[key(p)] = std::move(bytes); }

    bool isFile(std::wstring_view p) override { return has(p); }
    bool readAll(std::wstring_view p, std::string& bytes) override {
        if (!has(p) || unreadable.count(key(p))) return false;
        bytes = get(p);
        return true;
    }
    bool writeNew(std::wstring_view p, std::string_view bytes) override {
        ++operations;
        if (has(p)) return false;
        if (failOn == L"write") {
            files[key(p)] = std::string(bytes.substr(0, bytes.size() / 2));  // a disk that filled up
            return false;
        }
        files[key(p)] = std::string(bytes);
        return true;
    }
    bool replace(std::wstring_view target, std::wstring_view replacement, std::wstring_view backup) override {
        ++operations;
        if (!has(target) || !has(replacement) || readOnly.count(key(target))) return false;
        if (failOn == L"replace") return false;
        files[key(backup)] = get(target);
        files.erase(key(target));
        if (failOn == L"replace-half") return false;
        files[key(target)] = get(replacement);
        files.erase(key(replacement));
        return true;
    }
    bool rename(std::wstring_view from, std::wstring_view to) override {
        ++operations;
        if (!has(from) || has(to) || failOn == L"rename") return false;
        files[key(to)] = get(from);
        files.erase(key(from));
        return true;
    }
    bool remove(std::wstring_view p) override {
        if (readOnly.count(key(p))) return false;
        return files.erase(key(p)) != 0;
    }
    std::wstring tempNameBeside(std::wstring_view p) override {
        std::wstring folder(p.substr(0, p.rfind(L'\\') + 1));
        for (int i = 0;; ++i) {
            std::wstring t = folder + L"~kelva" + std::to_wstring(i) + L".tmp";
            if (!has(t)) return t;
        }
    }
};

}  // namespace kelva::setup::fakes
