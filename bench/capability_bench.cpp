// capability_bench.cpp — one capability request through DS_Entry with the
// installed settings, both files read again from disk at every request.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "caps/caps_state.h"
#include "platform/memory.h"
#include "platform/twain.h"
#include "source/entry.h"
#include "source/source_state.h"

namespace {

namespace fs = std::filesystem;

// A private $PXCM_ROOT with the default settings in its Windows directory.
class InstalledSettings {
public:
    InstalledSettings() {
        std::string tmpl = (fs::temp_directory_path() / "pxcm-bench-XXXXXX").string();
        if (!mkdtemp(tmpl.data())) std::abort();
        root_ = tmpl;
        fs::create_directories(root_ + "/windows");
        for (const char* name : {"pxcm.ini", "PXCM.src"})
            fs::copy_file(fs::path(PXCM_SOURCE_DIR) / "resources" / "settings" / name,
                          fs::path(root_) / "windows" / name);
        setenv("PXCM_ROOT", root_.c_str(), 1);
        setenv("PXCM_PROMPTS", (root_ + "/prompts.jsonl").c_str(), 1);
        resetSourceState();
        resetCapsState();
    }
    ~InstalledSettings() {
        std::error_code ec;
        fs::remove_all(root_, ec);
    }

private:
    std::string root_;
};

void get(benchmark::State& state, TW_UINT16 capNumber, TW_UINT16 msg) {
    static InstalledSettings settings;
    TW_IDENTITY app{};
    app.Id = 1;
    for (auto _ : state) {
        TW_CAPABILITY cap{capNumber, 0, nullptr};
        TW_UINT16 rc = DS_Entry(&app, DG_CONTROL, DAT_CAPABILITY, msg, &cap);
        if (rc != TWRC_SUCCESS || !cap.hContainer) {
            state.SkipWithError("capability request failed");
            break;
        }
        plat::memFree(cap.hContainer);
    }
}

// An enumeration of two named values, with both indexes looked up.
void BM_GetXferMech(benchmark::State& state) {
    get(state, ICAP_XFERMECH, MSG_GET);
}
// A one-value: the smallest request.
void BM_GetCurrentPixelType(benchmark::State& state) {
    get(state, ICAP_PIXELTYPE, MSG_GETCURRENT);
}
// The longest answer: sixteen capabilities by name.
void BM_GetSupportedCaps(benchmark::State& state) {
    get(state, CAP_SUPPORTEDCAPS, MSG_GET);
}

BENCHMARK(BM_GetXferMech)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_GetCurrentPixelType)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_GetSupportedCaps)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
