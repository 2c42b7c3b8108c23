// The program image header of the clock corrector, its DLL-command tables, its library list
// and the runtime entry table of its program code.
#include "entries.h"
#include "form_block.h"
#include "kx/constants.h"
#include "libraries.h"
#include "program_code.h"

namespace kx::image {

namespace {

const char kOle32[] = "ole32.dll";
const char kWininet[] = "wininet.dll";
const char kCoInitialize[] = "CoInitialize";
const char kCoUninitialize[] = "CoUninitialize";
const char kInternetTimeToSystemTime[] = "InternetTimeToSystemTime";

const Word kDllLibraryNames[kDllCommandCount] = {
    ToWord(kOle32),    // 0
    ToWord(kOle32),    // 1
    ToWord(kWininet),  // 2
};
const Word kDllEntryNames[kDllCommandCount] = {
    ToWord(kCoInitialize),              // 0
    ToWord(kCoUninitialize),            // 1
    ToWord(kInternetTimeToSystemTime),  // 2
};

const Word kLibraries[kLibraryCount] = {
    ToWord(&kCoreLibraryDescriptor),    // 0
    ToWord(&kThreadLibraryDescriptor),  // 1
};

const ProgramImageHeader kHeader = {
    .buildKind = kBuildKindSelfContained,
    .imageWord1 = 0,
    .imageWord2 = 99919,
    .codeBase = CodeBase(),
    .constBlock = ToWord(&kConstants),
    .constBlockSize = sizeof kConstants,
    .formBlock = ToWord(FormBlock()),
    .formBlockSize = FormBlockSize(),
    .libraryCount = kLibraryCount,
    .libraries = ToWord(kLibraries),
    .dllCommandCount = kDllCommandCount,
    .dllLibraryNames = ToWord(kDllLibraryNames),
    .dllEntryNames = ToWord(kDllEntryNames),
};

const RuntimeEntryTable kEntryTable = {{
    ToWord(&RtRaiseError),             // 0
    ToWord(&RtCallDllCommand),         // 1
    ToWord(&RtCallLibraryCommand),     // 2
    ToWord(&RtCallCoreCommand),        // 3
    ToWord(&RtReadProperty),           // 4
    ToWord(&RtWriteProperty),          // 5
    ToWord(&RtAlloc),                  // 6
    ToWord(&RtRealloc),                // 7
    ToWord(&RtFree),                   // 8
    ToWord(&RtEndProgram),             // 9
    ToWord(&RtRunUntilWindowsClosed),  // 10
    ToWord(&RtLoadStartForm),          // 11
    ToWord(&RtService),                // 12
}};

}  // namespace

const ProgramImageHeader& Header() { return kHeader; }
const RuntimeEntryTable& EntryTable() { return kEntryTable; }

}  // namespace kx::image
