// The cursors of a loaded form's units: made from each unit's mouse-pointer data when the
// form loads and again when property 7 is written, kept in the cursor word of the unit's
// record, shown over the unit's window and destroyed with it. A unit whose data names the
// default pointer has no cursor: its window class's arrow shows. Window thread, except the
// remake after a write, which any thread may ask for.
#pragma once

#include <windows.h>

#include "form_collection.h"

namespace kx::forms {

// The cursor of every unit of a form whose windows have just been made.
void MakeUnitCursors(FormTemplate& form);
// After a write of property 7 to a loaded unit: the new cursor in, the old one destroyed,
// and the pointer shown again where it is, so that the change shows at once.
void RemakeUnitCursor(FormTemplate& form, Word index);
// When the unit's window is gone.
void DestroyUnitCursor(FormTemplate& form, Word index);
// WM_SETCURSOR of a unit's window: true when the unit's own cursor was set. Only over the
// client area of the window itself: a control decides its own cursor.
bool ShowUnitCursor(HWND window, WPARAM wParam, LPARAM lParam);

}  // namespace kx::forms
