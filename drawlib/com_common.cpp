#include "com_common.h"

#include <windows.h>

#include <memory>

namespace kelva::sub::common {

namespace {
DWORD slot = TLS_OUT_OF_INDEXES;

// Thread-local storage through the TLS slot rather than thread_local, so that a thread's data is freed
// by the DLL's own thread notifications and never outlives the DLL.
com::Variant* threadPoint(bool create) {
    if (slot == TLS_OUT_OF_INDEXES) processAttach();
    if (slot == TLS_OUT_OF_INDEXES) return nullptr;
    auto* point = static_cast<com::Variant*>(TlsGetValue(slot));
    if (!point && create) {
        auto owned = std::make_unique<com::Variant>();
        if (!TlsSetValue(slot, owned.get())) return nullptr;
        point = owned.release();  // owned by the slot until threadDetach
    }
    return point;
}
}  // namespace

com::Variant lastPickPoint() {
    const com::Variant* point = threadPoint(false);
    return point ? *point : com::Variant();
}

void setLastPickPoint(const VARIANT& point) {
    com::Variant copy(point);
    if (com::Variant* stored = threadPoint(true)) *stored = std::move(copy);
}

void yieldToInput() {
    if (GetQueueStatus(QS_KEY | QS_MOUSEMOVE | QS_MOUSEBUTTON) == 0) return;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // the host's loop must still see it
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool processAttach() noexcept {
    if (slot == TLS_OUT_OF_INDEXES) slot = TlsAlloc();
    return slot != TLS_OUT_OF_INDEXES;
}

void threadDetach() noexcept {
    if (slot == TLS_OUT_OF_INDEXES) return;
    std::unique_ptr<com::Variant> owned(static_cast<com::Variant*>(TlsGetValue(slot)));
    TlsSetValue(slot, nullptr);
}

void processDetach() noexcept {
    threadDetach();
    if (slot != TLS_OUT_OF_INDEXES) TlsFree(std::exchange(slot, TLS_OUT_OF_INDEXES));
}

}  // namespace kelva::sub::common
