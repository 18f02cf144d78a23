// camera_message_reporter.h — the camera reporter of the data source and of
// pxcm: each failure in a message box.
#pragma once

#include <functional>

#include "camera/camera_error_reporter.h"

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
