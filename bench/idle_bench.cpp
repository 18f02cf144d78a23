// idle_bench.cpp — the CPU time that 2 s of empty MSG_PROCESSEVENT calls
// cost while nothing happens in the camera window (the host waits for input
// instead of spinning). $PXCM_UI chooses the host as in the source.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>

#include "platform/window.h"

namespace {

INT_PTR CALLBACK quietWindow(HWND window, UINT message, WPARAM, LPARAM) {
    if (message != WM_PAINT) return FALSE;
    plat::PaintCanvas validate(window);
    return TRUE;
}

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void BM_IdleNullEvents(benchmark::State& state) {
    HWND window = plat::createModelessDialog(nullptr, "TW_FILE_LB", quietWindow, 0);
    if (!window) {
        state.SkipWithError("no window");
        return;
    }
    while (plat::isDialogMessage(window, nullptr)) {
    }
    for (auto _ : state) {
        long calls = 0, handled = 0;
        const double cpu = cpuSeconds();
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (std::chrono::steady_clock::now() < end) {
            handled += plat::isDialogMessage(window, nullptr);
            ++calls;
        }
        state.counters["cpu_ms"] = (cpuSeconds() - cpu) * 1000;
        state.counters["calls"] = static_cast<double>(calls);
        state.counters["handled"] = static_cast<double>(handled);
    }
    plat::destroyWindow(window);
}
BENCHMARK(BM_IdleNullEvents)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
