// cmd_camera.cpp — `pxcm camera`: the camera itself, straight through the
// camera link (scan, status, picture list, downloads, capture, deletion, modes
// and clock), without the TWAIN source around it.
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "camera/camera_device.h"
#include "camera/line_settings_file.h"
#include "platform/console.h"
#include "platform/files.h"
#include "platform/serial_port.h"
#include "tools/common/arg_reader.h"
#include "tools/pxcm/app.h"
#include "ui/camera_message_reporter.h"

namespace {

constexpr const char* USAGE =
    "usage: pxcm camera [--port DEVICE] [--speed 15|7] ACTION [ARGS]\n"
    "\n"
    "Talks to the camera directly through the camera link. Without --port the\n"
    "camera is looked for on COM1 to COM8 (on POSIX each COMn is the device named\n"
    "by key COMn of section [Ports] in pxcm.ini, else /dev/ttyS<n-1>).\n"
    "\n"
    "actions:\n"
    "  scan                      find the camera; show its port and status\n"
    "  status                    show the camera's status and firmware version\n"
    "  list                      show the information of every picture\n"
    "  get N --out FILE [--thumbnail]\n"
    "                            download picture N (counted from 1) as a JPEG\n"
    "                            file, or its thumbnail; progress on stderr\n"
    "  shoot                     take a picture\n"
    "  delete N                  delete picture N (counted from 1)\n"
    "  mode q|t on|off           switch the picture-size mode (q: on = ECO\n"
    "                            320x240) or the self-timer (t)\n"
    "  clock                     set the camera clock to this computer's time\n"
    "\n"
    "options:\n"
    "  --port DEVICE   use this device (a path such as /dev/ttyUSB0 or a pty; on\n"
    "                  Windows a port name) instead of the scan\n"
    "  --speed 15|7    download speed: 15 = 56000 baud, 7 = 115200 baud; default\n"
    "                  SERIAL_SPEED of section [KMT-18] in pxcm.ini, else 15\n"
    "\n"
    "SPECIAL_INTERVAL_TIME of [KMT-18] (tenths of a second, default 1) is the\n"
    "pause at the end of a thumbnail download. $PXCM_SERIAL_LOG names a file that\n"
    "receives a hex trace of the serial traffic. Messages of the camera link are\n"
    "message boxes of the prompt layer ($PXCM_PROMPTS, $PXCM_ANSWERS).\n";

struct Options {
    std::string port;
    int speed = -1;
    std::string out;
    bool thumbnail = false;
    std::vector<std::string> words;  // action and its arguments
};

bool parseOptions(const std::vector<std::string>& args, Options& o, std::string& error) {
    tools::ArgReader reader(
        args, {{"--port", true}, {"--speed", true}, {"--out", true}, {"--thumbnail"}});
    for (auto next = reader.next(); next != tools::ArgReader::Next::End; next = reader.next()) {
        const std::string& name = reader.name();
        switch (next) {
            case tools::ArgReader::Next::MissingValue:
                error = name + " needs a value";
                return false;
            case tools::ArgReader::Next::Operand:
                o.words.push_back(reader.arg());
                continue;
            case tools::ArgReader::Next::Option:
                break;
            default:
                // A lone "-" is a word.
                if (reader.arg() == "-") {
                    o.words.push_back(reader.arg());
                    continue;
                }
                error = "unknown option " + reader.arg() + " (see pxcm camera --help)";
                return false;
        }
        if (name == "--port") {
            o.port = reader.value();
        } else if (name == "--speed") {
            const std::string& s = reader.value();
            if (s != "15" && s != "7") {
                error = "--speed takes 15 (56000 baud) or 7 (115200 baud), not " + s;
                return false;
            }
            o.speed = std::stoi(s);
        } else if (name == "--out") {
            o.out = reader.value();
        } else {
            o.thumbnail = true;
        }
    }
    return true;
}

std::string failureText(LinkResult r) {
    switch (r) {
        case LINK_NO_ANSWER:
            return "the camera does not answer";
        case LINK_BAD_REPLY:
            return "the camera's reply was missing or wrong";
        case LINK_BLOCK_FAILED:
            return "a data block did not arrive after its retries";
        case LINK_NO_MEMORY:
            return "no memory for the download";
        case LINK_TOO_BIG:
            return "the file is larger than the link accepts";
        case LINK_BUSY:
            return "the port is in use by another program";
        case LINK_DAMAGED:
            return "the picture came damaged after every try";
        default:
            return "the camera link failed";
    }
}

int linkFailure(const std::string& what, LinkResult r) {
    return pxcm::fail(what + ": " + failureText(r) + " (" + linkResultName(r) + ")");
}

// A picture number as the user counts it: 1 to count.
bool pictureNumber(const std::string& text, int count, int& n, std::string& error) {
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end) {
        error = "not a picture number: " + text;
        return false;
    }
    if (v < 1 || v > count) {
        error = count == 0 ? "the camera holds no pictures"
                           : "picture " + text + " does not exist (the camera holds " +
                                 std::to_string(count) + ")";
        return false;
    }
    n = static_cast<int>(v);
    return true;
}

