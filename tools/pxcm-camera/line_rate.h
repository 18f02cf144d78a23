// line_rate.h — the line rate set on a terminal, read so that custom rates
// (56000 set with BOTHER) come back as numbers too.
#pragma once

namespace pxcmcam {

// The output rate in baud of terminal `fd`, or 0 when it cannot be read.
[[nodiscard]] int terminalRate(int fd);

}  // namespace pxcmcam
