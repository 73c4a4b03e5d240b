#include "controls/subclass.h"

#include <commctrl.h>

#include "core/errors.h"
#include "runtime/eventscope.h"
#include "runtime/subclass.h"

namespace kelva::ctl {

namespace {
struct QuietStop {};  // ends an operation of the quiet engine at its first failure
}  // namespace

bool isExported(const char* function, const char* module) {
    HMODULE m = GetModuleHandleA(module);
    bool loadedHere = false;
    if (!m) {
        m = LoadLibraryA(module);
        loadedHere = m != nullptr;
    }
    if (!m) return false;
    const bool found = GetProcAddress(m, function) != nullptr;
    if (loadedHere) FreeLibrary(m);
    return found;
}

SubclassEngine::~SubclassEngine() {
    for (int i = records_.size() - 1; i >= 0; --i)
        if (records_.at(i).window) unhook(i);
}

void SubclassEngine::fail(int number) const {
    if (policy_ == SubclassErrors::Raise) raise(number);
    throw QuietStop{};
}

int SubclassEngine::recordOf(HWND hWnd) const {
    if (!records_.started()) fail(err::SubscriptOutOfRange);
    int i = records_.index(reinterpret_cast<std::uintptr_t>(hWnd), false);
    if (i < 0) fail(err::SubscriptOutOfRange);
    return i;
}

int SubclassEngine::start(HWND hWnd) {
    try {
        if (!hWnd || !IsWindow(hWnd) || GetWindowThreadProcessId(hWnd, nullptr) != GetCurrentThreadId())
            fail(err::InvalidCall);
        const int i = records_.acquire();
        // A hook is made once per record and reused with it; it outlives any window it served.
        Hook* hook = nullptr;
        for (auto& h : hooks_)
            if (h->record == i) hook = h.get();
        if (!hook) {
            hooks_.push_back(std::make_unique<Hook>(Hook{this, i}));
            hook = hooks_.back().get();
        }
        auto& rec = records_.at(i);
        rec.hook = reinterpret_cast<std::uintptr_t>(hook);
        rec.previous = static_cast<std::uintptr_t>(GetWindowLongPtrW(hWnd, GWLP_WNDPROC));
        rec.after.clear();
        rec.before.clear();
        if (!rt::setWindowSubclass(hWnd, proc, reinterpret_cast<UINT_PTR>(hook), 0)) {
            fail(err::OutOfMemory);  // the record stays free; the window keeps its procedure
        }
        hook->installed = true;
        rec.window = reinterpret_cast<std::uintptr_t>(hWnd);
        return i;
    } catch (const QuietStop&) {
        return -1;
    } catch (const std::bad_alloc&) {
        if (policy_ == SubclassErrors::Raise) raise(err::OutOfMemory);
        return -1;
    }
}

void SubclassEngine::addMsg(HWND hWnd, std::int32_t uMsg, int when) {
    try {
        auto& rec = records_.at(recordOf(hWnd));
        if (when & WhenBefore) rec.before.add(uMsg);
        if (when & WhenAfter) rec.after.add(uMsg);
    } catch (const QuietStop&) {
    } catch (const std::bad_alloc&) {
        if (policy_ == SubclassErrors::Raise) raise(err::OutOfMemory);
    }
}

void SubclassEngine::delMsg(HWND hWnd, std::int32_t uMsg, int when) {
    try {
        auto& rec = records_.at(recordOf(hWnd));
        if (when & WhenBefore) rec.before.del(uMsg);
        if (when & WhenAfter) rec.after.del(uMsg);
    } catch (const QuietStop&) {
    }
}

void SubclassEngine::unhook(int i) {
    auto& rec = records_.at(i);
    auto* hook = reinterpret_cast<Hook*>(rec.hook);
    HWND hWnd = reinterpret_cast<HWND>(rec.window);
    // Taking our own link out of the chain leaves every other owner's link in place, whatever the
    // order of their starts.
    if (hook && hook->installed && IsWindow(hWnd)) rt::removeWindowSubclass(hWnd, proc, reinterpret_cast<UINT_PTR>(hook));
    if (hook) hook->installed = false;
    records_.release(i);
}

void SubclassEngine::stop(HWND hWnd) {
    try {
        unhook(recordOf(hWnd));
    } catch (const QuietStop&) {
    }
}

void SubclassEngine::stopAll() {
    if (!records_.started()) {
        if (policy_ == SubclassErrors::Raise) raise(err::SubscriptOutOfRange);
        return;
    }
    for (int i = records_.size() - 1; i >= 0; --i)
        if (records_.at(i).window) unhook(i);
}

int SubclassEngine::index(HWND hWnd, bool bAdd) const {
    if (!records_.started()) {
        if (policy_ == SubclassErrors::Raise) raise(err::SubscriptOutOfRange);
        return 0;
    }
    return records_.index(reinterpret_cast<std::uintptr_t>(hWnd), bAdd);
}

LRESULT CALLBACK SubclassEngine::proc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR) {
    // The owner's callback may unload the owner's form: its teardown waits until this returns.
    rt::EventScope scope;
    auto* hook = reinterpret_cast<Hook*>(id);
    if (!hook->installed) return rt::defSubclassProc(hWnd, uMsg, wParam, lParam);
    return hook->engine->dispatch(*hook, hWnd, uMsg, wParam, lParam);
}

LRESULT SubclassEngine::dispatch(Hook& hook, HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    if (uMsg == WM_NCDESTROY) {
        // The owner sees the window's last message like any other; then the record is freed so
        // that no later stop touches a dead handle.
        const LRESULT r = callOwner(hook, hWnd, uMsg, wParam, lParam);
        // The callback may have stopped this record, or even reused it for another window.
        if (hook.installed && records_.at(hook.record).window == reinterpret_cast<std::uintptr_t>(hWnd)) {
            rt::removeWindowSubclass(hWnd, proc, reinterpret_cast<UINT_PTR>(&hook));
            hook.installed = false;
            records_.release(hook.record);
        }
        return r;
    }
    return callOwner(hook, hWnd, uMsg, wParam, lParam);
}

LRESULT SubclassEngine::callOwner(Hook& hook, HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    bool bHandled = false;
    LRESULT lReturn = 0;
    HWND h = hWnd;
    UINT m = uMsg;
    WPARAM w = wParam;
    LPARAM l = lParam;
    // Copies of the tables' answers: the callback may change the tables or stop the engine.
    if (records_.at(hook.record).before.wants(m)) owner_.zSubclass_Proc(true, bHandled, lReturn, h, m, w, l);
    if (bHandled) return lReturn;
    lReturn = rt::defSubclassProc(hWnd, m, w, l);
    if (hook.installed && records_.at(hook.record).after.wants(m))
        owner_.zSubclass_Proc(false, bHandled, lReturn, h, m, w, l);
    return lReturn;
}

}  // namespace kelva::ctl
