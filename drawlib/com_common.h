#pragma once
// Module data of KelvaSub held once per thread (each thread or apartment that loads the library has its
// own copy), and the input-queue yield of long computations.
#include <oaidl.h>

#include "com/values.h"

namespace kelva::sub::common {

// Common.LastPickPoint of the calling thread: Empty until a picker stores the point AutoCAD returned.
com::Variant lastPickPoint();
void setLastPickPoint(const VARIANT& point);

// Lets the calling thread handle pending window messages once when keys, mouse moves or mouse buttons
// are waiting (GetQueueStatus mask 7); returns at once otherwise. Never cancels the caller's work.
void yieldToInput();

// DllMain's notifications: the thread's data ends with the thread.
bool processAttach() noexcept;
void threadDetach() noexcept;
void processDetach() noexcept;

}  // namespace kelva::sub::common
