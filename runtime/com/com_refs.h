// Scope guards for the COM commands: one interface reference, one temporary VARIANT. Both
// give up what they hold however the scope ends. Any thread.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <oleauto.h>

namespace kx::com {

template <typename Interface>
class Held {
public:
    Held() = default;
    explicit Held(Interface* pointer) : pointer_(pointer) {}
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
    ~Held() {
        if (pointer_) pointer_->Release();
    }
    Interface** out() { return &pointer_; }
    Interface* operator->() const { return pointer_; }
    Interface* get() const { return pointer_; }
    // Hands the reference to the caller.
    Interface* release() {
        Interface* pointer = pointer_;
        pointer_ = nullptr;
        return pointer;
    }

private:
    Interface* pointer_ = nullptr;
};

class ScopedVariant {
public:
    ScopedVariant() { VariantInit(&value_); }
    ScopedVariant(const ScopedVariant&) = delete;
    ScopedVariant& operator=(const ScopedVariant&) = delete;
    ~ScopedVariant() { VariantClear(&value_); }
    VARIANT* get() { return &value_; }
    // Hands the contents to the caller, leaving VT_EMPTY.
    VARIANT release() {
        const VARIANT value = value_;
        VariantInit(&value_);
        return value;
    }

private:
    VARIANT value_;
};

}  // namespace kx::com
