// What the COM command tests share: COM initialised per test, object and Variant variables
// as program code holds them (cells and VARIANTs on the runtime heap), and calling the
// commands through their CommandFn.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <string>

#include "command_calls.h"
#include "core_commands.h"
#include "failure_code.h"
#include "kx/com_values.h"
#include "memory.h"

namespace kx::testing {

class ComTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_HRESULT_SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)); }
    void TearDown() override { CoUninitialize(); }
};

// A ComObject variable: a heap cell; Hold puts an object in with a reference of its own.
class ObjectVariable {
public:
    ObjectVariable() : cell_(static_cast<ComObjectCell*>(RtAlloc(kComObjectCellSize))) {
        *cell_ = {};
        slot_ = ToWord(cell_);
    }
    ~ObjectVariable() {
        commands::Clear(nullptr, 1, &Cell());
        RtFree(cell_);
    }
    ObjectVariable(const ObjectVariable&) = delete;
    ObjectVariable& operator=(const ObjectVariable&) = delete;

    void Hold(IUnknown* object) {
        object->AddRef();
        cell_->object = ToWord(object);
    }
    ComObjectCell& cell() { return *cell_; }
    IUnknown* object() const { return FromWord<IUnknown*>(cell_->object); }
    ValueCell& Cell() { return value_ = ValueCell::Raw(ToWord(cell_), 0, type_word::kComObjectType); }
    ValueCell& ByReference() {
        return value_ = ValueCell::Reference(&slot_, type_word::kComObjectType);
    }

private:
    ComObjectCell* cell_;
    Word slot_;
    ValueCell value_;
};

// A Variant variable: a heap VARIANT that starts as the integer 0.
class VariantVariable {
public:
    VariantVariable() : variant_(static_cast<VARIANT*>(RtAlloc(kVariantSize))) {
        InitNewVariant(variant_);
        slot_ = ToWord(variant_);
    }
    // Takes over a Variant result of a command.
    explicit VariantVariable(const ValueCell& result) : variant_(result.AsAddress<VARIANT*>()) {
        EXPECT_EQ(result.type(), type_word::kVariantType);
        slot_ = ToWord(variant_);
    }
    ~VariantVariable() {
        if (variant_) VariantClear(variant_);
        RtFree(variant_);
    }
    VariantVariable(const VariantVariable&) = delete;
    VariantVariable& operator=(const VariantVariable&) = delete;

    VARIANT* get() { return variant_; }
    ValueCell Cell() { return ValueCell::Raw(ToWord(variant_), 0, type_word::kVariantType); }
    ValueCell ByReference() { return ValueCell::Reference(&slot_, type_word::kVariantType); }

private:
    VARIANT* variant_;
    Word slot_;
};

inline double NumberOf(const ValueCell& result) {
    EXPECT_EQ(result.type(), type_word::kDouble);
    return result.AsDouble();
}

inline ValueCell Logical(bool v) { return ValueCell::Logical(v); }
inline ValueCell D(double v) { return ValueCell::Double(v); }
inline ValueCell Omitted() { return ValueCell::Omitted(); }

}  // namespace kx::testing
