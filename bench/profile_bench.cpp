// profile_bench.cpp — the cost of settings-file reads on a source-control
// file of realistic size (40 capability sections), every read from disk.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/files.h"
#include "platform/profile.h"

namespace {

// A private $PXCM_ROOT holding windows/PXCM.src with 40 capability sections
// shaped like the installed ones, plus the sections of the other settings.
class SettingsRoot {
public:
    SettingsRoot() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "pxcm-bench-XXXXXX").string();
        if (!mkdtemp(tmpl.data())) std::abort();
        root_ = tmpl;
        std::filesystem::create_directories(root_ + "/windows");
        setenv("PXCM_ROOT", root_.c_str(), 1);
        std::ofstream out(root_ + "/windows/PXCM.src", std::ios::binary);
        out << "; source control of the camera source\r\n";
        for (int i = 0; i < 40; ++i) {
            out << "[CAP_" << i << "]\r\n"
                << "Type=TWTY_UINT16\r\n"
                << "Allowed=TWPT_BW,TWPT_GRAY,TWPT_RGB\r\n"
                << "Current=TWPT_RGB\r\n"
                << "Default=TWPT_RGB\r\n"
                << "PowerON=TWPT_BW,TWPT_GRAY,TWPT_RGB\r\n"
                << "Get=TWON_ENUMERATION\r\n"
                << "GetCurrent=TWON_ONEVALUE\r\n"
                << "GetDefault=TWON_ONEVALUE\r\n"
                << "Set=TWON_ONEVALUE,TWON_ENUMERATION\r\n"
                << "Reset=TWON_ONEVALUE\r\n\r\n";
        }
        out << "[ADF]\r\nPendingImages=0\r\n\r\n"
            << "[Setup Memory Transfer]\r\nMin=512\r\nMax=2048\r\nPreferred=1024\r\n";
        path_ = plat::windowsDirectory() + "\\PXCM.src";
    }
    ~SettingsRoot() {
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }
    const char* path() const { return path_.c_str(); }

private:
    std::string root_;
    std::string path_;
};

SettingsRoot& settings() {
    static SettingsRoot s;
    return s;
}

// One text read of a key in the middle of the file.
void BM_ProfileGetString(benchmark::State& state) {
    const char* file = settings().path();
    char buf[80];
    for (auto _ : state) {
        unsigned long n =
            plat::profileGetString("cap_20", "current", "NONE", buf, sizeof buf, file);
        benchmark::DoNotOptimize(n);
    }
    if (std::string(buf) != "TWPT_RGB") state.SkipWithError("wrong value read");
}
BENCHMARK(BM_ProfileGetString)->Repetitions(10)->ReportAggregatesOnly(true);

// The last section of the file, read as a number.
void BM_ProfileGetInt(benchmark::State& state) {
    const char* file = settings().path();
    unsigned v = 0;
    for (auto _ : state) {
        v = plat::profileGetInt("Setup Memory Transfer", "Preferred", 0, file);
        benchmark::DoNotOptimize(v);
    }
    if (v != 1024) state.SkipWithError("wrong value read");
}
BENCHMARK(BM_ProfileGetInt)->Repetitions(10)->ReportAggregatesOnly(true);

// What one capability request reads: ten keys of one section.
void BM_ProfileTenKeys(benchmark::State& state) {
    const char* file = settings().path();
    static const char* const keys[] = {"Type", "Allowed",    "Current",    "Default", "PowerON",
                                       "Get",  "GetCurrent", "GetDefault", "Set",     "Reset"};
    char buf[120];
    for (auto _ : state) {
        for (const char* key : keys) {
            unsigned long n = plat::profileGetString("CAP_33", key, "", buf, sizeof buf, file);
            benchmark::DoNotOptimize(n);
        }
    }
}
BENCHMARK(BM_ProfileTenKeys)->Repetitions(10)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
