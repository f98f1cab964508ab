#pragma once

#include <functional>
#include <string>

// The one way a failing operation tells the user what went wrong. Messages
// follow the calling thread's route: each front end routes the thread it runs
// on to itself (the window to a modal box with one OK button, the command-line
// tool to stderr, tests to a recorder), and a session routes the operations it
// runs to its own front end, so two sessions on two threads never see each
// other's texts.

using MessageHandler = std::function<void(const std::string&)>;

// Shows the text through the calling thread's innermost route; stderr when the
// thread has none. While a route's handler runs, the thread's route is the one
// outside it, so a handler that shows the text itself passes it outward.
void ShowMessage(const std::string& text);

// Routes the calling thread's messages to handler for the route's lifetime;
// the route outside it takes over again when it ends. Routes nest and end in
// the reverse order of their start (they live on the stack of their thread).
class MessageRoute {
public:
    explicit MessageRoute(MessageHandler handler);
    ~MessageRoute();
    MessageRoute(const MessageRoute&) = delete;
    MessageRoute& operator=(const MessageRoute&) = delete;

private:
    friend void ShowMessage(const std::string& text);
    MessageHandler handler_;
    MessageRoute* outer_;
};
