// A form layer for tests of the core: every call goes to the runtime's form-less layer
// unless the test overrides it.
#pragma once

#include "form_layer.h"

namespace kx::testing {

class ForwardingFormLayer : public FormLayer {
public:
    void TakeForms() override { NoFormLayer().TakeForms(); }
    void Release() override { NoFormLayer().Release(); }
    bool AnyFormWindow() override { return NoFormLayer().AnyFormWindow(); }
    bool LoadStartForm(Word formId) override { return NoFormLayer().LoadStartForm(formId); }
    bool RaiseEvent(EventCall& call) override { return NoFormLayer().RaiseEvent(call); }
    std::uint64_t ReadProperty(Word f, Word u, std::int32_t p, std::int32_t e) override {
        return NoFormLayer().ReadProperty(f, u, p, e);
    }
    void WriteProperty(Word f, Word u, std::int32_t p, std::int32_t e, Word l, Word h) override {
        NoFormLayer().WriteProperty(f, u, p, e, l, h);
    }
    std::uint64_t ReadUnitProperty(Word t, std::int32_t p, Word o, std::int32_t e) override {
        return NoFormLayer().ReadUnitProperty(t, p, o, e);
    }
    void WriteUnitProperty(Word t, std::int32_t p, Word o, std::int32_t e, Word l, Word h) override {
        NoFormLayer().WriteUnitProperty(t, p, o, e, l, h);
    }
    void UnitDestroyed(Word f, Word u) override { NoFormLayer().UnitDestroyed(f, u); }
    Word UnitObject(Word f, Word u) override { return NoFormLayer().UnitObject(f, u); }
    void* UnitWindowHandle(Word f, Word u) override { return NoFormLayer().UnitWindowHandle(f, u); }
};

}  // namespace kx::testing
