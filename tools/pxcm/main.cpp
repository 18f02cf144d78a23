// main.cpp — pxcm: a command-line TWAIN application for the pxcm source.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/program.h"
#include "tools/pxcm/app.h"

namespace {

void printUsage(FILE* out) {
    std::fprintf(out,
                 "usage: pxcm [--ds PATH] COMMAND [ARGS...]\n"
                 "       pxcm COMMAND --help\n\n"
                 "A TWAIN application for the pxcm data source. --ds names the source to\n"
                 "load (default: pxcmtwain.ds beside this program, else the installed\n"
                 "source).\n\ncommands:\n");
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

    int i = 1;
    for (; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--ds") {
            if (i + 1 >= argc) return pxcm::fail("--ds needs a path");
            context.dsPath = argv[++i];
        } else if (a.rfind("--ds=", 0) == 0) {
            context.dsPath = a.substr(5);
        } else if (a == "-h" || a == "--help") {
            printUsage(stdout);
            return 0;
        } else if (!a.empty() && a[0] == '-') {
            return pxcm::fail("unknown option " + a + " (see pxcm --help)");
        } else {
            break;
        }
    }
    if (i >= argc) {
        printUsage(stderr);
        return 2;
    }
    const std::string name = argv[i];
    std::vector<std::string> args(argv + i + 1, argv + argc);
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
