// acquire_bench.cpp — a whole acquisition from the simulated camera with line
// timing at 115200 baud, driven through DS_Entry and the headless camera
// window as an application and a user would: open, enable (scan, firmware,
// clock), the first paint (every thumbnail), two 640 x 480 pictures selected
// and loaded, one taken by native and one by memory transfer, Exit, close.
// Counters: the run against the ideal wire time of its bytes (12 bit times
// each, at the rate of the line when they went), with and without the
// protocol's own pauses, per phase, and the PC side's time per picture
// outside its waits for the camera, broken down: writes (each waits until its
// bytes have left), line switches and purges, and the rest, the source's own
// code (decoding, transfer, drawing, progress, settings files).
// BM_PictureOwnWork: the source's own work
// for one picture once its JPEG is there (decoding and transfer).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "image/jpeg_decoder.h"
#include "platform/clock.h"
#include "platform/window.h"
#include "source/entry.h"
#include "source/pending_transfers.h"
#include "source/source_state.h"
#include "source/transfer_state.h"
#include "tests/camera/simulator.h"
#include "testsupport/fake_clock.h"
#include "testsupport/fake_serial_port.h"
#include "ui/camera_module.h"
#include "ui/camera_window.h"
#include "ui/layout.h"

namespace {

using SteadyClock = std::chrono::steady_clock;

double since(SteadyClock::time_point start) {
    return std::chrono::duration<double>(SteadyClock::now() - start).count();
}

// The line's figures: wire time, waits in reads, writes and line control,
// and the protocol's own pauses.
using WireTally = testsupport::WireMeter;

class Application {
public:
    Application() {
        app_.Id = 17;
        std::strcpy(app_.ProductName, "acquisition benchmark");
    }
    TW_UINT16 call(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
        return DS_Entry(&app_, dg, dat, msg, data);
    }
    TW_UINT16 send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        plat::EventRecord record{message, wParam, lParam};
        TW_EVENT event{&record, 0};
        return call(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event);
    }
    void turnLoop() {
        TW_EVENT event{nullptr, 0};
        while (call(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event) == TWRC_DSEVENT) {
        }
    }
    void click(int x, int y) {
        send(WM_LBUTTONDOWN, MK_LBUTTON, pointParam(x, y));
        send(WM_LBUTTONUP, 0, pointParam(x, y));
    }
    void clickButton(int button) {
        const plat::Rect& r = BUTTON_TABLE[button].rect;
        click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    void clickSlot(int slot) { click(slotMiddleX(slot), slotMiddleY(slot)); }

private:
    TW_IDENTITY app_{};
};

bool memoryTransfer(Application& a) {
    std::vector<std::uint8_t> buffer(1920);
    for (int calls = 0; calls < 1000; ++calls) {
        TW_IMAGEMEMXFER xfer{};
        xfer.Memory = {TWMF_APPOWNS | TWMF_POINTER, 1920, buffer.data()};
        const TW_UINT16 rc = a.call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &xfer);
        if (rc == TWRC_XFERDONE) return true;
        if (rc != TWRC_SUCCESS) return false;
    }
    return false;
}

bool nativeTransfer(Application& a) {
    TW_HANDLE h = nullptr;
    if (a.call(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &h) != TWRC_XFERDONE) return false;
    plat::memFree(h);
    return true;
}

// Where a run spends its time: measured, and wire time plus pauses.
struct Phases {
    double measured[3] = {};
    double expected[3] = {};
};
const char* const PHASE_NAMES[3] = {"enable", "thumbnails", "pictures"};

class PhaseTimer {
public:
    PhaseTimer(const WireTally& tally, Phases& phases, int phase)
        : tally_(tally),
          phases_(phases),
          phase_(phase),
          before_(tally),
          start_(SteadyClock::now()) {}
    ~PhaseTimer() {
        phases_.measured[phase_] += since(start_);
        phases_.expected[phase_] +=
            tally_.idealSeconds - before_.idealSeconds + tally_.pauseSeconds - before_.pauseSeconds;
    }

private:
    const WireTally& tally_;
    Phases& phases_;
    int phase_;
    WireTally before_;
    SteadyClock::time_point start_;
};

