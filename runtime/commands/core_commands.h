// The core library's commands, each a CommandFn at its index in the library's command
// table. Stateless; any thread.
#pragma once

#include "kx/value_cell.h"

namespace kx::commands {

#define KX_COMMAND(name) void name(ValueCell* result, std::int32_t count, ValueCell* args)

// Date-time.
KX_COMMAND(Now);           // 0
KX_COMMAND(SecondOf);      // 1
KX_COMMAND(ToText);        // 2
KX_COMMAND(MakeDateTime);  // 36
KX_COMMAND(AddInterval);   // 37
KX_COMMAND(SetClock);      // 38

// Texts, conversions, numbers and the message box.
KX_COMMAND(MessageBoxCommand);  // 3 (not "MessageBox": <windows.h> makes that a macro)
KX_COMMAND(FindText);           // 9
KX_COMMAND(ToByteArray);        // 10
KX_COMMAND(TextLength);         // 11
KX_COMMAND(ReplaceSubtext);     // 12
KX_COMMAND(SplitText);          // 13
KX_COMMAND(TrimSpaces);         // 20
KX_COMMAND(LeftText);           // 21
KX_COMMAND(MidText);            // 22
KX_COMMAND(RightText);          // 23
KX_COMMAND(CharCodeAt);         // 24
KX_COMMAND(ToUpperCase);        // 25
KX_COMMAND(ByteArrayLength);    // 26
KX_COMMAND(Remainder);          // 27
KX_COMMAND(BlankByteArray);     // 28
KX_COMMAND(ShiftRight);         // 29
KX_COMMAND(BitAnd);             // 30
KX_COMMAND(ShiftLeft);          // 31
KX_COMMAND(ToByte);             // 32
KX_COMMAND(FindTextBackwards);  // 33
KX_COMMAND(CharFromCode);       // 34
KX_COMMAND(MidByteArray);       // 35

// COM objects and Variants (defined in runtime/com).
KX_COMMAND(Clear);          // 4
KX_COMMAND(Create);         // 5
KX_COMMAND(Assign);         // 6
KX_COMMAND(CallMethod);     // 7
KX_COMMAND(WriteProperty);  // 8
KX_COMMAND(SetVariant);     // 14
KX_COMMAND(ReadVariant);    // 15
KX_COMMAND(VariantToBytes); // 16
KX_COMMAND(ClearVariant);   // 17
KX_COMMAND(ReadText);       // 18
KX_COMMAND(ReadNumber);     // 19

#undef KX_COMMAND

// The core library's notification routine: keeps the runtime service routine.
std::int32_t CoreLibraryNotify(std::int32_t code, Word param1, Word param2);

}  // namespace kx::commands
