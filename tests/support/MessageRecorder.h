#pragma once

#include <string>
#include <vector>

#include "core/Message.h"

// Routes the thread's messages to itself for its lifetime and keeps every text
// shown, so tests can assert exact messages and how often they appear.
class MessageRecorder {
public:
    MessageRecorder() : route_([this](const std::string& text) { Messages.push_back(text); }) {}
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    std::vector<std::string> Messages;

private:
    MessageRoute route_;
};
