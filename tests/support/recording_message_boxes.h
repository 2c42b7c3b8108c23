// A message box seam for tests: records every request and answers with a chosen button.
// Installed for the lifetime of the object.
#pragma once

#include <mutex>
#include <vector>

#include "message_box.h"

namespace kx::testing {

class RecordingMessageBoxes final : public MessageBoxSeam {
public:
    explicit RecordingMessageBoxes(int answer = IDOK) : answer_(answer), previous_(SetMessageBoxSeam(this)) {}
    ~RecordingMessageBoxes() override { SetMessageBoxSeam(previous_); }

    int Show(const MessageBoxRequest& request) override {
        std::lock_guard lock(mutex_);
        requests_.push_back(request);
        return answer_;
    }
    std::vector<MessageBoxRequest> requests() const {
        std::lock_guard lock(mutex_);
        return requests_;
    }

private:
    int answer_;
    MessageBoxSeam* previous_;
    mutable std::mutex mutex_;
    std::vector<MessageBoxRequest> requests_;
};

}  // namespace kx::testing
