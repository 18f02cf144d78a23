// download_bench.cpp — picture downloads from the simulated camera with line
// timing, against the ideal wire time of the same bytes (every byte of the
// exchange at the rate of the line when it went, 12 bit times each), and the
// block turnaround: from the read that completed a block to the first byte
// of the next request, median and worst.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "tests/camera/simulator.h"
#include "testsupport/fake_serial_port.h"
#include "ui/camera_module.h"

namespace {

using SteadyClock = std::chrono::steady_clock;

double percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    auto at = v.begin() + static_cast<std::ptrdiff_t>(p * static_cast<double>(v.size() - 1));
    std::nth_element(v.begin(), at, v.end());
    return *at;
}

constexpr uint32_t PICTURE_SIZE = 20000;

// The USB adapter that the simulated camera answers through (third
// argument): none, one whose 16 ms latency timer holds every block, and the
// same with the PC's low-latency request honoured.
enum Adapter { NO_ADAPTER = 0, ADAPTER_16MS = 1, ADAPTER_16MS_HONOURED = 2 };

std::vector<std::string> simulatorArgs(const std::string& dir, const std::string& firmware,
                                       int64_t adapter) {
    std::vector<std::string> args{"--dir", dir, "--firmware", firmware, "--timing"};
    if (adapter != NO_ADAPTER) {
        args.push_back("--latency-timer");
        args.push_back("16");
    }
    if (adapter == ADAPTER_16MS_HONOURED) args.push_back("--low-latency-honoured");
    return args;
}

// Arguments: speed code, firmware version × 10, adapter.
void BM_Download(benchmark::State& state) {
    if (!simtest::simulatorAvailable()) {
        state.SkipWithError("pxcm-camera is not built");
        return;
    }
    const uint8_t speed = static_cast<uint8_t>(state.range(0));
    const std::string firmware = state.range(1) == 39 ? "3.9" : "4.0";

    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() /
                         ("pxcm-bench-" + std::to_string(::getpid()) + "-" +
                          std::to_string(state.range(0)) + "-" + std::to_string(state.range(2)));
    fs::create_directories(dir);
    simtest::addPicture(dir.string(), "p1", PICTURE_SIZE, 500, 1);

    {
        simtest::Simulator sim(simulatorArgs(dir.string(), firmware, state.range(2)));
        if (!sim.running()) {
            state.SkipWithError("the simulator did not start");
            fs::remove_all(dir);
            return;
        }
        testsupport::WireMeter tally;
        CameraLink link;
        const std::string path = sim.path();
        link.setPortFactory(
            [&](const std::string& name, bool&) -> std::unique_ptr<plat::SerialPort> {
                if (name != "COM1") return nullptr;
                auto port = plat::openSerialDevice(path);
                if (!port) return nullptr;
                return std::make_unique<testsupport::MeteredPort>(std::move(port), tally);
            });
        if (link.findCamera(nullptr) != LINK_OK || link.readFirmwareVersion() != LINK_OK) {
            state.SkipWithError("no camera on the simulator's pty");
            fs::remove_all(dir);
            return;
        }
        link.setLineOptions({speed, link.lineOptions().intervalTenths});

        double measuredTotal = 0, idealTotal = 0, ownTotal = 0;
        std::vector<double> turnarounds, excess;
        for (auto _ : state) {
            tally = testsupport::WireMeter{};
            const auto start = SteadyClock::now();
            const LinkResult r = link.downloadPicture(0, nullptr);
            const std::chrono::duration<double> took = SteadyClock::now() - start;
            if (r != LINK_OK) {
                state.SkipWithError(linkResultName(r));
                break;
            }
            state.SetIterationTime(took.count());
            measuredTotal += took.count();
            idealTotal += tally.idealSeconds;
            ownTotal += took.count() - tally.readSeconds;
            turnarounds.insert(turnarounds.end(), tally.turnarounds.begin(),
                               tally.turnarounds.end());
            excess.insert(excess.end(), tally.blockExcess.begin(), tally.blockExcess.end());
        }
        if (idealTotal > 0) {
            state.counters["ideal_s"] = idealTotal / state.iterations();
            state.counters["ratio"] = measuredTotal / idealTotal;
            // What the PC side adds by itself, outside its waits for the camera.
            state.counters["pc_share"] = ownTotal / idealTotal;
            // From a block's last byte read to the next request's first byte.
            state.counters["turn_us_median"] = percentile(turnarounds, 0.5) * 1e6;
            state.counters["turn_us_worst"] = percentile(turnarounds, 1.0) * 1e6;
            // A block's exchange beyond its wire time: the camera's side too.
            state.counters["block_excess_us_median"] = percentile(excess, 0.5) * 1e6;
            double sum = 0;
            for (double e : excess) sum += e;
            state.counters["block_excess_us_mean"] =
                excess.empty() ? 0 : sum / static_cast<double>(excess.size()) * 1e6;
        }
        state.SetBytesProcessed(int64_t(state.iterations()) * PICTURE_SIZE);
    }
    fs::remove_all(dir);
}

}  // namespace

BENCHMARK(BM_Download)
    ->ArgNames({"speed", "firmware", "adapter"})
    ->Args({SPEED_115200, 40, NO_ADAPTER})
    ->Args({SPEED_56000, 40, NO_ADAPTER})
    ->Args({SPEED_115200, 39, NO_ADAPTER})
    ->Args({SPEED_56000, 39, NO_ADAPTER})
    // A USB adapter with its default latency timer, and with the low-latency
    // flag honoured.
    ->Args({SPEED_115200, 40, ADAPTER_16MS})
    ->Args({SPEED_115200, 40, ADAPTER_16MS_HONOURED})
    ->Args({SPEED_115200, 39, ADAPTER_16MS})
    ->Args({SPEED_115200, 39, ADAPTER_16MS_HONOURED})
    ->UseManualTime()
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