// One whole acquisition; false with the reason in *error.
// The PC side of the pictures, summed over the pictures of a run (seconds).
struct OwnParts {
    double total = 0;   // outside the reads and pauses
    double writes = 0;  // writes until their bytes have left
    double line = 0;    // line switches, purges, time-outs
    double source = 0;  // the rest: the source's own code
};

bool acquire(Application& a, WireTally& tally, Phases& phases, OwnParts* own, const char** error) {
    TW_IDENTITY ds{};
    a.call(DG_CONTROL, DAT_IDENTITY, MSG_GET, &ds);
    ds.Id = 42;
    if (a.call(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &ds) != TWRC_SUCCESS) {
        *error = "MSG_OPENDS failed";
        return false;
    }
    TW_USERINTERFACE ui{};
    ui.ShowUI = TRUE;
    {
        PhaseTimer t(tally, phases, 0);
        if (a.call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui) != TWRC_SUCCESS) {
            *error = "MSG_ENABLEDS failed";
            return false;
        }
    }
    {
        PhaseTimer t(tally, phases, 1);
        a.send(WM_PAINT);
    }
    // Pictures 1 and 3 of the samples are 640 x 480.
    a.clickSlot(0);
    a.clickSlot(2);
    a.clickButton(BUTTON_LOAD);
    for (int k = 0; k < 2; ++k) {
        PhaseTimer t(tally, phases, 2);
        const WireTally before = tally;
        const auto start = SteadyClock::now();
        TW_IMAGEINFO info{};
        if (a.call(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info) != TWRC_SUCCESS ||
            info.ImageWidth != 640) {
            *error = "DAT_IMAGEINFO failed";
            return false;
        }
        if (!(k == 0 ? nativeTransfer(a) : memoryTransfer(a))) {
            *error = "the transfer failed";
            return false;
        }
        const double total = since(start) - (tally.readSeconds - before.readSeconds) -
                             (tally.pauseSeconds - before.pauseSeconds);
        const double writes = tally.writeSeconds - before.writeSeconds;
        const double line = tally.controlSeconds - before.controlSeconds;
        own->total += total;
        own->writes += writes;
        own->line += line;
        own->source += total - writes - line;
        TW_PENDINGXFERS pending{};
        a.call(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending);
        a.turnLoop();
    }
    a.clickButton(BUTTON_EXIT);
    a.call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui);
    a.call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &ds);
    return true;
}

