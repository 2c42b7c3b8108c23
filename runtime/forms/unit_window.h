// UnitWindow: the live window object of one unit of a loaded form (the form's own window or
// a control), and the data-type interface through which the loader and property access
// reach each type: create (code 1), set (4), serialise (5), get (6). Objects live on the
// thread that created their window; set and get may be called from any thread.
#pragma once

#include <windows.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "kx/value_cell.h"
#include "kx/word.h"

namespace kx::forms {

// A property value after the conversion by its type code: one or two words.
struct PropertyValue {
    Word low = 0;
    Word high = 0;
};

class UnitWindow {
public:
    UnitWindow(Word formId, Word unitId) : formId_(formId), unitId_(unitId) {}
    virtual ~UnitWindow() = default;
    UnitWindow(const UnitWindow&) = delete;
    UnitWindow& operator=(const UnitWindow&) = delete;

    HWND hwnd() const { return hwnd_; }
    Word formId() const { return formId_; }
    Word unitId() const { return unitId_; }

    // Own property `index` (property number - 8); answers true when the window must be
    // re-created for the change to show.
    virtual bool SetOwnProperty(std::int32_t index, PropertyValue value) = 0;
    // False when the type has no such own property.
    virtual bool GetOwnProperty(std::int32_t index, ValueCell& out) = 0;
    virtual std::vector<std::uint8_t> SerialiseBlock() const = 0;
    // A WM_COMMAND notification the parent reflected back to this control.
    virtual void OnReflectedCommand(WORD /*code*/) {}
    // Makes the window again after a property change asked for it.
    virtual void Recreate() {}

    // The object behind a window of ours, or null.
    static UnitWindow* Of(HWND window);

protected:
    // Ties the window to this object (window property), so that Of() finds it.
    void Attach(HWND window);
    // The final clean-up once the window is gone: the unit-destroyed notification, then the
    // object is freed.
    void Destroyed();

    HWND hwnd_ = nullptr;
    Word formId_;
    Word unitId_;
};

// The arguments of a create entry, in the order of the entry.
struct CreateArgs {
    const std::uint8_t* block;
    Word blockLength;
    DWORD extraStyle;
    HWND parent;  // or owner, for a form
    Word controlId;
    HMENU menu;
    std::int32_t left, top, width, height;
    Word formId;
    Word unitId;
    Word reserved;
    Word designMode;
};

using CreateUnitFn = UnitWindow* (*)(const CreateArgs& args);
using SetPropertyFn = bool (*)(UnitWindow* object, std::int32_t index, PropertyValue value, bool* recreate);
using SerialiseFn = bool (*)(UnitWindow* object, std::vector<std::uint8_t>* out);
using GetPropertyFn = bool (*)(UnitWindow* object, std::int32_t index, ValueCell* out);
// A data type's interface function: the entry for `code`, or 0.
using InterfaceFn = Word (*)(Word code);

// Sent to a control's window by a property write on another thread: a window can only be
// destroyed, and so made again, by its own thread.
inline constexpr UINT kRecreateWindowMessage = 0x8070;

namespace interface_code {
inline constexpr Word kCreate = 1;
inline constexpr Word kSetProperty = 4;
inline constexpr Word kSerialise = 5;
inline constexpr Word kGetProperty = 6;
}  // namespace interface_code

// The shared set, serialise and get entries of every type.
Word CommonInterfaceEntry(Word code);

// Registers a window class of ours unless it exists: the arrow cursor, the null brush (the
// window paints its own background), no icon. False when it cannot be registered, or when a
// class of that name already exists for another procedure.
bool RegisterWindowClass(const std::wstring& name, UINT style, WNDPROC procedure);

// The background colour of the form behind a control: its property 10, or the system's
// face colour for the default.
COLORREF FormBackgroundBehind(HWND control);

// Texts given to the system are widened from code page 936.
std::wstring Wide(const std::string& text);

// The font of a font field: a LOGFONTA of 60 bytes, or the stock DEFAULT_GUI_FONT. `owned`
// is true when the caller must delete the font.
HFONT FontOf(const std::vector<std::uint8_t>& field, bool& owned);

// Raises event `eventIndex` of (form, unit) through the runtime (service 2008); the result
// record tells whether a routine ran and what it returned.
struct RaisedEvent {
    bool ran = false;
    bool hasResult = false;
    Word result = 0;
};
RaisedEvent RaiseUnitEvent(Word formId, Word unitId, std::int32_t eventIndex,
                           std::initializer_list<Word> arguments = {});

// Texts of results are copies on the runtime heap (null for the empty text).
ValueCell TextResult(const std::string& text);
ValueCell BytesResult(const std::vector<std::uint8_t>& bytes);
// Bytes of a byte-array value (dimension count 1, length, bytes); empty for null.
std::vector<std::uint8_t> BytesOfValue(Word address);

}  // namespace kx::forms
