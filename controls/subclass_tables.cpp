#include "controls/subclass_tables.h"

#include <algorithm>

namespace kelva::ctl {

bool MsgTable::wants(std::uint32_t uMsg) const {
    if (count < 0) return true;
    auto n = std::min(static_cast<std::size_t>(count), entries.size());
    return std::find(entries.begin(), entries.begin() + static_cast<std::ptrdiff_t>(n), uMsg) !=
           entries.begin() + static_cast<std::ptrdiff_t>(n);
}

void MsgTable::add(std::int32_t msg) {
    if (msg == kAllMessages) {
        count = kAllMessages;
        return;
    }
    // A table already taking every message takes this one too.
    if (count < 0) return;
    auto m = static_cast<std::uint32_t>(msg);
    entries.resize(static_cast<std::size_t>(count));
    for (auto& e : entries) {
        if (e == 0) {
            e = m;  // a hole before an equal entry is filled first
            return;
        }
        if (e == m) return;
    }
    entries.push_back(m);
    ++count;
}

void MsgTable::del(std::int32_t msg) {
    if (msg == kAllMessages) {
        count = 0;
        return;
    }
    if (count <= 0) return;
    auto m = static_cast<std::uint32_t>(msg);
    auto n = std::min(static_cast<std::size_t>(count), entries.size());
    for (std::size_t i = 0; i < n; ++i) {
        if (entries[i] == m) {
            entries[i] = 0;
            return;
        }
    }
}

int SubclassRecords::index(std::uintptr_t window, bool bAdd) const {
    for (int i = size() - 1; i >= 0; --i) {
        const auto& r = records_[static_cast<std::size_t>(i)];
        if (!bAdd && r.window == window) return i;
        if (bAdd && r.window == 0) return i;
    }
    return -1;
}

int SubclassRecords::acquire() {
    if (!started_) {
        started_ = true;
        records_.assign(1, SubclassRecord{});
        return 0;
    }
    int i = index(0, true);
    if (i >= 0) return i;
    records_.emplace_back();
    return size() - 1;
}

void SubclassRecords::release(int i) {
    auto& r = at(i);
    r.window = 0;
    r.after.clear();
    r.before.clear();
}

}  // namespace kelva::ctl
