#pragma once

#include <string>
#include <vector>

#include "core/Message.h"

// Installs itself as the message handler for its lifetime and keeps every text
// shown, so tests can assert exact messages and how often they appear.
class MessageRecorder {
public:
    MessageRecorder() {
        previous_ = SetMessageHandler([this](const std::string& text) { Messages.push_back(text); });
    }
    ~MessageRecorder() { SetMessageHandler(previous_); }
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    std::vector<std::string> Messages;

private:
    MessageHandler previous_;
};
