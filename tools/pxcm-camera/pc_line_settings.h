// pc_line_settings.h — the rate and character format the PC has set on its
// end of the line, read from the terminal so that custom rates (56000 set
// with BOTHER) come back as numbers too.
#pragma once

#include <string>

namespace pxcmcam {

// The output rate in baud of terminal `fd`, or 0 when it cannot be read.
[[nodiscard]] int terminalRate(int fd);
// The character format of terminal `fd` as data bits, parity (N, O, E, M
// or S) and stop bits: "8O2"; empty when it cannot be read. On a pty the
// data bits always read 8 and parity only odd or none.
[[nodiscard]] std::string terminalFormat(int fd);

}  // namespace pxcmcam
