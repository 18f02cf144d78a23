// prompt.h — message boxes. Windows: MessageBoxA. POSIX: headless boxes are
// appended as JSON lines to $PXCM_PROMPTS and answered from $PXCM_ANSWERS
// (comma-separated ok/cancel/retry, consumed in order: each box takes its
// answer off the front of the variable), else the safe answer: OK for an OK
// box, Cancel for the others.
#pragma once

namespace plat {

enum class Buttons { Ok, OkCancel, RetryCancel };
enum class Icon { None, Error, Warning, Information, Question };

// Answers as MessageBox does.
constexpr int ANSWER_OK = 1;
constexpr int ANSWER_CANCEL = 2;
constexpr int ANSWER_RETRY = 4;

struct PromptOptions {
    Buttons buttons = Buttons::Ok;
    Icon icon = Icon::None;
    bool taskModal = false;
};

// caption nullptr = the platform's default caption ("Error").
int messageBox(void* owner, const char* text, const char* caption, PromptOptions options);

}  // namespace plat
