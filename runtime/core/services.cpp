// RtService: the seven numbered runtime services of program code.
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "entries.h"
#include "kx/entry_table.h"
#include "file_search_rules.h"
#include "runtime_app.h"

namespace kx {

namespace {

using ServiceArgs = const Word (&)[6];
using ServiceFn = Word (*)(ServiceArgs);

// A search handle is an address of the process, not a kernel handle: it follows the word rule.
HANDLE SearchHandleOf(Word word) { return FromWord<HANDLE>(word); }
Word WordOfSearchHandle(HANDLE handle) { return ToWord(handle); }

// (pattern, attribute mask, files-only switch, address of the search-handle word)
Word FindFile(ServiceArgs args) {
    const char* pattern = FromWord<const char*>(args[0]);
    const Word mask = args[1];
    const bool filesOnly = args[2] != 0;
    auto* handleWord = FromWord<Word*>(args[3]);
    if (!handleWord) return 0;

    WIN32_FIND_DATAA found;
    bool have;
    if (pattern && *pattern) {
        if (*handleWord) FindClose(SearchHandleOf(*handleWord));
        *handleWord = 0;
        const HANDLE handle = FindFirstFileA(pattern, &found);
        if (handle == INVALID_HANDLE_VALUE) return 0;
        *handleWord = WordOfSearchHandle(handle);
        have = true;
    } else {
        if (!*handleWord) return 0;
        have = FindNextFileA(SearchHandleOf(*handleWord), &found) != FALSE;
    }
    while (have && !AcceptsFoundEntry(found.dwFileAttributes, mask, filesOnly)) {
        have = FindNextFileA(SearchHandleOf(*handleWord), &found) != FALSE;
    }
    if (!have) {
        FindClose(SearchHandleOf(*handleWord));
        *handleWord = 0;
        return 0;
    }
    const auto length = static_cast<std::uint32_t>(std::strlen(found.cFileName));
    return ToWord(AllocCopy(found.cFileName, length + 1));
}

Word FindCloseService(ServiceArgs args) {
    if (args[0]) FindClose(SearchHandleOf(args[0]));
    return 0;
}

// (address of an array-block variable, element size)
Word MakeArrayWritable(ServiceArgs args) {
    auto* variable = FromWord<Word*>(args[0]);
    if (!variable) return 0;
    const auto* block = FromWord<const Word*>(*variable);
    const RuntimeApp& app = *RuntimeApp::Current();
    if (!block || !app.IsConstant(block)) return 0;
    // The header words are read only as far as they lie in the constants block.
    const std::size_t available = app.ConstantBytesFrom(block) / 4;
    const std::uint64_t dimensions = available ? block[0] : 0;
    std::uint64_t count = 1;
    for (std::uint64_t i = 0; i < dimensions && 1 + i < available && count <= 0xFFFFFFFF; ++i) {
        count *= block[1 + i];
    }
    // Past 32 bits the element bytes stay at the largest size instead of wrapping to a
    // small one: such a block cannot be copied.
    const std::uint64_t elementBytes =
        count > 0xFFFFFFFF ? 0xFFFFFFFF : std::min<std::uint64_t>(count * args[1], 0xFFFFFFFF);
    const std::uint64_t size = 4 * (1 + dimensions) + elementBytes;
    // The copy never reads past the constants block (RtRealloc's rule for constants).
    *variable = ToWord(RtRealloc(const_cast<Word*>(block),
                                 static_cast<std::uint32_t>(std::min<std::uint64_t>(size, 0xFFFFFFFF))));
    return 0;
}

Word AddExitRoutine(ServiceArgs args) {
    RuntimeApp::Current()->AddExitRoutine(args[0]);
    return 0;
}

// (data type id, property, unit object, element, address of 8 bytes for the value): the
// value's low word is the result too.
Word ReadUnitProperty(ServiceArgs args) {
    const std::uint64_t value = RuntimeApp::Current()->formLayer().ReadUnitProperty(
        args[0], static_cast<std::int32_t>(args[1]), args[2], static_cast<std::int32_t>(args[3]));
    if (auto* out = FromWord<std::uint8_t*>(args[4])) std::memcpy(out, &value, sizeof value);
    return static_cast<Word>(value);
}

// (data type id, property, unit object, element, value low, value high)
Word WriteUnitProperty(ServiceArgs args) {
    RuntimeApp::Current()->formLayer().WriteUnitProperty(args[0], static_cast<std::int32_t>(args[1]), args[2],
                                                         static_cast<std::int32_t>(args[3]), args[4], args[5]);
    return 0;
}

Word InitRuntime(ServiceArgs) {
    RuntimeApp::Current()->InitRuntime();
    return 0;
}

const ServiceFn kServices[] = {
    FindFile,                  // 0
    FindCloseService,          // 1
    MakeArrayWritable,         // 2
    AddExitRoutine,            // 3
    ReadUnitProperty,          // 4
    WriteUnitProperty,         // 5
    InitRuntime,               // 6
};
static_assert(sizeof kServices / sizeof kServices[0] == kServiceCount);

}  // namespace

Word RtService(std::uint32_t number, Word arg1, Word arg2, Word arg3, Word arg4, Word arg5,
               Word arg6) {
    // An unknown number answers 0 rather than jumping through whatever lies past the table.
    if (number >= kServiceCount) return 0;
    const Word args[6] = {arg1, arg2, arg3, arg4, arg5, arg6};
    return kServices[number](args);
}

}  // namespace kx
