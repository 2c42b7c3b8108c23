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

}  // namespace kx::testing
