// prompt_test.cpp — headless message boxes: the JSON line of each box and
// the scripted answers with their safe fallbacks.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/prompt.h"
#include "support/temp_root.h"

using namespace plat;

namespace {

class Prompts : public ::testing::Test {
protected:
    testsupport::TempRoot root;

    int box(Buttons buttons, const char* text = "t", void* owner = nullptr) const {
        return messageBox(owner, text, "c", PromptOptions{buttons, Icon::None, false});
    }
};

TEST_F(Prompts, EachBoxIsOneJsonLineWithTheKeysInOrder) {
    int owner = 0;
    EXPECT_EQ(messageBox(&owner, "Unable to find default Source Control", "Sample Source Error",
                         PromptOptions{Buttons::Ok, Icon::Error, true}),
              ANSWER_OK);
    EXPECT_EQ(messageBox(nullptr, "Camera not found.", nullptr,
                         PromptOptions{Buttons::RetryCancel, Icon::Warning, false}),
              ANSWER_CANCEL);
    EXPECT_EQ(
        messageBox(nullptr, "x", "i", PromptOptions{Buttons::OkCancel, Icon::Information, false}),
        ANSWER_CANCEL);
    EXPECT_EQ(
        root.read("prompts.jsonl"),
        "{\"caption\":\"Sample Source Error\",\"text\":\"Unable to find default Source Control\","
        "\"buttons\":\"ok\",\"icon\":\"error\",\"answer\":\"ok\",\"owned\":true}\n"
        "{\"caption\":\"Error\",\"text\":\"Camera not found.\",\"buttons\":\"retrycancel\","
        "\"icon\":\"warning\",\"answer\":\"cancel\",\"owned\":false}\n"
        "{\"caption\":\"i\",\"text\":\"x\",\"buttons\":\"okcancel\",\"icon\":\"information\","
        "\"answer\":\"cancel\",\"owned\":false}\n");
}

TEST_F(Prompts, TextsAreEscapedAndComeBackUnchanged) {
    const std::string text = "say \"hi\"\\path\nline 2\ttab\x01 caf\xC3\xA9 bad\xE9!";
    messageBox(nullptr, text.c_str(), "Cap \"1\"", PromptOptions{});
    const std::string line = root.read("prompts.jsonl");
    EXPECT_NE(
        line.find(
            "\"text\":\"say \\\"hi\\\"\\\\path\\nline 2\\ttab\\u0001 caf\xC3\xA9 bad\\u00e9!\""),
        std::string::npos)
        << line;
    EXPECT_EQ(line.find('\n'), line.size() - 1);  // one line per box
    auto boxes = root.prompts();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, text);
    EXPECT_EQ(boxes[0].caption, "Cap \"1\"");
    EXPECT_EQ(boxes[0].icon, "none");
}

TEST_F(Prompts, ScriptedAnswersAreConsumedInOrderWithSafeFallbacks) {
    root.setAnswers("retry, RETRY,ok,cancel,bogus,ok");
    EXPECT_EQ(box(Buttons::RetryCancel), ANSWER_RETRY);
    EXPECT_EQ(box(Buttons::RetryCancel), ANSWER_RETRY);
    EXPECT_EQ(box(Buttons::RetryCancel), ANSWER_CANCEL);  // "ok" does not fit: Cancel
    EXPECT_EQ(box(Buttons::Ok), ANSWER_OK);               // "cancel" does not fit: OK
    EXPECT_EQ(box(Buttons::OkCancel), ANSWER_CANCEL);     // unknown word: the safe choice
    EXPECT_EQ(box(Buttons::OkCancel), ANSWER_OK);
    EXPECT_EQ(box(Buttons::OkCancel), ANSWER_CANCEL);  // none left
    EXPECT_EQ(box(Buttons::RetryCancel), ANSWER_CANCEL);
    EXPECT_EQ(box(Buttons::Ok), ANSWER_OK);

    auto boxes = root.prompts();
    ASSERT_EQ(boxes.size(), 9u);
    EXPECT_EQ(boxes[0].answer, "retry");
    EXPECT_EQ(boxes[2].answer, "cancel");
    EXPECT_EQ(boxes[5].answer, "ok");
    EXPECT_EQ(boxes[8].answer, "ok");

    // Setting the script again starts from its first item, even with the same text.
    root.setAnswers("retry,ok");
    EXPECT_EQ(box(Buttons::RetryCancel), ANSWER_RETRY);
    root.setAnswers("retry,ok");
    EXPECT_EQ(box(Buttons::RetryCancel), ANSWER_RETRY);
    EXPECT_EQ(box(Buttons::OkCancel), ANSWER_OK);
}

TEST_F(Prompts, BoxesAppendToWhatIsThereAndWorkWithoutARecord) {
    root.write("prompts.jsonl", "{\"caption\":\"earlier\"}\n");
    box(Buttons::Ok, "one");
    box(Buttons::Ok, "two");
    auto boxes = root.prompts();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].caption, "earlier");
    EXPECT_EQ(boxes[1].text, "one");
    EXPECT_EQ(boxes[2].text, "two");

    // With nowhere to record, answers still come from the script.
    unsetenv("PXCM_PROMPTS");
    root.setAnswers("retry");
    testing::internal::CaptureStderr();
    EXPECT_EQ(box(Buttons::RetryCancel, "line\nbreak"), ANSWER_RETRY);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "c: line break [retry]\n");
    EXPECT_EQ(root.prompts().size(), 3u);

    // A record file that cannot be opened loses the line, not the answer.
    setenv("PXCM_PROMPTS", root.file("no/such/dir/p.jsonl").c_str(), 1);
    EXPECT_EQ(box(Buttons::OkCancel), ANSWER_CANCEL);
}

}  // namespace
