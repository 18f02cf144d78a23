// prompt_record.h — the line that records one box of the prompt layer, for
// the boxes that the window host shows itself.
#pragma once

#include "platform/prompt.h"

namespace plat {

// Appends the box's JSON line to $PXCM_PROMPTS (or a line on stderr when
// that is not set), with `answer` as its answer.
void recordPromptLine(void* owner, const char* text, const char* caption, PromptOptions options,
                      int answer);

}  // namespace plat
