// process_figures.h — what a long run must not let grow, read from /proc:
// resident size, open descriptors, mappings and mapped pages, threads.
#pragma once

#include <dirent.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace benchfig {

struct Figures {
    long rssKb = 0;
    long fds = 0;
    long maps = 0;         // lines of /proc/self/maps
    long mappedPages = 0;  // pages of all mappings together
    long threads = 0;
};

inline long countEntries(const char* dir) {
    long n = 0;
    if (DIR* d = opendir(dir)) {
        while (dirent* e = readdir(d))
            if (e->d_name[0] != '.') ++n;
        closedir(d);
    }
    return n;
}

// The targets of the open descriptors ("/dev/pts/3", "socket:[...]").
inline std::vector<std::string> openFiles() {
    std::vector<std::string> out;
    if (DIR* d = opendir("/proc/self/fd")) {
        while (dirent* e = readdir(d)) {
            if (e->d_name[0] == '.') continue;
            char target[512];
            const std::string link = std::string("/proc/self/fd/") + e->d_name;
            const ssize_t n = readlink(link.c_str(), target, sizeof target - 1);
            if (n > 0) out.emplace_back(target, static_cast<std::size_t>(n));
        }
        closedir(d);
    }
    return out;
}

inline bool mapsMention(const std::string& text) {
    std::ifstream in("/proc/self/maps");
    std::string line;
    while (std::getline(in, line))
        if (line.find(text) != std::string::npos) return true;
    return false;
}

inline Figures now() {
    Figures f;
    {
        std::ifstream in("/proc/self/status");
        std::string line;
        while (std::getline(in, line)) {
            if (line.rfind("VmRSS:", 0) == 0) f.rssKb = std::stol(line.substr(6));
            if (line.rfind("Threads:", 0) == 0) f.threads = std::stol(line.substr(8));
        }
    }
    // The descriptor of the listing itself is not counted.
    f.fds = countEntries("/proc/self/fd") - 1;
    std::ifstream maps("/proc/self/maps");
    std::string line;
    const long page = sysconf(_SC_PAGESIZE);
    while (std::getline(maps, line)) {
        ++f.maps;
        unsigned long from = 0, to = 0;
        if (std::sscanf(line.c_str(), "%lx-%lx", &from, &to) == 2)
            f.mappedPages += static_cast<long>((to - from) / page);
    }
    return f;
}

inline void print(const char* what, long cycle, const Figures& f) {
    std::fprintf(stderr,
                 "%s %5ld: rss %6ld kB  fds %3ld  maps %4ld  mapped pages %7ld  threads %ld\n",
                 what, cycle, f.rssKb, f.fds, f.maps, f.mappedPages, f.threads);
}

}  // namespace benchfig
