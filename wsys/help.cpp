// help.cpp — the help call: the HTML page installed beside the Windows
// help file's path, opened in the desktop's browser without waiting for it.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/files.h"
#include "wsys/window_system.h"

namespace plat {

// The page for a help file: the same name with ".html" for its extension.
// Made in the Windows form first, so that the case-blind lookup of the
// settings' folders finds the page as installed.
std::string helpPagePath(const char* helpPath) {
    std::string page = helpPath ? helpPath : "";
    const std::size_t separator = page.find_last_of("\\/");
    const std::size_t dot = page.rfind('.');
    if (dot != std::string::npos && (separator == std::string::npos || dot > separator))
        page.resize(dot);
    page += ".html";
    return nativePath(page.c_str());
}

void openHelp(HWND owner, const char* helpPath) {
    if (!helpPath || !sdlHostActive()) return;
    const std::string page = helpPagePath(helpPath);
    if (!fileExists(page.c_str())) return;
    const char* argv[] = {"xdg-open", page.c_str(), nullptr};
    // Twice forked: the browser belongs to nobody here, and the first child
    // ends at once, so the wait below never blocks the window.
    const pid_t child = ::fork();
    if (child < 0) return;
    if (child == 0) {
        if (::fork() == 0) {
            ::setsid();
            const int null = ::open("/dev/null", O_RDWR);
            if (null >= 0) {
                ::dup2(null, 0);
                ::dup2(null, 1);
                ::dup2(null, 2);
            }
            ::execvp(argv[0], const_cast<char* const*>(argv));
        }
        ::_exit(0);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
}

}  // namespace plat
