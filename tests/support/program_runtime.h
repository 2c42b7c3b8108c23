// A runtime started in process on the program's own image, so that program code reaches it
// through the image's entry table as it does in the program; and the runtime heap's count of
// blocks in use, for checking that a call gives back all it takes.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "runtime_app.h"

namespace kx::testing {

class ProgramRuntimeTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::unique_ptr<RuntimeApp> app_;
};

// Blocks in use on the runtime heap.
std::size_t RuntimeHeapBlocks();
// The same, once it has come below `limit` or a few seconds have passed: the system frees
// some blocks of a finished request on threads of its own, a little later.
std::size_t SettledRuntimeHeapBlocks(std::size_t limit);

}  // namespace kx::testing
