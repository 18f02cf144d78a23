// context_progress.h — a download's progress told to libgphoto2's context
// (its applications draw the bar), and the context's cancel polled with
// every block and handed on to the camera.
#pragma once

#include <gphoto2/gphoto2-context.h>

#include <functional>
#include <string>

#include "camera/progress_sink.h"

class ContextProgress : public ProgressSink {
public:
    ContextProgress(GPContext* context, std::string what, std::function<void()> cancel)
        : context_(context), what_(std::move(what)), cancel_(std::move(cancel)) {}
    ~ContextProgress() override;
    ContextProgress(const ContextProgress&) = delete;
    ContextProgress& operator=(const ContextProgress&) = delete;

    void setMaximum(int maximum) override;
    void setPosition(int position) override;

private:
    void pollCancel();

    GPContext* context_;
    std::string what_;
    std::function<void()> cancel_;
    bool started_ = false;
    unsigned id_ = 0;
    float maximum_ = 0;
    int last_ = 0;
};
