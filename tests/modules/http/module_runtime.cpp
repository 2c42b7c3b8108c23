#include "module_runtime.h"

#include <windows.h>

#include "kx/program_image.h"

namespace http_module::testing {

namespace {
int NoProgramEntry() { return 0; }
}  // namespace

void ModuleRuntimeTest::SetUp() {
    app_ = std::make_unique<kx::RuntimeApp>(&kx::image::Header(), NoProgramEntry);
    app_->InitRuntime();
}

void ModuleRuntimeTest::TearDown() { app_.reset(); }

std::size_t RuntimeHeapBlocks() {
    HANDLE heap = kx::RuntimeApp::Current()->heap();
    std::size_t blocks = 0;
    HeapLock(heap);
    PROCESS_HEAP_ENTRY entry{};
    while (HeapWalk(heap, &entry)) {
        if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) ++blocks;
    }
    HeapUnlock(heap);
    return blocks;
}

}  // namespace http_module::testing
