// unload_bench.cpp — the built data source loaded and unloaded many times in
// one process, each time opened, enabled against the simulated camera and
// closed: after each unload no thread, descriptor, camera port, mapping of
// the library or memory may be left behind. $PXCM_UNLOAD_CYCLES sets the
// count (100).
#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "bench/camera_run.h"
#include "bench/process_figures.h"
#include "platform/export.h"
#include "platform/os_types.h"
#include "platform/twain.h"

namespace {

using Entry = TW_UINT16(TW_CALLINGSTYLE*)(pTW_IDENTITY, TW_UINT32, TW_UINT16, TW_UINT16, TW_MEMREF);

const std::string LIBRARY = std::string(PXCM_BINARY_DIR) + "/pxcmtwain.ds";

// One load, open, enable, close and unload; false with `why` set when a
// step did not do its work.
bool cycle(std::string& why) {
    void* module = dlopen(LIBRARY.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) return why = dlerror(), false;
    auto entry = reinterpret_cast<Entry>(dlsym(module, "DS_Entry"));
    bool ok = entry != nullptr;
    if (ok) {
        TW_IDENTITY app{};
        app.Id = 17;
        std::strcpy(app.ProductName, "unload");
        TW_IDENTITY ds{};
        entry(&app, DG_CONTROL, DAT_IDENTITY, MSG_GET, &ds);
        ds.Id = 42;
        TW_USERINTERFACE ui{};
        ui.ShowUI = TRUE;
        if (entry(&app, DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &ds) != TWRC_SUCCESS) {
            why = "open";
            ok = false;
        } else if (entry(&app, DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui) != TWRC_SUCCESS) {
            why = "enable";
            ok = false;
        }
        entry(&app, DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui);
        entry(&app, DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &ds);
    } else {
        why = "no DS_Entry";
    }
    dlclose(module);
    return ok;
}

bool portOpen(const std::string& device) {
    for (const std::string& target : benchfig::openFiles())
        if (target == device) return true;
    return false;
}

void BM_Unload(benchmark::State& state) {
    const char* env = std::getenv("PXCM_UNLOAD_CYCLES");
    const long cycles = env ? std::atol(env) : 100;
    benchfig::CameraRun run(2);
    if (!run.ready()) {
        state.SkipWithError("the simulated camera did not start");
        return;
    }
    for (auto _ : state) {
        const benchfig::Figures before = benchfig::now();
        benchfig::Figures settled, last;
        long stayedMapped = 0, portsLeft = 0;
        const long settle = cycles >= 20 ? 5 : 1;
        for (long n = 1; n <= cycles; ++n) {
            std::string why;
            if (!cycle(why)) {
                state.SkipWithError(("cycle " + std::to_string(n) + ": " + why).c_str());
                break;
            }
            if (benchfig::mapsMention("pxcmtwain.ds")) ++stayedMapped;
            if (portOpen(run.devicePath())) ++portsLeft;
            if (n == settle) settled = benchfig::now();
            if (n == 1 || n == settle || n % (cycles >= 10 ? cycles / 10 : 1) == 0)
                benchfig::print("unload", n, benchfig::now());
        }
        last = benchfig::now();
        benchfig::print("before", 0, before);
        state.counters["cycles"] = static_cast<double>(cycles);
        state.counters["rss_before_kB"] = static_cast<double>(before.rssKb);
        state.counters["rss_last_kB"] = static_cast<double>(last.rssKb);
        state.counters["rss_growth_after_settle_kB"] =
            static_cast<double>(last.rssKb - settled.rssKb);
        state.counters["threads_left"] = static_cast<double>(last.threads - before.threads);
        state.counters["fds_left"] = static_cast<double>(last.fds - before.fds);
        state.counters["maps_left"] = static_cast<double>(last.maps - before.maps);
        state.counters["unloads_still_mapped"] = static_cast<double>(stayedMapped);
        state.counters["unloads_with_port_open"] = static_cast<double>(portsLeft);
        if (last.threads != before.threads || portsLeft || stayedMapped)
            state.SkipWithError("an unload left something behind");
    }
}
BENCHMARK(BM_Unload)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

extern "C" PXCM_EXPORT TW_UINT16 TW_CALLINGSTYLE DSM_Entry(pTW_IDENTITY, pTW_IDENTITY, TW_UINT32,
                                                           TW_UINT16, TW_UINT16, TW_MEMREF) {
    return TWRC_SUCCESS;
}

BENCHMARK_MAIN();
