#pragma once

#include <string>
#include <vector>

#include "core/Message.h"

// A sink that keeps every text shown to it, so tests can assert exact
// messages and how often they appear. Pass it wherever an operation takes
// its messages' sink; a copy of the sink still records here.
class MessageRecorder : public MessageSink {
public:
    MessageRecorder() : MessageSink([this](const std::string& text) { Messages.push_back(text); }) {}
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    std::vector<std::string> Messages;
};
