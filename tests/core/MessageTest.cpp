#include <gtest/gtest.h>

#include "support/MessageRecorder.h"

TEST(Message, RecorderCapturesAndRestoresPreviousHandler) {
    std::vector<std::string> outer;
    auto previous = SetMessageHandler([&](const std::string& t) { outer.push_back(t); });
    {
        MessageRecorder recorder;
        ShowMessage("inner");
        ASSERT_EQ(recorder.Messages, std::vector<std::string>{"inner"});
    }
    ShowMessage("outer");
    EXPECT_EQ(outer, std::vector<std::string>{"outer"});
    SetMessageHandler(previous);
}
