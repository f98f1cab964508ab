#include <gtest/gtest.h>

#include <thread>

#include "support/MessageRecorder.h"

// Routes nest; a handler that shows the text again passes it outward; another
// thread's route never sees this thread's texts.
TEST(Message, RoutesNestPassOutwardAndStayOnTheirThread) {
    MessageRecorder outer;
    {
        const MessageRoute passOn([](const std::string& t) { ShowMessage("via " + t); });
        MessageRecorder inner;
        ShowMessage("inner");
        ASSERT_EQ(inner.Messages, std::vector<std::string>{"inner"});
    }
    {
        const MessageRoute passOn([](const std::string& t) { ShowMessage("via " + t); });
        ShowMessage("passed");
    }
    std::vector<std::string> other;
    std::thread([&] {
        const MessageRoute route([&](const std::string& t) { other.push_back(t); });
        ShowMessage("other thread");
    }).join();
    ShowMessage("outer");
    EXPECT_EQ(outer.Messages, (std::vector<std::string>{"via passed", "outer"}));
    EXPECT_EQ(other, std::vector<std::string>{"other thread"});
}
