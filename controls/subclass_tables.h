#pragma once
// The bookkeeping of the subclassing engine, apart from any window: one record per subclassed
// window with its before- and after-tables of message numbers. Deleting a message leaves a hole (0)
// that the next add fills; a count of -1 stands for every message.
#include <cstdint>
#include <vector>

namespace kelva::ctl {

enum SubclassWhen : int { WhenAfter = 1, WhenBefore = 2 };

inline constexpr std::int32_t kAllMessages = -1;

struct MsgTable {
    std::int32_t count = 0;              // -1: every message
    std::vector<std::uint32_t> entries;  // entries 1..count; 0 is a hole

    // Whether the owner wants uMsg. A hole holds 0, so message 0 matches a hole.
    bool wants(std::uint32_t uMsg) const;
    void add(std::int32_t msg);
    void del(std::int32_t msg);
    void clear() {
        count = 0;
        entries.clear();
    }
};

struct SubclassRecord {
    std::uintptr_t window = 0;  // 0: a free record
    std::uintptr_t hook = 0;    // what sits in the window's chain for this record
    std::uintptr_t previous = 0;
    MsgTable after;
    MsgTable before;
};

class SubclassRecords {
public:
    bool started() const { return started_; }
    // The record of window (bAdd false) or the highest free record (bAdd true), searching from the
    // highest index down; -1 when there is none.
    int index(std::uintptr_t window, bool bAdd) const;
    // The record a new subclassing of window goes into: the highest free one, else a new last one.
    int acquire();
    SubclassRecord& at(int i) { return records_.at(static_cast<std::size_t>(i)); }
    const SubclassRecord& at(int i) const { return records_.at(static_cast<std::size_t>(i)); }
    int size() const { return static_cast<int>(records_.size()); }
    // Frees record i: handle and counts 0, tables emptied; hook and previous stay for the record.
    void release(int i);

private:
    bool started_ = false;
    std::vector<SubclassRecord> records_;
};

}  // namespace kelva::ctl
