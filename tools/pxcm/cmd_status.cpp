// cmd_status.cpp — `pxcm status`: open the source and report its condition.
#include <cstdio>

#include "tools/pxcm/app.h"

namespace {

int run(const pxcm::CommandContext& context, const std::vector<std::string>& args) {
    if (!args.empty()) return pxcm::fail("status takes no arguments");
    pxcm::Session session;
    std::string error;
    if (!session.load(context.dsPath, &error)) return pxcm::fail(error);
    TW_UINT16 rc = session.open();
    if (rc != TWRC_SUCCESS)
        return pxcm::fail("MSG_OPENDS answered " + pxcm::answerText(rc, session.conditionCode()));
    TW_UINT16 cc = session.conditionCode();
    std::printf("source:          %s\n", session.source().ProductName);
    std::printf("state:           4 (open)\n");
    std::printf("condition code:  %u (%s)\n", cc, pxcm::conditionCodeName(cc).c_str());
    TW_PENDINGXFERS pending{};
    rc = session.call(DG_CONTROL, DAT_PENDINGXFERS, MSG_GET, &pending);
    if (rc == TWRC_SUCCESS)
        std::printf("pending xfers:   %u\n", pending.Count);
    else
        std::printf("pending xfers:   %s\n", pxcm::answerText(rc, session.conditionCode()).c_str());
    rc = session.close();
    if (rc != TWRC_SUCCESS) return pxcm::fail("MSG_CLOSEDS answered " + pxcm::returnCodeName(rc));
    return 0;
}

const pxcm::RegisterCommand reg{{
    "status",
    "open the source and show its condition code and pending transfers",
    "usage: pxcm status\n\n"
    "Opens the source (MSG_OPENDS), reads its condition code (DAT_STATUS) and its\n"
    "pending-transfer count (DAT_PENDINGXFERS), and closes it again.\n",
    run,
}};

}  // namespace
