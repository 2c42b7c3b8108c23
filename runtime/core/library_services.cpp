// The RuntimeServiceFn: what libraries may ask of the runtime.
#include <windows.h>

#include <algorithm>

#include "entries.h"
#include "error_text.h"
#include "event_arguments.h"
#include "kx/type_words.h"
#include "runtime_app.h"

namespace kx {

namespace {

namespace code = library_service;

RuntimeApp& App() { return *RuntimeApp::Current(); }

Word DataTypeRecordOf(Word dataTypeId) {
    if (!type_word::IsLibraryDataType(dataTypeId)) return 0;
    const auto& libraries = App().libraries();
    const Word libraryNumber = type_word::LibraryNumberOf(dataTypeId);
    if (libraryNumber >= libraries.size() || !libraries[libraryNumber]) return 0;
    const LibraryDescriptor& library = *libraries[libraryNumber];
    const Word index = type_word::RecordIndexOf(dataTypeId);
    if (index >= library.dataTypeCount) return 0;
    return library.dataTypes + index * static_cast<Word>(sizeof(DataTypeRecord));
}

template <typename Record>
FormLayer::EventCall EventCallOf(const Record& record) {
    return {record.formId, record.unitId, static_cast<std::int32_t>(record.eventIndex),
            ArgumentWords(record)};
}

// Service 2008: the result is one word.
std::int32_t CallEventRoutine(Word recordAddress) {
    auto* record = FromWord<EventRecord*>(recordAddress);
    if (!record) return 0;
    FormLayer::EventCall call = EventCallOf(*record);
    const bool ran = App().formLayer().RaiseEvent(call);
    if (call.hasResult) {
        record->hasResult = 1;
        record->result = call.resultLow;
    }
    return ran ? 1 : 0;
}

// Service 2031: the result is an 8-byte value.
std::int32_t CallEventRoutineTyped(Word recordAddress) {
    auto* record = FromWord<TypedEventRecord*>(recordAddress);
    if (!record) return 0;
    FormLayer::EventCall call = EventCallOf(*record);
    const bool ran = App().formLayer().RaiseEvent(call);
    if (call.hasResult) {
        record->hasResult = 1;
        record->resultLow = call.resultLow;
        record->resultHigh = call.resultHigh;
    }
    return ran ? 1 : 0;
}

void FreeArray(Word type, Word blockWord) {
    const auto* block = FromWord<const Word*>(blockWord);
    const Word elementType = type_word::WithoutAddressBit(type);
    if (block && (elementType == type_word::kText || elementType == type_word::kByteArray)) {
        // Element addresses are read only as far as the block reaches.
        const std::size_t words = ReadableBytes(block) / 4;
        const std::uint64_t headerWords = 1 + std::uint64_t{words ? block[0] : 0};
        const std::uint64_t room = words > headerWords ? words - headerWords : 0;
        const std::uint64_t count =
            headerWords <= words ? std::min<std::uint64_t>(ArrayElementCount(block), room) : 0;
        const Word* elements = block + headerWords;
        for (std::uint64_t i = 0; i < count; ++i) RtFree(FromWord<void*>(elements[i]));
    }
    RtFree(const_cast<Word*>(block));
}

}  // namespace

std::int32_t RuntimeService(std::int32_t serviceCode, Word param1, Word param2) {
    switch (serviceCode) {
        case code::kLoadDefaultIcons: {
            HICON icons[2];
            App().LoadDefaultIcons(icons);
            if (auto* words = FromWord<Word*>(param1)) {
                words[0] = HandleToULong(icons[0]);
                words[1] = HandleToULong(icons[1]);
            }
            return 0;
        }
        case code::kUnitDestroyed:
            App().formLayer().UnitDestroyed(param1, param2);
            return 0;
        case code::kFormCollection:
            return static_cast<std::int32_t>(ToWord(&App().forms()));
        case code::kDataTypeRecord:
        case code::kDataTypeRecordAlias:
            return static_cast<std::int32_t>(DataTypeRecordOf(param1));
        case code::kProgramDirectory:
            return static_cast<std::int32_t>(ToWord(App().programDirectory().c_str()));
        case code::kProgramFileName:
            return static_cast<std::int32_t>(ToWord(App().programFileName().c_str()));
        case code::kUnitWindowObject:
            return static_cast<std::int32_t>(App().formLayer().UnitObject(param1, param2));
        case code::kUnitWindowObjectOrError:
            if (const Word object = App().formLayer().UnitObject(param1, param2)) {
                return static_cast<std::int32_t>(object);
            }
            ReportRuntimeError(fixed_error::kUnitWindowMissing, 0, static_cast<std::int32_t>(param1),
                               static_cast<std::int32_t>(param2));  // does not return
        case code::kCallEventRoutine:
            return CallEventRoutine(param1);
        case code::kCallEventRoutineTyped:
            return CallEventRoutineTyped(param1);
        case code::kSuppressEvents:
            App().ProcessPendingMessages();
            App().SuppressEvents();
            return 0;
        case code::kAllowEvents:
            App().ProcessPendingMessages();
            App().AllowEvents();
            return 0;
        case code::kProcessPendingMessages:
            App().ProcessPendingMessages();
            return 0;
        case code::kFreeArray:
            FreeArray(param1, param2);
            return 0;
        case code::kAlloc:
            return static_cast<std::int32_t>(ToWord(param2 ? TryAlloc(param1) : RtAlloc(param1)));
        case code::kFree:
            RtFree(FromWord<void*>(param1));
            return 0;
        case code::kRealloc:
            return static_cast<std::int32_t>(ToWord(RtRealloc(FromWord<void*>(param1), param2)));
        case code::kRaiseErrorText:
            ReportRuntimeError(FromWord<const char*>(param1), 0, 0, 0);  // does not return
        case code::kEndProgram:
            RtEndProgram(static_cast<std::int32_t>(param1));  // does not return
        case code::kBuildKind:
            return static_cast<std::int32_t>(App().buildKind());
        default:
            return 0;
    }
}

}  // namespace kx
