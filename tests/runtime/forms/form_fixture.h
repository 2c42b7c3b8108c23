// A runtime started in process with the real core library (for its data types) and the
// form layer, on a form block of the test's choosing. Routines bound in test blocks are
// stored as absolute addresses: the fixture's codeBase is 0.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "form_block_builder.h"
#include "kx/program_image.h"
#include "kx/program_routine.h"
#include "property_blocks.h"
#include "runtime_app.h"
#include "test_image.h"
#include "window_layer.h"

namespace kx::testing {

inline const LibraryDescriptor* CoreLibrary() {
    return FromWord<const LibraryDescriptor*>(FromWord<const Word*>(image::Header().libraries)[0]);
}

inline forms::EventBinding Bind(std::int32_t event, ProgramRoutineFn routine) {
    return {event, ToWord(routine)};
}

class FormTest : public ::testing::Test {
protected:
    void Start(std::vector<std::uint8_t> block, bool absoluteRoutines = true) {
        block_ = std::move(block);
        image_.AddLibrary(CoreLibrary());
        image_.SetFormBlock(block_.data(), static_cast<Word>(block_.size()));
        if (absoluteRoutines) image_.SetCodeBase(0);
        app_ = std::make_unique<RuntimeApp>(&image_.header(), [] { return 0; }, &forms::WindowLayer());
        app_->InitRuntime();
    }
    void TearDown() override { app_.reset(); }

    HWND WindowOf(Word formId, Word unitId) {
        return static_cast<HWND>(forms::WindowLayer().UnitWindowHandle(formId, unitId));
    }
    // Lets the thread's messages through until `done` or about `limitMs` have passed.
    template <typename Done>
    void PumpUntil(Done done, DWORD limitMs) {
        const ULONGLONG end = GetTickCount64() + limitMs;
        while (!done() && GetTickCount64() < end) {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        }
    }

    TestImage image_;
    std::vector<std::uint8_t> block_;
    std::unique_ptr<RuntimeApp> app_;
};

inline std::vector<std::uint8_t> WindowBlockTitled(const char* title) {
    forms::WindowBlock block;
    block.title = title;
    return block.Write();
}

inline std::vector<std::uint8_t> LabelBlockWith(const char* text) {
    forms::LabelBlock block;
    block.text = text;
    return block.Write();
}

}  // namespace kx::testing
