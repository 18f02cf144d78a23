// cmd_sources.cpp — `pxcm sources`: what a Source Manager lists.
#include <cstdio>

#include "tools/pxcm/app.h"

namespace {

int run(const pxcm::CommandContext& context, const std::vector<std::string>& args) {
    if (!args.empty()) return pxcm::fail("sources takes no arguments");
    if (pxcm::sourceManager().library.empty())
        return pxcm::fail("sources needs a Source Manager: pxcm --dsm LIBRARY sources");
    pxcm::Session session;
    std::string error;
    const bool found = session.load(context.dsPath, &error);
    for (const TW_IDENTITY& id : session.listedSources())
        std::printf("%s  (%s, %s; protocol %u.%u, groups 0x%x)\n", id.ProductName, id.Manufacturer,
                    id.ProductFamily, id.ProtocolMajor, id.ProtocolMinor,
                    static_cast<unsigned>(id.SupportedGroups));
    return found ? 0 : pxcm::fail(error);
}

const pxcm::RegisterCommand reg{{
    "sources",
    "list the sources that a Source Manager offers (with --dsm)",
    "usage: pxcm --dsm LIBRARY sources\n\n"
    "Opens the Source Manager (MSG_OPENDSM) and lists its sources\n"
    "(DAT_IDENTITY / MSG_GETFIRST, MSG_GETNEXT): product name, manufacturer,\n"
    "family, protocol and supported groups, one line each. Fails when this\n"
    "data source is not among them.\n",
    run,
}};

}  // namespace
