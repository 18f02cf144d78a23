// camera_error_reporter.h — how the camera link tells the user about a
// failure and gets an answer; the module's reporter shows message boxes.
#pragma once

#include <functional>

#include "camera/link_result.h"
#include "platform/prompt.h"

// What the person told of a failure wants of the link.
enum class ReportAnswer {
    Retry,   // try the operation again
    Cancel,  // give up the operation (and stop the loop around it)
    Ok,      // the message is seen; the operation has failed
};

class CameraErrorReporter {
public:
    virtual ~CameraErrorReporter() = default;
    // Tells of the failure of a result code; returns what to do next.
    virtual ReportAnswer reportError(LinkResult code) = 0;
};

// A box's answer (plat::ANSWER_RETRY, _CANCEL, _OK) as the link takes it.
ReportAnswer answerOfBox(int boxAnswer);

// The box that the module's reporter shows for a code.
struct ReporterMessage {
    const char* caption;
    const char* text;
    plat::Buttons buttons;
};
ReporterMessage reporterMessage(LinkResult code);

// The module's reporter: a task-modal box with the stop icon, owned by the
// camera window once the source is enabled. A Cancel answer is told to the
// cancel hook.
class CameraMessageReporter : public CameraErrorReporter {
public:
    using RepaintHook = std::function<void(void* owner)>;
    using CancelHook = std::function<void()>;

    ReportAnswer reportError(LinkResult code) override;

    void setOwner(void* owner) { owner_ = owner; }
    void* owner() const { return owner_; }
    // Repaints the owner window at once after a box has closed over it (the
    // camera window installs it; nothing is repainted without it).
    void setRepaintHook(RepaintHook hook) { repaint_ = std::move(hook); }
    // Called when the user answers Cancel, so that loops of the camera
    // window stop (the camera window installs it).
    void setCancelHook(CancelHook hook) { cancel_ = std::move(hook); }

private:
    void* owner_ = nullptr;
    RepaintHook repaint_;
    CancelHook cancel_;
};
