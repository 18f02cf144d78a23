// soak_bench.cpp — long use in one process: cycles of open, enable, paint
// the thumbnails, transfer a picture, disable and close against the
// simulated camera, with resident size, descriptors and mappings reported
// at intervals. $PXCM_SOAK_CYCLES sets the count (1000).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench/camera_run.h"
#include "bench/process_figures.h"
#include "platform/export.h"
#include "platform/memory.h"
#include "platform/twain.h"
#include "platform/window.h"
#include "source/entry.h"
#include "source/source_state.h"
#include "testsupport/fake_clock.h"
#include "ui/camera_module.h"
#include "ui/layout.h"

namespace {

int g_xferReady = 0;

TW_IDENTITY g_app{};

TW_UINT16 call(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
    return DS_Entry(&g_app, dg, dat, msg, data);
}

TW_UINT16 record(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    plat::EventRecord r{message, wParam, lParam};
    TW_EVENT event{&r, 0};
    return call(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event);
}

// One cycle; false with `why` set when a step did not do its work.
bool cycle(const char*& why) {
    TW_IDENTITY ds{};
    call(DG_CONTROL, DAT_IDENTITY, MSG_GET, &ds);
    ds.Id = 42;
    if (call(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &ds) != TWRC_SUCCESS) return why = "open", false;
    TW_USERINTERFACE ui{};
    ui.ShowUI = TRUE;
    if (call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui) != TWRC_SUCCESS)
        return why = "enable", false;
    record(WM_PAINT, 0, 0);
    // The first thumbnail clicked, then Load.
    const intptr_t slot = slotMiddleX(0) | slotMiddleY(0) << 16;
    record(WM_LBUTTONDOWN, MK_LBUTTON, slot);
    record(WM_LBUTTONUP, 0, slot);
    const plat::Rect& load = BUTTON_TABLE[BUTTON_LOAD].rect;
    const intptr_t at = ((load.left + load.right) / 2) | ((load.top + load.bottom) / 2) << 16;
    const int before = g_xferReady;
    record(WM_LBUTTONDOWN, MK_LBUTTON, at);
    record(WM_LBUTTONUP, 0, at);
    if (g_xferReady != before + 1) return why = "announce", false;
    TW_IMAGEINFO info{};
    if (call(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info) != TWRC_SUCCESS) return why = "info", false;
    TW_HANDLE dib = nullptr;
    if (call(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &dib) != TWRC_XFERDONE || !dib)
        return why = "transfer", false;
    plat::memFree(dib);
    TW_PENDINGXFERS pending{};
    call(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending);
    call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui);
    if (call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &ds) != TWRC_SUCCESS)
        return why = "close", false;
    return true;
}

void BM_Soak(benchmark::State& state) {
    const char* env = std::getenv("PXCM_SOAK_CYCLES");
    const long cycles = env ? std::atol(env) : 1000;
    benchfig::CameraRun run(4);
    if (!run.ready()) {
        state.SkipWithError("the simulated camera did not start");
        return;
    }
    // The pauses of the link cost no time here: the cycles measure what stays
    // behind, not how long they take.
    testsupport::FakeClock noPauses(testsupport::FakeClock::Pauses::Skip);
    cameraDevice().link().setClock(&noPauses);
    g_app.Id = 17;
    std::strcpy(g_app.ProductName, "soak");

    for (auto _ : state) {
        benchfig::Figures first, settled, last;
        const long settle = cycles >= 100 ? 20 : 2;
        for (long n = 1; n <= cycles; ++n) {
            const char* why = "";
            if (!cycle(why)) {
                state.SkipWithError(
                    (std::string("cycle ") + std::to_string(n) + ": " + why).c_str());
                break;
            }
            if (n == 1) first = benchfig::now();
            if (n == settle) settled = benchfig::now();
            if (n == 1 || n == settle || n % (cycles >= 10 ? cycles / 10 : 1) == 0)
                benchfig::print("cycle", n, benchfig::now());
        }
        last = benchfig::now();
        state.counters["cycles"] = static_cast<double>(cycles);
        state.counters["rss_first_kB"] = static_cast<double>(first.rssKb);
        state.counters["rss_last_kB"] = static_cast<double>(last.rssKb);
        state.counters["rss_growth_after_settle_kB"] =
            static_cast<double>(last.rssKb - settled.rssKb);
        state.counters["fds_growth"] = static_cast<double>(last.fds - first.fds);
        state.counters["maps_growth"] = static_cast<double>(last.maps - first.maps);
        state.counters["pages_growth_after_settle"] =
            static_cast<double>(last.mappedPages - settled.mappedPages);
        state.counters["boxes"] = static_cast<double>(run.prompts());
        if (last.fds != first.fds) state.SkipWithError("open descriptors grew");
    }
    cameraDevice().close();
    cameraDevice().link().setClock(nullptr);
}
BENCHMARK(BM_Soak)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

// The application's Source Manager entry: the source's notifications.
extern "C" PXCM_EXPORT TW_UINT16 TW_CALLINGSTYLE DSM_Entry(pTW_IDENTITY, pTW_IDENTITY, TW_UINT32,
                                                           TW_UINT16, TW_UINT16 msg, TW_MEMREF) {
    if (msg == MSG_XFERREADY) ++g_xferReady;
    return TWRC_SUCCESS;
}

BENCHMARK_MAIN();