void BM_Acquisition(benchmark::State& state) {
    if (!simtest::simulatorAvailable()) {
        state.SkipWithError("pxcm-camera is not built");
        return;
    }
    namespace fs = std::filesystem;
    const fs::path root =
        fs::temp_directory_path() / ("pxcm-acquire-bench-" + std::to_string(::getpid()));
    fs::create_directories(root / "windows");
    std::ofstream(root / "windows" / "pxcm.ini")
        << "[KMT-18]\r\nSERIAL_SPEED=7\r\nSPECIAL_INTERVAL_TIME=1\r\n";
    setenv("PXCM_ROOT", root.c_str(), 1);
    setenv("PXCM_UI", "headless", 1);
    setenv("PXCM_PROMPTS", (root / "prompts.jsonl").c_str(), 1);
    {
        simtest::Simulator sim({"--timing"});
        if (!sim.running()) {
            state.SkipWithError("the simulator did not start");
            fs::remove_all(root);
            return;
        }
        WireTally tally;
        testsupport::FakeClock clock(testsupport::FakeClock::Pauses::Sleep, &tally);
        const std::string path = sim.path();
        cameraDevice().link().setPortFactory(
            [&](const std::string& name, bool&) -> std::unique_ptr<plat::SerialPort> {
                if (name != "COM1") return nullptr;
                auto port = plat::openSerialDevice(path);
                if (!port) return nullptr;
                return std::make_unique<testsupport::MeteredPort>(std::move(port), tally);
            });
        cameraDevice().link().setClock(&clock);

        Application a;
        double measured = 0, ideal = 0, pauses = 0, ownMax = 0;
        OwnParts own;
        Phases phases;
        for (auto _ : state) {
            resetSourceState();
            resetCameraWindowState();
            dropPendingTransfers();
            tally = WireTally{};
            const auto start = SteadyClock::now();
            OwnParts run;
            const char* error = nullptr;
            if (!acquire(a, tally, phases, &run, &error)) {
                state.SkipWithError(error);
                break;
            }
            const double took = since(start);
            state.SetIterationTime(took);
            measured += took;
            ideal += tally.idealSeconds;
            pauses += tally.pauseSeconds;
            own.total += run.total;
            own.writes += run.writes;
            own.line += run.line;
            own.source += run.source;
            if (run.total / 2 > ownMax) ownMax = run.total / 2;
        }
        cameraDevice().close();
        cameraDevice().link().setClock(nullptr);
        cameraDevice().link().setPortFactory(systemPortFactory());
        const double n = static_cast<double>(state.iterations());
        if (ideal > 0) {
            state.counters["ideal_wire_s"] = ideal / n;
            state.counters["pauses_s"] = pauses / n;
            // The goal: the run within 3 % of its wire time and pauses.
            state.counters["ratio"] = measured / (ideal + pauses);
            state.counters["ratio_wire_only"] = measured / ideal;
            // The PC side of a picture outside its waits for the camera:
            // requests, line switches, progress, decoding and transfer.
            const double perPicture = 1000 / (2 * n);
            state.counters["pc_ms_per_picture"] = own.total * perPicture;
            state.counters["pc_ms_worst"] = ownMax * 1000;
            // Where it goes.
            state.counters["pc_ms_writes"] = own.writes * perPicture;
            state.counters["pc_ms_line"] = own.line * perPicture;
            state.counters["pc_ms_source"] = own.source * perPicture;
            for (int p = 0; p < 3; ++p)
                if (phases.expected[p] > 0)
                    state.counters[std::string("ratio_") + PHASE_NAMES[p]] =
                        phases.measured[p] / phases.expected[p];
        }
    }
    unsetenv("PXCM_UI");
    fs::remove_all(root);
}

// The source's own work for one 640 x 480 picture once its JPEG has arrived:
// full-picture decoding into the current image, then the native transfer
// (argument 0) or the memory transfer in 1920-byte strips (argument 1), with
// the installed source-control file read as each strip asks.
void BM_PictureOwnWork(benchmark::State& state) {
    if (!simtest::simulatorAvailable()) {
        state.SkipWithError("pxcm-camera is not built");
        return;
    }
    namespace fs = std::filesystem;
    const fs::path root =
        fs::temp_directory_path() / ("pxcm-own-bench-" + std::to_string(::getpid()));
    fs::create_directories(root / "windows");
    fs::copy_file(fs::path(PXCM_SOURCE_DIR) / "resources/settings/PXCM.src",
                  root / "windows" / "PXCM.src", fs::copy_options::overwrite_existing);
    setenv("PXCM_ROOT", root.c_str(), 1);
    {
        simtest::Simulator sim({});
        const std::string path = sim.path();
        cameraDevice().link().setPortFactory(
            [&](const std::string& name, bool&) -> std::unique_ptr<plat::SerialPort> {
                return name == "COM1" ? plat::openSerialDevice(path) : nullptr;
            });
        resetSourceState();
        // Picture 1 of the samples is 640 x 480.
        if (!sim.running() || cameraDevice().findCamera() != LINK_OK ||
            cameraDevice().readFirmwareVersion() != LINK_OK ||
            cameraDevice().downloadPicture(0, nullptr) != LINK_OK) {
            state.SkipWithError("no picture from the simulator");
        } else {
            Application a;
            g_source.protocolState = STATE_XFERREADY;
            for (auto _ : state) {
                storeCurrentImage(cameraDevice().decodePicture(DECODE_FULL_PICTURE));
                if (!(state.range(0) == 0 ? nativeTransfer(a) : memoryTransfer(a))) {
                    state.SkipWithError("the transfer failed");
                    break;
                }
            }
        }
        cameraDevice().close();
        cameraDevice().link().setPortFactory(systemPortFactory());
    }
    resetSourceState();
    fs::remove_all(root);
}

}  // namespace

BENCHMARK(BM_Acquisition)->Iterations(2)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PictureOwnWork)->ArgName("memory")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
