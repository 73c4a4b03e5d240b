#include "runtime/eventscope.h"

#include <deque>
#include <utility>

namespace kelva::rt {

namespace {
struct Pending {
    const void* owner;
    std::function<void()> work;
};
struct State {
    int depth = 0;
    bool flushing = false;
    std::deque<Pending> queue;
};
thread_local State state;

void flush() {
    if (state.flushing) return;  // the running flush picks up what is added meanwhile
    state.flushing = true;
    while (!state.queue.empty()) {
        Pending p = std::move(state.queue.front());
        state.queue.pop_front();
        try {
            p.work();
        } catch (...) {
            // deferred teardown has nobody to report to; the rest of the queue still runs
        }
    }
    state.flushing = false;
}
}  // namespace

EventScope::EventScope() { ++state.depth; }

EventScope::~EventScope() {
    if (--state.depth == 0 && !state.queue.empty()) flush();
}

bool EventScope::active() { return state.depth > 0; }

void EventScope::defer(const void* owner, std::function<void()> work) {
    state.queue.push_back({owner, std::move(work)});
    if (state.depth == 0) flush();
}

void EventScope::withdraw(const void* owner) {
    std::erase_if(state.queue, [owner](const Pending& p) { return p.owner == owner; });
}

}  // namespace kelva::rt
