// main.cpp — pxcm: a command-line TWAIN application for the pxcm source.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/program.h"
#include "tools/common/arg_reader.h"
#include "tools/pxcm/app.h"

namespace {

void printUsage(FILE* out) {
    std::fprintf(out,
                 "usage: pxcm [--ds PATH | --dsm LIBRARY [--dsm-callback] [--protocol X.Y]]\n"
                 "            COMMAND [ARGS...]\n"
                 "       pxcm COMMAND --help\n\n"
                 "A TWAIN application for the pxcm data source. --ds names the source to\n"
                 "load (default: pxcmtwain.ds beside this program, else the installed\n"
                 "source) with pxcm's own small Source Manager. --dsm goes through the\n"
                 "Source Manager library LIBRARY instead (libtwaindsm.so): it lists the\n"
                 "sources and loads the installed one; --dsm-callback registers a callback\n"
                 "for the notifications (DAT_CALLBACK) instead of collecting them with\n"
                 "MSG_PROCESSEVENT; --protocol is the application's TWAIN protocol (1.6,\n"
                 "2.2, ...; 2.x also sets DF_APP2). On Linux, --dsm-callback acquire runs as\n"
                 "a Linux TWAIN 2.x application: it never sends MSG_PROCESSEVENT and waits\n"
                 "for the callback (see pxcm acquire --help). --dsm-callback without\n"
                 "--protocol is protocol 2.2.\n"
                 "\ncommands:\n");
    std::vector<pxcm::Command> list = pxcm::commands();
    std::sort(list.begin(), list.end(), [](const pxcm::Command& a, const pxcm::Command& b) {
        return std::strcmp(a.name, b.name) < 0;
    });
    for (const auto& c : list) std::fprintf(out, "  %-10s %s\n", c.name, c.summary);
}

}  // namespace

int main(int argc, char** argv) {
    pxcm::CommandContext context;
    context.programDir = plat::programDirectory();
    context.dsPath = context.programDir + plat::PATH_SEPARATOR + "pxcmtwain.ds";
    // Installed, the source is not beside the program but where the Source
    // Managers look for it.
    if (!plat::fileExists(context.dsPath.c_str())) {
        const std::string installed = plat::installedSourcePath();
        if (plat::fileExists(installed.c_str())) context.dsPath = installed;
    }

    pxcm::ManagerOptions manager;
    bool protocolGiven = false;
    tools::ArgReader reader({argv + 1, argv + argc}, {{"--dsm", true, false},
                                                      {"--protocol", true, false},
                                                      {"--dsm-callback"},
                                                      {"--ds", true},
                                                      {"-h"},
                                                      {"--help"}});
    auto next = reader.next();
    for (; next != tools::ArgReader::Next::Operand; next = reader.next()) {
        const std::string& a = reader.name();
        const std::string& value = reader.value();
        if (next == tools::ArgReader::Next::End) {
            printUsage(stderr);
            return 2;
        }
        if (next == tools::ArgReader::Next::MissingValue)
            return pxcm::fail(a == "--ds" ? "--ds needs a path" : a + " needs a value");
        if (next != tools::ArgReader::Next::Option)
            return pxcm::fail("unknown option " + reader.arg() + " (see pxcm --help)");
        if (a == "--dsm") {
            manager.library = value;
        } else if (a == "--protocol") {
            unsigned major = 0, minor = 0;
            char rest = 0;
            if (std::sscanf(value.c_str(), "%u.%u%c", &major, &minor, &rest) != 2 || major == 0 ||
                major > 9 || minor > 9)
                return pxcm::fail("--protocol takes X.Y (1.6, 2.2), not " + value);
            protocolGiven = true;
            manager.protocolMajor = static_cast<TW_UINT16>(major);
            manager.protocolMinor = static_cast<TW_UINT16>(minor);
        } else if (a == "--dsm-callback") {
            manager.callback = true;
        } else if (a == "--ds") {
            context.dsPath = value;
        } else {
            printUsage(stdout);
            return 0;
        }
    }
    if (manager.library.empty() &&
        (manager.callback || manager.protocolMajor != 1 || manager.protocolMinor != 6))
        return pxcm::fail("--dsm-callback and --protocol go with --dsm");
    // An application that waits for its callback is a TWAIN 2.x one.
    if (manager.callback && !protocolGiven) {
        manager.protocolMajor = 2;
        manager.protocolMinor = 2;
    }
    pxcm::useSourceManager(manager);
    const std::string name = reader.arg();
    const std::vector<std::string> args = reader.rest();
    for (const auto& c : pxcm::commands()) {
        if (name != c.name) continue;
        if (pxcm::wantsHelp(args)) {
            std::fputs(c.usage, stdout);
            return 0;
        }
        return c.run(context, args);
    }
    return pxcm::fail("unknown command " + name + " (see pxcm --help)");
}
