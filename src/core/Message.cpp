#include "core/Message.h"

#include <cstdio>
#include <utility>

namespace {
// The innermost route of each thread: it points at a MessageRoute on that
// thread's stack and is reset when the route ends, so nothing outlives the
// scopes that set it.
thread_local MessageRoute* innermost = nullptr;
}  // namespace

MessageRoute::MessageRoute(MessageHandler handler) : handler_(std::move(handler)), outer_(innermost) {
    innermost = this;
}

MessageRoute::~MessageRoute() {
    innermost = outer_;
}

void ShowMessage(const std::string& text) {
    MessageRoute* route = innermost;
    if (route == nullptr || !route->handler_) {
        std::fprintf(stderr, "%s\n", text.c_str());
        std::fflush(stderr);
        return;
    }
    // The handler runs with the outer route in force, and the route comes
    // back even when the handler throws.
    struct Restore {
        MessageRoute* route;
        ~Restore() { innermost = route; }
    } restore{route};
    innermost = route->outer_;
    route->handler_(text);
}
