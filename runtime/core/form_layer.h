// The interface through which the runtime core reaches the form layer: loading forms,
// raising events, property access and the units' windows. The core owns the interface;
// the form layer implements it and is installed into RuntimeApp before start-up, so the
// dependency runs from the form layer to the core only. Calls come from any thread
// (property access, events) or the main thread (loading, release).
#pragma once

#include <cstdint>
#include <vector>

#include "kx/word.h"

namespace kx {

class FormLayer {
public:
    virtual ~FormLayer() = default;

    // Start-up step 14: the collection is loaded and relocated.
    virtual void TakeForms() = 0;
    // Shutdown: every form window goes; the collection is emptied by the core after this.
    virtual void Release() = 0;
    // Whether any loaded form has a live window.
    virtual bool AnyFormWindow() = 0;
    // Loads and shows form `formId` (not modal, no owner); false when it is missing or its
    // window cannot be made.
    virtual bool LoadStartForm(Word formId) = 0;

    // Raises event `eventIndex` of (form, unit) with the given argument words; true when a
    // routine ran; `hasResult` and the result words are set when it returned a value.
    struct EventCall {
        Word formId;
        Word unitId;
        std::int32_t eventIndex;
        std::vector<Word> arguments;
        bool hasResult = false;
        Word resultLow = 0;
        Word resultHigh = 0;
    };
    virtual bool RaiseEvent(EventCall& call) = 0;

    // Entries 4 and 5.
    virtual std::uint64_t ReadProperty(Word formId, Word unitId, std::int32_t property,
                                       std::int32_t element) = 0;
    virtual void WriteProperty(Word formId, Word unitId, std::int32_t property,
                               std::int32_t element, Word low, Word high) = 0;
    // Services 4 and 5: a property of a live unit object of data type `typeId`.
    virtual std::uint64_t ReadUnitProperty(Word typeId, std::int32_t property, Word object,
                                           std::int32_t element) = 0;
    virtual void WriteUnitProperty(Word typeId, std::int32_t property, Word object,
                                   std::int32_t element, Word low, Word high) = 0;

    // A unit's final clean-up (library service 2000): its object slot is cleared.
    virtual void UnitDestroyed(Word formId, Word unitId) = 0;

    // The live window object of a unit (0: the form's own unit) as a word, or 0.
    virtual Word UnitObject(Word formId, Word unitId) = 0;
    // The window handle of a unit, or null; for commands that take an owner window.
    virtual void* UnitWindowHandle(Word formId, Word unitId) = 0;
};

// The form layer of a runtime that has none: no form is ever loaded, raised events and
// property access find only the form-not-found errors.
FormLayer& NoFormLayer();

}  // namespace kx
