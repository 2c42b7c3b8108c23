#include "ops_under_test.h"
#include "plain_text_ops.h"

namespace http_module::testing {

struct OpsTest::Environment {
    PlainTextOps plain;
};

void OpsTest::SetUp() {
    environment_ = std::make_shared<Environment>();
    ops_ = {{"plain operations", &environment_->plain}};
}

void OpsTest::TearDown() {
    ops_.clear();
    environment_.reset();
}

}  // namespace http_module::testing
