// idle_thread_bench.cpp — the CPU that the camera window's own thread costs
// while the window waits for the user and the application waits for the
// callback (as Linux TWAIN 2.x applications do): the source enabled with
// the simulated camera, its thumbnails loaded, then 3 s of the process's
// CPU time with the application's thread asleep. Goal: under 2 % of a core.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "bench/camera_run.h"
#include "platform/export.h"
#include "platform/twain.h"
#include "platform/window.h"
#include "source/entry.h"

namespace {

TW_IDENTITY g_app{};

TW_UINT16 call(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
    return DS_Entry(&g_app, dg, dat, msg, data);
}

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);  // every thread of the process
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void BM_IdleWindowThread(benchmark::State& state) {
    benchfig::CameraRun run(4);
    if (!run.ready()) {
        state.SkipWithError("the simulated camera did not start");
        return;
    }
    g_app.Id = 17;
    std::strcpy(g_app.ProductName, "idle");
    TW_IDENTITY ds{};
    call(DG_CONTROL, DAT_IDENTITY, MSG_GET, &ds);
    ds.Id = 42;
    TW_USERINTERFACE ui{};
    ui.ShowUI = TRUE;
    if (call(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &ds) != TWRC_SUCCESS ||
        call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui) != TWRC_SUCCESS) {
        state.SkipWithError("the source did not open and enable");
        return;
    }
    // The first paint loads the thumbnails; then nothing is left to do.
    std::this_thread::sleep_for(std::chrono::seconds(2));
    for (auto _ : state) {
        const double cpu = cpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(3));
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const double used = cpuSeconds() - cpu;
        state.counters["cpu_ms"] = used * 1000;
        state.counters["cpu_percent_of_a_core"] = used / wall * 100;
    }
    call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui);
    call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &ds);
}
BENCHMARK(BM_IdleWindowThread)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

// The application's Source Manager entry: nothing is announced while idle.
extern "C" PXCM_EXPORT TW_UINT16 TW_CALLINGSTYLE DSM_Entry(pTW_IDENTITY, pTW_IDENTITY, TW_UINT32,
                                                           TW_UINT16, TW_UINT16, TW_MEMREF) {
    return TWRC_SUCCESS;
}

BENCHMARK_MAIN();