// Progress of a download as a bar on stderr, redrawn when the percentage
// moves; only for a person at a terminal, never into a log.
class TextProgress : public ProgressSink {
public:
    TextProgress() : enabled_(plat::stderrIsTerminal()) {}
    void setMaximum(int maximum) override {
        maximum_ = maximum;
        shown_ = -1;
    }
    void setPosition(int position) override {
        if (position > maximum_) return;
        const int percent = maximum_ > 0 ? static_cast<int>(int64_t(position) * 100 / maximum_) : 0;
        // The link resets the bar to 0 when it is done; a text bar stays full.
        if (percent < shown_) return;
        draw(percent);
    }
    void finish() {
        if (!enabled_) return;
        draw(100);
        std::fputc('\n', stderr);
    }

private:
    void draw(int percent) {
        if (!enabled_ || percent == shown_) return;
        shown_ = percent;
        const int filled = percent * 40 / 100;
        std::fprintf(stderr, "\r[%s%s] %3d%%", std::string(filled, '#').c_str(),
                     std::string(40 - filled, ' ').c_str(), percent);
        std::fflush(stderr);
    }
    bool enabled_;
    int maximum_ = 0;
    int shown_ = -1;
};

void printStatus(const CameraDevice& camera) {
    const CameraStatus& s = camera.status();
    static const char* const battery[] = {"empty", "full", "half", "low"};
    std::printf("pictures:      %d\n", s.pictureCount);
    std::printf("free frames:   %d\n", s.freeFrames);
    std::printf("picture size:  %s\n",
                s.modeQ ? "ECO 320x240 (mode q on)" : "STD 640x480 (mode q off)");
    std::printf("self-timer:    %s\n", s.modeT ? "on" : "off");
    std::printf("battery:       %s\n", s.batteryLevel <= 3 ? battery[s.batteryLevel] : "empty");
    std::printf("camera clock:  %04d-%02d-%02d %02d:%02d\n", s.clockYear, s.clockMonth, s.clockDay,
                s.clockHour, s.clockMinute);
}

class CameraCommand {
public:
    explicit CameraCommand(Options o) : o_(std::move(o)), camera_(&reporter_) {
        // Without --port it scans COM1 to COM8, as the source does.
        camera_.link().setPortFactory(systemPortFactory());
    }

