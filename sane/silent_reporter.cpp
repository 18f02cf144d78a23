// silent_reporter.cpp — link failures told to the debug output only.
#include "sane/silent_reporter.h"

#include "sane/debug.h"

ReportAnswer SilentReporter::reportError(LinkResult code) {
    const ReporterMessage message = reporterMessage(code);
    sanepxcm::dbg(sanepxcm::DBG_ERROR, "camera link: %s (%s)", message.text, linkResultName(code));
    return message.buttons == plat::Buttons::Ok ? ReportAnswer::Ok : ReportAnswer::Cancel;
}
