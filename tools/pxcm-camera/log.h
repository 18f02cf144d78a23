// log.h — the simulated camera's diagnostics: stderr only, traffic only with --verbose.
#pragma once

namespace pxcmcam {

void setVerbose(bool on);

// Written only with --verbose (stdout belongs to the slave path line).
void logf(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Always written: problems the user asked to hear about (--check-rate) or
// cannot miss (bad options, failing folder).
void warnf(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace pxcmcam