    int run() {
        if (o_.words.empty()) return pxcm::fail("camera needs an action (see pxcm camera --help)");
        const std::string& action = o_.words[0];
        if (action == "scan") return expectArgs(0) ? scan() : usageError();
        if (action == "status") return expectArgs(0) ? status() : usageError();
        if (action == "list") return expectArgs(0) ? list() : usageError();
        if (action == "get") return expectArgs(1) ? get() : usageError();
        if (action == "shoot") return expectArgs(0) ? shoot() : usageError();
        if (action == "delete") return expectArgs(1) ? remove() : usageError();
        if (action == "mode") return expectArgs(2) ? mode() : usageError();
        if (action == "clock") return expectArgs(0) ? clock() : usageError();
        return pxcm::fail("unknown camera action " + action + " (see pxcm camera --help)");
    }

private:
    bool expectArgs(size_t n) const { return o_.words.size() == n + 1; }
    int usageError() const {
        return pxcm::fail("wrong arguments for camera " + o_.words[0] +
                          " (see pxcm camera --help)");
    }

    // Finds the camera and sets up the line as the camera window would.
    bool connect() {
        LineOptions options = readLineOptions(plat::windowsDirectory() + "\\pxcm.ini");
        if (o_.speed >= 0) options.speedCode = static_cast<uint8_t>(o_.speed);
        camera_.setLineOptions(options);
        const LinkResult r = o_.port.empty() ? camera_.findCamera() : camera_.openDevice(o_.port);
        if (r == LINK_OK) return true;
        const std::string where = o_.port.empty() ? "COM1 to COM8" : o_.port;
        if (r == LINK_BUSY) {
            pxcm::fail(where + ": " + failureText(r));
            return false;
        }
        pxcm::fail("no camera answers on " + where);
        return false;
    }

    std::string portText() const {
        if (!o_.port.empty()) return o_.port;
        const std::string name = "COM" + std::to_string(camera_.foundPort());
        const std::string device = plat::serialDeviceFor(name);
        return device == name ? name : name + " (" + device + ")";
    }

    int scan() {
        if (!connect()) return 1;
        std::printf("camera on %s\n", portText().c_str());
        printStatus(camera_);
        return 0;
    }

    int status() {
        if (!connect()) return 1;
        const LinkResult r = camera_.readFirmwareVersion();
        if (r != LINK_OK) return linkFailure("firmware version", r);
        std::printf("port:          %s\n", portText().c_str());
        std::printf("firmware:      %.1f (%s downloads)\n", camera_.firmwareVersion(),
                    camera_.firmwareVersion() < ADDRESSED_FIRMWARE ? "stepped" : "addressed");
        printStatus(camera_);
        return 0;
    }

    int list() {
        if (!connect()) return 1;
        const int count = camera_.status().pictureCount;
        std::printf("%4s %6s %9s %9s  %-16s %s\n", "N", "number", "picture", "thumbnail", "taken",
                    "marker");
        bool allAnswered = true;
        for (int i = 0; i < count; ++i) {
            const LinkResult r = camera_.readPictureInfo(i);
            if (r == LINK_BAD_REPLY) {
                std::printf("%4d  (no information)\n", i + 1);
                allAnswered = false;
                continue;
            }
            if (r != LINK_OK) return linkFailure("picture information", r);
            const PictureInfo& p = camera_.pictureInfo();
            std::printf("%4d %6u %9u %9u  %04d-%02d-%02d %02d:%02d %s\n", i + 1, p.pictureNumber,
                        p.pictureSize, p.thumbnailSize, p.year, p.month, p.day, p.hour, p.minute,
                        p.marker ? "yes" : "no");
        }
        if (!allAnswered) return pxcm::fail("list: the camera did not describe every picture");
        return 0;
    }

