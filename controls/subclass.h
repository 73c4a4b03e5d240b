#pragma once
// The subclassing engine: lets an owner see chosen messages of a window of its thread before
// and/or after the window's own procedure, swallow them and set their result. Each owner has its
// own records and tables; several owners may subclass one window, start and stop in any order, and
// the window may be destroyed while subclassed. Built on comctl32's subclass chain, so the later
// owner's before call runs first and its after call last.
#include <windows.h>

#include <memory>
#include <vector>

#include "controls/subclass_tables.h"

namespace kelva::ctl {

// The callback: bBefore says which side of the window's procedure this is; bHandled set in the
// before call skips the procedure and the after call; lReturn is the message's result. The message
// arguments are the ones the procedure will receive, so a before call may change them.
class SubclassOwner {
public:
    virtual void zSubclass_Proc(bool bBefore, bool& bHandled, LRESULT& lReturn, HWND& hWnd, UINT& uMsg,
                                WPARAM& wParam, LPARAM& lParam) = 0;

protected:
    ~SubclassOwner() = default;
};

// Whether module exports function; a module not yet loaded is loaded for the question and released.
bool isExported(const char* function, const char* module);

// Raise: a failure reaches the caller as run-time error (9 for a window without a record);
// Quiet: the operation ends at the failure and what was done stays done.
enum class SubclassErrors { Raise, Quiet };

class SubclassEngine {
public:
    SubclassEngine(SubclassOwner& owner, SubclassErrors policy) : owner_(owner), policy_(policy) {}
    ~SubclassEngine();
    SubclassEngine(const SubclassEngine&) = delete;
    SubclassEngine& operator=(const SubclassEngine&) = delete;

    // The record used; -1 when subclassing failed under the quiet policy.
    int start(HWND hWnd);
    void addMsg(HWND hWnd, std::int32_t uMsg, int when);
    void delMsg(HWND hWnd, std::int32_t uMsg, int when);
    void stop(HWND hWnd);
    void stopAll();
    int index(HWND hWnd, bool bAdd) const;

    const SubclassRecords& records() const { return records_; }

private:
    struct Hook {
        SubclassEngine* engine;
        int record;
        bool installed = false;
    };
    static LRESULT CALLBACK proc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    LRESULT dispatch(Hook& hook, HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
    LRESULT callOwner(Hook& hook, HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
    [[noreturn]] void fail(int number) const;
    int recordOf(HWND hWnd) const;  // raises or returns -1
    void unhook(int record);

    SubclassOwner& owner_;
    SubclassErrors policy_;
    SubclassRecords records_;
    std::vector<std::unique_ptr<Hook>> hooks_;  // kept for the engine's life: never freed under a window
};

}  // namespace kelva::ctl
