#include "recording_message_boxes.h"

namespace kx::testing {

RecordingMessageBoxes::RecordingMessageBoxes(int answer)
    : answer_(answer), previous_(SetMessageBoxSeam(this)) {}

RecordingMessageBoxes::~RecordingMessageBoxes() { SetMessageBoxSeam(previous_); }

int RecordingMessageBoxes::Show(const MessageBoxRequest& request) {
    std::lock_guard lock(mutex_);
    requests_.push_back(request);
    return answer_;
}

std::vector<MessageBoxRequest> RecordingMessageBoxes::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

}  // namespace kx::testing
