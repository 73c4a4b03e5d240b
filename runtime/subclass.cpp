#include "runtime/subclass.h"

#include <algorithm>
#include <memory>
#include <unordered_map>
#include <vector>

namespace kelva::rt {

namespace {

struct Hook {
    SUBCLASSPROC proc;
    UINT_PTR id;
    DWORD_PTR refData;
    bool removed = false;
};

struct Chain {
    WNDPROC original = nullptr;
    std::vector<Hook> hooks;  // the first one set at the front
    int below = -1;           // inside a hook: where defSubclassProc goes (-1: the window's own procedure)
    int running = 0;          // messages of the window on the stack
    bool destroyed = false;
};

// Messages of a window are handled by the thread that made it, so each thread keeps its own chains.
// Never freed: a window may still be destroyed while the thread or the process ends.
std::unordered_map<HWND, std::unique_ptr<Chain>>& chains() {
    thread_local auto* all = new std::unordered_map<HWND, std::unique_ptr<Chain>>;
    return *all;
}

Chain* chainOf(HWND window) {
    auto& all = chains();
    const auto it = all.find(window);
    return it == all.end() ? nullptr : it->second.get();
}

LRESULT CALLBACK chainProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

// Once no message of the window is on the stack: removed hooks go, and a chain that has nothing
// left to do (or whose window is gone) gives the window its procedure back.
void settle(HWND window, Chain& chain) {
    if (chain.running > 0) return;
    if (chain.destroyed) {
        chains().erase(window);
        return;
    }
    std::erase_if(chain.hooks, [](const Hook& h) { return h.removed; });
    // A procedure set over ours since then keeps calling ours: the chain stays to pass messages on.
    if (chain.hooks.empty() && GetWindowLongPtrW(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(chainProc)) {
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(chain.original));
        chains().erase(window);
    }
}

// The message to the first hook still in place at `from` or below it, else to the window's own
// procedure.
LRESULT callFrom(HWND window, Chain& chain, int from, UINT msg, WPARAM wParam, LPARAM lParam) {
    int i = from;
    while (i >= 0 && chain.hooks[static_cast<std::size_t>(i)].removed) --i;
    if (i < 0) return CallWindowProcW(chain.original, window, msg, wParam, lParam);
    // A copy: a hook set during the call may move the others.
    const Hook hook = chain.hooks[static_cast<std::size_t>(i)];
    struct Below {
        Chain& chain;
        int saved;
        ~Below() { chain.below = saved; }
    } restore{chain, chain.below};
    chain.below = i - 1;
    return hook.proc(window, msg, wParam, lParam, hook.id, hook.refData);
}

LRESULT CALLBACK chainProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    Chain* chain = chainOf(window);
    if (!chain) return DefWindowProcW(window, msg, wParam, lParam);
    struct Running {
        HWND window;
        Chain& chain;
        bool last;
        ~Running() {
            --chain.running;
            if (last) chain.destroyed = true;
            settle(window, chain);
        }
    } running{window, *chain, msg == WM_NCDESTROY};
    ++chain->running;
    return callFrom(window, *chain, static_cast<int>(chain->hooks.size()) - 1, msg, wParam, lParam);
}

}  // namespace

bool setWindowSubclass(HWND window, SUBCLASSPROC proc, UINT_PTR id, DWORD_PTR refData) {
    if (!proc || !IsWindow(window) || GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId()) return false;
    Chain* chain = chainOf(window);
    if (!chain) {
        auto fresh = std::make_unique<Chain>();
        const LONG_PTR previous = SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(chainProc));
        if (!previous) return false;
        fresh->original = reinterpret_cast<WNDPROC>(previous);
        chain = fresh.get();
        chains()[window] = std::move(fresh);
    }
    for (Hook& h : chain->hooks)
        if (!h.removed && h.proc == proc && h.id == id) {
            h.refData = refData;
            return true;
        }
    chain->hooks.push_back(Hook{proc, id, refData});
    return true;
}

bool removeWindowSubclass(HWND window, SUBCLASSPROC proc, UINT_PTR id) {
    Chain* chain = chainOf(window);
    if (!chain) return false;
    for (Hook& h : chain->hooks)
        if (!h.removed && h.proc == proc && h.id == id) {
            h.removed = true;
            settle(window, *chain);
            return true;
        }
    return false;
}

LRESULT defSubclassProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    Chain* chain = chainOf(window);
    if (!chain) return DefWindowProcW(window, msg, wParam, lParam);
    return callFrom(window, *chain, chain->below, msg, wParam, lParam);
}

}  // namespace kelva::rt