    int get() {
        if (o_.out.empty()) return pxcm::fail("get needs --out FILE");
        if (!connect()) return 1;
        int n = 0;
        std::string error;
        if (!pictureNumber(o_.words[1], camera_.status().pictureCount, n, error))
            return pxcm::fail(error);
        // The firmware decides the download method.
        LinkResult r = camera_.readFirmwareVersion();
        if (r != LINK_OK) return linkFailure("firmware version", r);

        TextProgress progress;
        r = o_.thumbnail ? camera_.downloadThumbnail(n - 1, &progress)
                         : camera_.downloadPicture(n - 1, &progress);
        if (r != LINK_OK) {
            std::fputc('\n', stderr);
            if (r == LINK_TOO_BIG)
                return pxcm::fail(
                    std::string("get: the ") + (o_.thumbnail ? "thumbnail" : "picture") + " has " +
                    std::to_string(static_cast<uint32_t>(camera_.downloadSize())) +
                    " bytes, more than the " +
                    std::to_string(o_.thumbnail ? LARGEST_THUMBNAIL : LARGEST_PICTURE) +
                    " that the link accepts");
            return linkFailure("get", r);
        }
        progress.finish();

        std::FILE* f = std::fopen(o_.out.c_str(), "wb");
        if (!f) return pxcm::fail("cannot write " + o_.out);
        const size_t size = static_cast<size_t>(camera_.downloadSize());
        const bool ok = std::fwrite(camera_.downloadData(), 1, size, f) == size;
        if (std::fclose(f) != 0 || !ok) {
            std::remove(o_.out.c_str());
            return pxcm::fail("cannot write " + o_.out);
        }
        std::printf("%s %d: %zu bytes -> %s\n", o_.thumbnail ? "thumbnail" : "picture", n, size,
                    o_.out.c_str());
        return 0;
    }

    int shoot() {
        if (!connect()) return 1;
        if (camera_.status().freeFrames == 0)
            return pxcm::fail("shoot: the camera's memory is full");
        const LinkResult r = camera_.takePicture();
        if (r != LINK_OK) return linkFailure("shoot", r);
        std::printf("picture taken: the camera holds %d, %d more fit\n",
                    camera_.status().pictureCount, camera_.status().freeFrames);
        return 0;
    }

    int remove() {
        if (!connect()) return 1;
        int n = 0;
        std::string error;
        if (!pictureNumber(o_.words[1], camera_.status().pictureCount, n, error))
            return pxcm::fail(error);
        const LinkResult r = camera_.deletePicture(n - 1);
        if (r != LINK_OK) return linkFailure("delete", r);
        std::printf("picture %d deleted: the camera holds %d\n", n, camera_.status().pictureCount);
        return 0;
    }

    int mode() {
        const std::string& which = o_.words[1];
        const std::string& state = o_.words[2];
        if ((which != "q" && which != "t") || (state != "on" && state != "off"))
            return pxcm::fail("mode takes q|t and on|off (see pxcm camera --help)");
        if (!connect()) return 1;
        const uint8_t value = state == "on" ? 1 : 0;
        const LinkResult r =
            which == "q" ? camera_.setQualityMode(value) : camera_.setTimerMode(value);
        if (r != LINK_OK) return linkFailure("mode", r);
        std::printf("mode q %s, mode t %s\n", camera_.status().modeQ ? "on" : "off",
                    camera_.status().modeT ? "on" : "off");
        return 0;
    }

    int clock() {
        if (!connect()) return 1;
        const std::time_t now = std::time(nullptr);
        const std::tm* t = std::localtime(&now);
        if (!t) return pxcm::fail("clock: the local time is unknown");
        const std::tm local = *t;
        const LinkResult r = camera_.setCameraClock(clockBytes(
            local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min));
        if (r != LINK_OK) return linkFailure("clock", r);
        std::printf("camera clock set to %04d-%02d-%02d %02d:%02d\n", local.tm_year + 1900,
                    local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min);
        return 0;
    }

    Options o_;
    CameraMessageReporter reporter_;
    CameraDevice camera_;
};

int run(const pxcm::CommandContext&, const std::vector<std::string>& args) {
    Options o;
    std::string error;
    if (!parseOptions(args, o, error)) return pxcm::fail(error);
    return CameraCommand(std::move(o)).run();
}

const pxcm::RegisterCommand reg{{
    "camera",
    "talk to the camera directly: scan, status, list, get, shoot, delete, mode, clock",
    USAGE,
    run,
}};

}  // namespace
