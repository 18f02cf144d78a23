// context_progress.h — a download's progress told to libgphoto2's context
// (its applications draw the bar), and the context's cancel polled with
// every block: a cancel raises the flag that empties the port's reads.
#pragma once

#include <gphoto2/gphoto2-context.h>

#include <atomic>
#include <string>

#include "camera/progress_sink.h"

class ContextProgress : public ProgressSink {
public:
    ContextProgress(GPContext* context, std::string what, std::atomic<bool>& cancelled)
        : context_(context), what_(std::move(what)), cancelled_(cancelled) {}
    ~ContextProgress() override;
    ContextProgress(const ContextProgress&) = delete;
    ContextProgress& operator=(const ContextProgress&) = delete;

    void setMaximum(int maximum) override;
    void setPosition(int position) override;

private:
    void pollCancel();

    GPContext* context_;
    std::string what_;
    std::atomic<bool>& cancelled_;
    bool started_ = false;
    unsigned id_ = 0;
    float maximum_ = 0;
    int last_ = 0;
};
