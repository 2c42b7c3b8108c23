// A message box seam for tests: records every request and answers with a chosen button.
// Installed for the lifetime of the object.
#pragma once

#include <mutex>
#include <vector>

#include "message_box.h"

namespace kx::testing {

class RecordingMessageBoxes final : public MessageBoxSeam {
public:
    explicit RecordingMessageBoxes(int answer = IDOK);
    ~RecordingMessageBoxes() override;

    int Show(const MessageBoxRequest& request) override;
    std::vector<MessageBoxRequest> requests() const;

private:
    int answer_;
    MessageBoxSeam* previous_;
    mutable std::mutex mutex_;
    std::vector<MessageBoxRequest> requests_;
};

}  // namespace kx::testing
