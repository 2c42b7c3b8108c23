// How program code calls the runtime: every call goes through the image's entry table, and
// library commands are named by the addresses in their library's command table, exactly as
// compiled program code does. Any thread.
#pragma once

#include <cstring>
#include <initializer_list>
#include <span>
#include <type_traits>
#include <vector>

#include "kx/entry_table.h"
#include "kx/program_image.h"
#include "kx/value_cell.h"

namespace kx::program {

namespace detail {
template <EntrySlot> struct EntryType;
template <> struct EntryType<EntrySlot::kRaiseError> { using type = RtRaiseErrorFn; };
template <> struct EntryType<EntrySlot::kCallDllCommand> { using type = RtCallDllCommandFn; };
template <> struct EntryType<EntrySlot::kCallLibraryCommand> { using type = RtCallLibraryCommandFn; };
template <> struct EntryType<EntrySlot::kCallCoreCommand> { using type = RtCallCoreCommandFn; };
template <> struct EntryType<EntrySlot::kReadProperty> { using type = RtReadPropertyFn; };
template <> struct EntryType<EntrySlot::kWriteProperty> { using type = RtWritePropertyFn; };
template <> struct EntryType<EntrySlot::kAlloc> { using type = RtAllocFn; };
template <> struct EntryType<EntrySlot::kRealloc> { using type = RtReallocFn; };
template <> struct EntryType<EntrySlot::kFree> { using type = RtFreeFn; };
template <> struct EntryType<EntrySlot::kEndProgram> { using type = RtEndProgramFn; };
template <> struct EntryType<EntrySlot::kRunUntilWindowsClosed> { using type = RtRunUntilWindowsClosedFn; };
template <> struct EntryType<EntrySlot::kLoadStartForm> { using type = RtLoadStartFormFn; };
template <> struct EntryType<EntrySlot::kService> { using type = RtServiceFn; };
}  // namespace detail

template <EntrySlot slot>
typename detail::EntryType<slot>::type Entry() {
    return FromWord<typename detail::EntryType<slot>::type>(
        image::EntryTable().slots[static_cast<std::uint32_t>(slot)]);
}

// The address of command `index` of library `library`, read from its command table (which
// need not be aligned).
inline Word CommandAddress(Word library, std::uint32_t index) {
    const auto* libraries = FromWord<const Word*>(image::Header().libraries);
    const auto* descriptor = FromWord<const LibraryDescriptor*>(libraries[library]);
    Word address;
    std::memcpy(&address, FromWord<const std::uint8_t*>(descriptor->commandFunctions) + 4 * std::size_t{index},
                sizeof address);
    return address;
}

inline ValueCell CallCore(image::CoreCommand command, std::span<ValueCell> args) {
    return Entry<EntrySlot::kCallCoreCommand>()(
        CommandAddress(image::kCoreLibrary, static_cast<std::uint32_t>(command)),
        static_cast<std::int32_t>(args.size()), args.data());
}
inline ValueCell CallCore(image::CoreCommand command, std::initializer_list<ValueCell> args) {
    std::vector<ValueCell> cells(args);
    return CallCore(command, std::span<ValueCell>(cells));
}

inline ValueCell CallLibrary(Word library, std::uint32_t index, std::span<ValueCell> args) {
    return Entry<EntrySlot::kCallLibraryCommand>()(library, CommandAddress(library, index),
                                                   static_cast<std::int32_t>(args.size()),
                                                   args.data());
}

inline Word Service(ServiceNumber number, Word arg1 = 0, Word arg2 = 0, Word arg3 = 0,
                    Word arg4 = 0, Word arg5 = 0, Word arg6 = 0) {
    return Entry<EntrySlot::kService>()(static_cast<std::uint32_t>(number), arg1, arg2, arg3,
                                        arg4, arg5, arg6);
}

// The function of DLL command `command`, typed as the program declares it. Resolving binds it
// on first use.
template <typename Signature>
    requires std::is_function_v<Signature>
Signature* ResolveDllCommand(image::DllCommand command) {
    return reinterpret_cast<Signature*>(
        Entry<EntrySlot::kCallDllCommand>()(static_cast<std::uint32_t>(command)));
}

inline void* Alloc(std::uint32_t size) { return Entry<EntrySlot::kAlloc>()(size); }
inline void* Realloc(void* block, std::uint32_t size) { return Entry<EntrySlot::kRealloc>()(block, size); }
inline void Free(const void* block) { Entry<EntrySlot::kFree>()(const_cast<void*>(block)); }

}  // namespace kx::program
