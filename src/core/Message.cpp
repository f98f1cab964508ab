#include "core/Message.h"

#include <cstdio>

void MessageSink::Show(const std::string& text) const {
    if (handler_) {
        handler_(text);
        return;
    }
    std::fprintf(stderr, "%s\n", text.c_str());
    std::fflush(stderr);
}
