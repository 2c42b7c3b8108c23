// The text operations the routine tables run on. In the Windows build: the plain ones and
// the core library's commands, on a runtime started for each test; in the native build the
// plain ones alone. Each test's rows must hold for every one of them.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "text_ops.h"

namespace http_module::testing {

class OpsTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    template <typename Check>
    void ForEachOps(Check&& check) {
        for (const auto& [name, ops] : ops_) {
            SCOPED_TRACE(name);
            check(*ops);
        }
    }

private:
    struct Environment;
    std::shared_ptr<Environment> environment_;
    std::vector<std::pair<const char*, TextOps*>> ops_;
};

}  // namespace http_module::testing
