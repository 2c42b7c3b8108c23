// A runtime started in process on a test image, ended when the test ends.
#pragma once

#include <gtest/gtest.h>

#include "runtime_app.h"
#include "test_image.h"

namespace kx::testing {

inline int EmptyProgramEntry() { return 0; }

class RuntimeTest : public ::testing::Test {
protected:
    void SetUp() override {
        app_ = std::make_unique<RuntimeApp>(&image_.header(), EmptyProgramEntry);
        app_->InitRuntime();
    }
    void TearDown() override { app_.reset(); }

    TestImage image_;
    std::unique_ptr<RuntimeApp> app_;
};

}  // namespace kx::testing
