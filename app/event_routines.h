// Binds the form's event places to the program's routines. Main thread, before the start
// form is loaded.
#pragma once

namespace clock_app {

void BindEventRoutines();

}  // namespace clock_app
