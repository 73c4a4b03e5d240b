#pragma once
// An owning interface pointer: one reference, released on destruction.
#include <objbase.h>
#include <utility>

namespace kelva::com {

template <class T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ComPtr(std::nullptr_t) noexcept {}
    // Adds a reference of its own; use attach() to adopt one the caller already owns.
    explicit ComPtr(T* p) noexcept : p_(p) { if (p_) p_->AddRef(); }
    ComPtr(const ComPtr& o) noexcept : p_(o.p_) { if (p_) p_->AddRef(); }
    ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    ~ComPtr() { reset(); }
    ComPtr& operator=(ComPtr o) noexcept { std::swap(p_, o.p_); return *this; }

    static ComPtr attach(T* p) noexcept { ComPtr c; c.p_ = p; return c; }
    T* detach() noexcept { return std::exchange(p_, nullptr); }
    void reset() noexcept { if (auto p = std::exchange(p_, nullptr)) p->Release(); }

    T* get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }
    // For out parameters: releases what is held first.
    T** put() noexcept { reset(); return &p_; }
    void** putVoid() noexcept { return reinterpret_cast<void**>(put()); }

    template <class U>
    ComPtr<U> query() const noexcept {
        ComPtr<U> out;
        if (p_) p_->QueryInterface(__uuidof(U), out.putVoid());
        return out;
    }
    // A copy for an out parameter the caller will own.
    T* copyOut() const noexcept { if (p_) p_->AddRef(); return p_; }

private:
    T* p_ = nullptr;
};

}  // namespace kelva::com
