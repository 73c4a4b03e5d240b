#pragma once
// Everything the system calls back into (window procedures, subclass procedures, timer ticks) runs
// inside an EventScope. Work that must not happen while any such callback is still on the stack,
// such as tearing down a form from inside one of its own events, is deferred until the outermost
// callback returns; at the top level it runs at once.
#include <functional>

namespace kelva::rt {

class EventScope {
public:
    EventScope();
    ~EventScope();
    EventScope(const EventScope&) = delete;
    EventScope& operator=(const EventScope&) = delete;

    // True while some callback of this thread is running.
    static bool active();
    // Runs work now when no callback is running, else once the outermost one has returned. owner
    // names the work so that an owner going away first can withdraw it.
    static void defer(const void* owner, std::function<void()> work);
    static void withdraw(const void* owner);
};

}  // namespace kelva::rt
