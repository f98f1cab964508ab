#include <gtest/gtest.h>

#include "support/MessageRecorder.h"

// A sink without a handler writes each text to stderr on a line of its own;
// a copy of a recording sink still records where the original does.
TEST(Message, PlainSinkWritesStderrAndCopiesKeepTheirHandler) {
    testing::internal::CaptureStderr();
    MessageSink().Show("to stderr");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "to stderr\n");

    MessageRecorder recorder;
    const MessageSink copy = recorder;
    copy.Show("through the copy");
    recorder.Show("direct");
    EXPECT_EQ(recorder.Messages, (std::vector<std::string>{"through the copy", "direct"}));
}
