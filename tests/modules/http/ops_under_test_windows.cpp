#include "command_text_ops.h"
#include "ops_under_test.h"
#include "plain_text_ops.h"
#include "program_runtime.h"

namespace http_module::testing {

namespace {
// Only SetUp and TearDown of the runtime fixture are wanted; they are protected there.
class RuntimeForOps : public kx::testing::ProgramRuntimeTest {
public:
    void Start() { SetUp(); }
    void Stop() { TearDown(); }
    void TestBody() override {}
};
}  // namespace

struct OpsTest::Environment {
    RuntimeForOps runtime;
    PlainTextOps plain;
    CommandTextOps commands;
};

void OpsTest::SetUp() {
    environment_ = std::make_shared<Environment>();
    environment_->runtime.Start();
    ops_ = {{"plain operations", &environment_->plain}, {"core commands", &environment_->commands}};
}

void OpsTest::TearDown() {
    ops_.clear();
    environment_->runtime.Stop();
    environment_.reset();
}

}  // namespace http_module::testing
