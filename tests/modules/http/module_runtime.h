// A runtime started in process on the program's own image, so that module code reaches it
// through the image's entry table as it does in the program; and the runtime heap's count of
// blocks in use, for checking that a call gives back all it takes.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "runtime_app.h"

namespace http_module::testing {

class ModuleRuntimeTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::unique_ptr<kx::RuntimeApp> app_;
};

// Blocks in use on the runtime heap.
std::size_t RuntimeHeapBlocks();

}  // namespace http_module::testing
