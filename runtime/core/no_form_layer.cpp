// A runtime without a form layer (tools and tests of the core alone): nothing can be
// loaded, and only the form-not-found errors are left to report.
#include "error_text.h"
#include "errors.h"
#include "form_layer.h"
#include "runtime_app.h"

namespace kx {

namespace {

class NoForms final : public FormLayer {
public:
    void TakeForms() override {}
    void Release() override {}
    bool AnyFormWindow() override { return false; }
    bool LoadStartForm(Word) override { return false; }
    bool RaiseEvent(EventCall& call) override {
        RuntimeApp& app = *RuntimeApp::Current();
        if (app.EventsSuppressed()) return false;
        if (!app.forms().Find(call.formId)) {
            ReportRuntimeError(fixed_error::kEventFormMissing, 0, static_cast<std::int32_t>(call.formId), 0);
        }
        return false;
    }
    std::uint64_t ReadProperty(Word formId, Word unitId, std::int32_t, std::int32_t) override {
        CheckForm(formId, unitId);
        return 0;
    }
    void WriteProperty(Word formId, Word unitId, std::int32_t, std::int32_t, Word, Word) override {
        CheckForm(formId, unitId);
    }
    std::uint64_t ReadUnitProperty(Word, std::int32_t, Word, std::int32_t) override { return 0; }
    void WriteUnitProperty(Word, std::int32_t, Word, std::int32_t, Word, Word) override {}
    void UnitDestroyed(Word, Word) override {}
    Word UnitObject(Word, Word) override { return 0; }
    void* UnitWindowHandle(Word, Word) override { return nullptr; }

private:
    static void CheckForm(Word formId, Word unitId) {
        if (!RuntimeApp::Current()->forms().Find(formId)) {
            ReportRuntimeError(fixed_error::kPropertyFormMissing, 0, static_cast<std::int32_t>(formId),
                               static_cast<std::int32_t>(unitId));
        }
    }
};

}  // namespace

FormLayer& NoFormLayer() {
    static NoForms layer;
    return layer;
}

}  // namespace kx
