// trace_posix.cpp — the trace switch is $PXCM_TRACE, the file to append to.
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>

#include "platform/trace_os.h"

namespace plat {

std::string traceFileSetting() {
    const char* path = getenv("PXCM_TRACE");
    return path ? path : "";
}

std::FILE* openTraceFile(const std::string& path) {
    // O_NONBLOCK: the open of a FIFO that no one reads returns at once
    // (ENXIO) instead of waiting for a reader; O_NOFOLLOW: a link planted
    // under the name is not followed.
    const int fd =
        open(path.c_str(),
             O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0) return nullptr;
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return nullptr;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    std::FILE* file = fdopen(fd, "a");
    if (!file) close(fd);
    return file;
}

void traceTimeStamp(char* out, std::size_t size) {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    char seconds[24];
    std::strftime(seconds, sizeof seconds, "%Y-%m-%d %H:%M:%S", &local);
    std::snprintf(out, size, "%s.%03ld", seconds, now.tv_nsec / 1000000L);
}

}  // namespace plat
