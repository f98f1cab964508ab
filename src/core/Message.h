#pragma once

#include <functional>
#include <string>
#include <utility>

// The one way a failing operation tells the user what went wrong. Whoever
// starts an operation says where its texts go by handing it a sink: the
// window a modal box with one OK button, the command-line tool stderr, a
// session its own front end, a report worker the file's entry, tests a
// recorder. Nothing is routed behind the caller's back, so two operations on
// two threads never see each other's texts.

using MessageHandler = std::function<void(const std::string&)>;

class MessageSink {
public:
    // Writes each text to stderr, one a line, flushed at once so it is not
    // lost when the process ends abnormally.
    MessageSink() = default;
    explicit MessageSink(MessageHandler handler) : handler_(std::move(handler)) {}

    void Show(const std::string& text) const;

private:
    MessageHandler handler_;
};
