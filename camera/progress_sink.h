// progress_sink.h — what a download reports its progress to (the camera
// window's progress bar, or a text bar in the command-line tool).
#pragma once

class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    virtual void setMaximum(int maximum) = 0;
    // A position above the maximum is ignored by the sink.
    virtual void setPosition(int position) = 0;
};
