// camera_run.h — a private settings root with the simulated camera on COM1
// for the long-use benchmarks; everything is removed when it goes.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "camera/simulator.h"
#include "support/test_jpeg.h"

namespace benchfig {

class CameraRun {
public:
    // `pictures` pictures of 160 x 120 with 80 x 56 thumbnails.
    explicit CameraRun(int pictures) {
        std::string tmpl = std::filesystem::temp_directory_path().string() + "/pxcm-bench-XXXXXX";
        if (!mkdtemp(tmpl.data())) return;
        root_ = tmpl;
        std::filesystem::create_directories(root_ + "/windows");
        std::filesystem::create_directories(root_ + "/pictures");
        std::filesystem::create_directories(root_ + "/tmp");
        for (int i = 1; i <= pictures; ++i) {
            const std::string name = root_ + "/pictures/p" + std::to_string(100 + i);
            write(name + ".jpg",
                  testsupport::encodeJpeg(testsupport::patternImage(160, 120, 3, i)));
            write(name + ".thumb.jpg",
                  testsupport::encodeJpeg(testsupport::patternImage(80, 56, 3, i + 500)));
        }
        sim_ = std::make_unique<simtest::Simulator>(
            std::vector<std::string>{"--dir", root_ + "/pictures"});
        if (!sim_->running()) return;
        std::ofstream ini(root_ + "/windows/pxcm.ini", std::ios::binary);
        ini << "[Ports]\r\n";
        for (int n = 1; n <= 8; ++n)
            ini << "COM" << n << "=" << (n == 1 ? sim_->path() : root_ + "/absent") << "\r\n";
        ini << "[KMT-18]\r\nSPECIAL_INTERVAL_TIME=0\r\n";
        setenv("PXCM_ROOT", root_.c_str(), 1);
        setenv("TMPDIR", (root_ + "/tmp").c_str(), 1);
        setenv("PXCM_UI", "headless", 1);
        setenv("PXCM_PROMPTS", (root_ + "/prompts").c_str(), 1);
        unsetenv("PXCM_ANSWERS");
        unsetenv("PXCM_WINDOW_PNG");
        ready_ = true;
    }
    ~CameraRun() {
        sim_.reset();
        std::error_code ec;
        if (!root_.empty()) std::filesystem::remove_all(root_, ec);
    }
    CameraRun(const CameraRun&) = delete;
    CameraRun& operator=(const CameraRun&) = delete;

    bool ready() const { return ready_; }
    const std::string& devicePath() const { return sim_->path(); }
    // Boxes shown so far (one JSON line each).
    long prompts() const {
        std::ifstream in(root_ + "/prompts");
        long n = 0;
        std::string line;
        while (std::getline(in, line)) ++n;
        return n;
    }

private:
    static void write(const std::string& path, const std::vector<std::uint8_t>& bytes) {
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }

    std::string root_;
    std::unique_ptr<simtest::Simulator> sim_;
    bool ready_ = false;
};

}  // namespace benchfig
