#include "thread_library.h"

#include <windows.h>

#include <atomic>
#include <cstdlib>

#include "kx/image_format.h"

namespace kx::threads {

namespace {

struct CriticalSectionNode {
    CRITICAL_SECTION section;
    CriticalSectionNode* next;
};

std::atomic<Word> g_runtimeService{0};
CriticalSectionNode* g_criticalSections = nullptr;

void DeleteCriticalSections() {
    CriticalSectionNode* node = g_criticalSections;
    while (node) {
        DeleteCriticalSection(&node->section);
        CriticalSectionNode* next = node->next;
        std::free(node);
        node = next;
    }
    g_criticalSections = nullptr;
}

}  // namespace

void StartThread(ValueCell* result, std::int32_t count, ValueCell* args) {
    // Without a start routine there is nothing to run: a thread started at address 0 would
    // only fault, so none is created.
    const Word routine = (count >= 1 && !args[0].omitted()) ? args[0].low() : 0;
    const Word parameter = (count > 1 && !args[1].omitted()) ? args[1].low() : 0;
    HANDLE thread = nullptr;
    if (routine) {
        DWORD threadId;
        thread = CreateThread(nullptr, 0, FromWord<LPTHREAD_START_ROUTINE>(routine),
                              FromWord<void*>(parameter), 0, &threadId);
    }
    *result = ValueCell::Raw(thread ? 1 : 0, 0, type_word::kOmitted);
    // Only an integer variable passed by reference is written; any other cell's word 0 is no
    // variable of the caller's, and the handle is closed as when the argument is omitted.
    constexpr Word kIntegerVariable = type_word::kInteger | type_word::kAddressBit;
    Word* variable = (count >= 3 && args[2].type() == kIntegerVariable) ? args[2].AsAddress<Word*>() : nullptr;
    if (variable) {
        *variable = HandleToULong(thread);  // the caller owns the open handle
    } else if (thread) {
        CloseHandle(thread);
    }
}

std::int32_t ThreadLibraryNotify(std::int32_t code, Word param1, Word /*param2*/) {
    switch (code) {
        case kNotifyStartup:
            g_runtimeService.store(param1);
            return 0;
        case kNotifyShutdown:
            DeleteCriticalSections();
            return 0;
        default:
            return kNotifyNotHandled;
    }
}

void* NewOwnedCriticalSection() {
    auto* node = static_cast<CriticalSectionNode*>(std::malloc(sizeof(CriticalSectionNode)));
    if (!node) return nullptr;
    InitializeCriticalSection(&node->section);
    node->next = g_criticalSections;
    g_criticalSections = node;
    return &node->section;
}

std::size_t OwnedCriticalSectionCount() {
    std::size_t count = 0;
    for (const CriticalSectionNode* node = g_criticalSections; node; node = node->next) ++count;
    return count;
}

}  // namespace kx::threads
