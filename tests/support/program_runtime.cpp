#include "program_runtime.h"

#include <windows.h>

#include "kx/program_image.h"

namespace kx::testing {

namespace {
int NoProgramEntry() { return 0; }
}  // namespace

void ProgramRuntimeTest::SetUp() {
    app_ = std::make_unique<RuntimeApp>(&image::Header(), NoProgramEntry);
    app_->InitRuntime();
}

void ProgramRuntimeTest::TearDown() { app_.reset(); }

std::size_t RuntimeHeapBlocks() {
    HANDLE heap = RuntimeApp::Current()->heap();
    std::size_t blocks = 0;
    HeapLock(heap);
    PROCESS_HEAP_ENTRY entry{};
    while (HeapWalk(heap, &entry)) {
        if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) ++blocks;
    }
    HeapUnlock(heap);
    return blocks;
}

std::size_t SettledRuntimeHeapBlocks(std::size_t limit) {
    std::size_t blocks = RuntimeHeapBlocks();
    for (int i = 0; i < 100 && blocks >= limit; ++i) {
        Sleep(50);
        blocks = RuntimeHeapBlocks();
    }
    return blocks;
}

}  // namespace kx::testing
