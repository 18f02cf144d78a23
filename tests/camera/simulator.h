// simulator.h — runs the simulated camera (pxcm-camera) as a child process on
// a pty for end-to-end tests and benchmarks, and writes picture folders for it.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace simtest {

using Bytes = std::vector<uint8_t>;

inline std::string simulatorBinary() {
    return std::string(PXCM_BINARY_DIR) + "/pxcm-camera";
}
inline bool simulatorAvailable() {
    return access(simulatorBinary().c_str(), X_OK) == 0;
}

class Simulator {
public:
    // Starts pxcm-camera with `args`; its stderr goes to `stderrPath` (or is
    // dropped) and the first stdout line names the pty.
    explicit Simulator(const std::vector<std::string>& args, const std::string& stderrPath = "") {
        int out[2];
        if (pipe(out) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(out[1], 1);
            const int err = ::open(stderrPath.empty() ? "/dev/null" : stderrPath.c_str(),
                                   O_WRONLY | O_CREAT | O_APPEND, 0644);
            if (err >= 0) dup2(err, 2);
            close(out[0]);
            close(out[1]);
            std::vector<std::string> all{simulatorBinary()};
            all.insert(all.end(), args.begin(), args.end());
            std::vector<char*> argv;
            for (std::string& a : all) argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        close(out[1]);
        out_ = out[0];
        // The pty path is the first line; give the simulator a few seconds.
        char c;
        for (;;) {
            pollfd p{out_, POLLIN, 0};
            if (poll(&p, 1, 5000) <= 0 || ::read(out_, &c, 1) != 1) break;
            if (c == '\n') break;
            path_ += c;
        }
    }
    ~Simulator() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            int status = 0;
            waitpid(pid_, &status, 0);
        }
        if (out_ >= 0) close(out_);
    }
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    bool running() const { return pid_ > 0 && !path_.empty(); }
    const std::string& path() const { return path_; }

private:
    pid_t pid_ = -1;
    int out_ = -1;
    std::string path_;
};

// Bytes that look like nothing in particular (the link does not decode).
inline Bytes patternBytes(uint32_t size, uint32_t seed) {
    Bytes b(size);
    uint32_t x = seed * 2654435761u + 7;
    for (uint32_t i = 0; i < size; ++i) {
        x = x * 1664525u + 1013904223u;
        b[i] = static_cast<uint8_t>(x >> 24);
    }
    return b;
}

inline void writeFile(const std::string& path, const Bytes& data) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(data.data()),
               static_cast<std::streamsize>(data.size()));
}

inline Bytes readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Picture `name`.jpg of `size` bytes in `dir`, with a thumbnail of
// `thumbSize` bytes unless that is negative.
inline void addPicture(const std::string& dir, const std::string& name, uint32_t size,
                       long thumbSize, uint32_t seed) {
    writeFile(dir + "/" + name + ".jpg", patternBytes(size, seed));
    if (thumbSize >= 0)
        writeFile(dir + "/" + name + ".thumb.jpg",
                  patternBytes(static_cast<uint32_t>(thumbSize), seed + 1000));
}

}  // namespace simtest
