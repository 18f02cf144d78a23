// cmd_identity.cpp — `pxcm identity`: the source's identity record.
#include <cstdio>

#include "tools/pxcm/app.h"

namespace {

int run(const pxcm::CommandContext& context, const std::vector<std::string>& args) {
    if (!args.empty()) return pxcm::fail("identity takes no arguments");
    pxcm::Session session;
    std::string error;
    if (!session.load(context.dsPath, &error)) return pxcm::fail(error);
    TW_IDENTITY id{};
    TW_UINT16 rc = session.getIdentity(&id);
    if (rc != TWRC_SUCCESS)
        return pxcm::fail("DAT_IDENTITY/MSG_GET answered " + pxcm::returnCodeName(rc));
    std::printf("version:       %u.%u (%s)\n", id.Version.MajorNum, id.Version.MinorNum,
                id.Version.Info);
    std::printf("language:      %u\ncountry:       %u\n", id.Version.Language, id.Version.Country);
    std::printf("protocol:      %u.%u\n", id.ProtocolMajor, id.ProtocolMinor);
    std::printf("groups:        0x%x%s%s\n", static_cast<unsigned>(id.SupportedGroups),
                (id.SupportedGroups & DG_CONTROL) ? " DG_CONTROL" : "",
                (id.SupportedGroups & DG_IMAGE) ? " DG_IMAGE" : "");
    std::printf("manufacturer:  %s\n", id.Manufacturer);
    std::printf("family:        %s\n", id.ProductFamily);
    std::printf("product:       %s\n", id.ProductName);
    return 0;
}

const pxcm::RegisterCommand reg{{
    "identity",
    "show the source's identity",
    "usage: pxcm identity\n\n"
    "Loads the source and shows its identity (DAT_IDENTITY / MSG_GET): version,\n"
    "protocol, supported groups, manufacturer, product family and product name.\n",
    run,
}};

}  // namespace
