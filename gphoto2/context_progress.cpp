// context_progress.cpp — progress and cancel through the GPContext.
#include "gphoto2/context_progress.h"

ContextProgress::~ContextProgress() {
    if (started_) gp_context_progress_stop(context_, id_);
}

void ContextProgress::pollCancel() {
    if (gp_context_cancel(context_) == GP_CONTEXT_FEEDBACK_CANCEL) cancel_();
}

void ContextProgress::setMaximum(int maximum) {
    if (started_) gp_context_progress_stop(context_, id_);
    maximum_ = static_cast<float>(maximum);
    id_ = gp_context_progress_start(context_, maximum_, "%s", what_.c_str());
    started_ = true;
    pollCancel();
}

void ContextProgress::setPosition(int position) {
    if (started_ && position <= maximum_) {
        // The link reports where each block starts, and 0 again once the
        // download is whole.
        const float at = position == 0 && last_ > 0 ? maximum_ : static_cast<float>(position);
        gp_context_progress_update(context_, id_, at);
        last_ = position;
    }
    pollCancel();
}
