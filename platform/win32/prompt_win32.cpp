// prompt_win32.cpp — message boxes through MessageBoxA.
#include "platform/prompt.h"

#include <windows.h>

namespace plat {

int messageBox(void* owner, const char* text, const char* caption, PromptOptions options) {
    UINT type = 0;
    switch (options.buttons) {
        case Buttons::Ok:
            type |= MB_OK;
            break;
        case Buttons::OkCancel:
            type |= MB_OKCANCEL;
            break;
        case Buttons::RetryCancel:
            type |= MB_RETRYCANCEL;
            break;
    }
    switch (options.icon) {
        case Icon::None:
            break;
        case Icon::Error:
            type |= MB_ICONSTOP;
            break;
        case Icon::Warning:
            type |= MB_ICONEXCLAMATION;
            break;
        case Icon::Information:
            type |= MB_ICONINFORMATION;
            break;
        case Icon::Question:
            type |= MB_ICONQUESTION;
            break;
    }
    if (options.taskModal) type |= MB_TASKMODAL;
    int answer = MessageBoxA(static_cast<HWND>(owner), text ? text : "", caption, type);
    switch (answer) {
        case IDOK:
            return ANSWER_OK;
        case IDRETRY:
            return ANSWER_RETRY;
        case IDCANCEL:
            return ANSWER_CANCEL;
        default:
            // No box could be shown (no desktop): the safe choice.
            return options.buttons == Buttons::Ok ? ANSWER_OK : ANSWER_CANCEL;
    }
}

}  // namespace plat
