// The form layer of the runtime: it implements the core's FormLayer over the collection that
// RuntimeApp owns, and lends the loader, the dispatcher and property access the helpers
// they share. Main thread, except where FormLayer says otherwise.
#pragma once

#include <windows.h>

#include <cstdint>

#include "form_collection.h"
#include "form_layer.h"
#include "kx/image_format.h"

namespace kx::forms {

class UnitWindow;

// The one form layer, to be installed into RuntimeApp.
FormLayer& WindowLayer();

// The loaded form templates (RuntimeApp's collection).
FormCollection& Forms();
// The data type record of `typeId` through the runtime's libraries, or null.
const DataTypeRecord* DataTypeOf(Word typeId);
// The entry `code` of a data type's interface function, or 0.
Word InterfaceEntry(const DataTypeRecord* type, Word code);

// The live object of unit `index` of `form`: its object slot is set and its window exists.
UnitWindow* LiveObject(const FormTemplate& form, Word index);
// Writes the object slot of unit `index` in the form's current table.
void SetObjectSlot(FormTemplate& form, Word index, Word object);
// Writes one head word of unit `index` (offset behind the remark).
void SetHeadWord(FormTemplate& form, Word index, std::size_t offset, Word value);
// Replaces the tail part of a record from `at` to `end` (byte offsets in the record) with
// `bytes`; the record's length and the later offsets follow.
void ReplaceRecordPart(FormTemplate& form, Word index, std::size_t at, std::size_t end,
                       std::span<const std::uint8_t> bytes);

// The final clean-up of a unit: its object slot is cleared; for the form's own unit the
// working table goes too, and the quit message follows when it was the last form window.
void UnitDestroyed(Word formId, Word unitId);

// LoadForm: 1 on success. `loader` 0 is the start form's.
bool LoadForm(FormTemplate& form, Word loader, bool modal, HWND owner);

// Event dispatch (FormLayer::RaiseEvent).
bool DispatchEvent(FormLayer::EventCall& call);

// Property access (entries 4 and 5).
std::uint64_t ReadUnitProperty(Word formId, Word unitId, std::int32_t property, std::int32_t element);
void WriteUnitProperty(Word formId, Word unitId, std::int32_t property, std::int32_t element, Word low,
                       Word high);
// Properties 8 and up of a live object of data type `type`. A write with an element index
// (not -1) changes one attribute of a font; of any other value that is an address it
// writes nothing, since the word is then no whole value the program handed over.
std::uint64_t ReadOwnProperty(const DataTypeRecord* type, UnitWindow* object, std::int32_t property);
void WriteOwnProperty(const DataTypeRecord* type, UnitWindow* object, std::int32_t property, std::int32_t element,
                      Word low, Word high);
// Makes a unit's window again in place, with its events held back meanwhile. On the window's
// own thread only: another thread asks it with kRecreateWindowMessage.
void RecreateUnitWindow(UnitWindow* object);

// The form and unit of the event routine running now (0 when none).
struct CurrentEvent {
    Word formId = 0;
    Word unitId = 0;
};
CurrentEvent CurrentEventOf();

}  // namespace kx::forms
