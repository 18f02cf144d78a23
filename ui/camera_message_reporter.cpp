// camera_message_reporter.cpp — a camera failure in a task-modal box.
#include "ui/camera_message_reporter.h"

#include "platform/prompt.h"

ReportAnswer CameraMessageReporter::reportError(LinkResult code) {
    const ReporterMessage m = reporterMessage(code);
    plat::PromptOptions options;
    options.buttons = m.buttons;
    options.icon = plat::Icon::Error;
    options.taskModal = true;
    const int answer = plat::messageBox(owner_, m.text, m.caption, options);
    // The box may have covered the camera window: show it whole again before
    // the link goes on talking to the camera.
    if (repaint_ && owner_) repaint_(owner_);
    if (answer == plat::ANSWER_CANCEL && cancel_) cancel_();
    return answerOfBox(answer);
}
