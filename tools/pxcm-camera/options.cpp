// options.cpp — command-line parsing and the --help text, which is also the
// reference of what the camera answers where the PC side leaves it open.
#include "tools/pxcm-camera/options.h"

#include <cstring>
#include <string_view>

#include "tools/common/arg_reader.h"

namespace pxcmcam {

namespace {

// "4.0", "3.9", "12.5": one decimal, as the version byte holds it.
bool parseFirmware(const std::string& text, int& tenths) {
    auto dot = text.find('.');
    int whole = 0, fraction = 0;
    if (dot == std::string::npos || dot + 2 != text.size()) return false;
    if (!tools::parseNumber(text.substr(0, dot), 0, 25, whole) ||
        !tools::parseNumber(text.substr(dot + 1), 0, 9, fraction))
        return false;
    if (whole * 10 + fraction > 255) return false;
    tenths = whole * 10 + fraction;
    return true;
}

}  // namespace

bool parseOptions(int argc, char** argv, Options& out, std::string& error) {
    tools::ArgReader reader({argv + 1, argv + argc}, {{"--help"},
                                                      {"-h"},
                                                      {"--timing"},
                                                      {"--check-rate"},
                                                      {"--check-format"},
                                                      {"--low-latency-honoured"},
                                                      {"--verbose"},
                                                      {"--latency-timer", true},
                                                      {"--transfer-wait", true},
                                                      {"--link", true},
                                                      {"--dir", true},
                                                      {"--firmware", true},
                                                      {"--battery", true},
                                                      {"--mode-q", true},
                                                      {"--mode-t", true},
                                                      {"--free", true},
                                                      {"--clock", true},
                                                      {"--fault", true}});
    for (auto next = reader.next(); next != tools::ArgReader::Next::End; next = reader.next()) {
        const std::string& arg = reader.name();
        const std::string& value = reader.value();
        auto bad = [&](const char* expected) {
            error = "bad value '" + value + "' for " + arg + " (" + expected + ")";
            return false;
        };
        switch (next) {
            case tools::ArgReader::Next::ValueOnFlag:
                error = arg + " takes no value";
                return false;
            case tools::ArgReader::Next::MissingValue:
                error = arg + " needs a value";
                return false;
            case tools::ArgReader::Next::Option:
                break;
            default:
                error = "unknown option '" + reader.arg() + "'";
                return false;
        }
        if (arg == "--help" || arg == "-h") {
            out.help = true;
        } else if (arg == "--timing") {
            out.timing = true;
        } else if (arg == "--check-rate") {
            out.checkRate = true;
        } else if (arg == "--check-format") {
            out.checkFormat = true;
        } else if (arg == "--low-latency-honoured") {
            out.lowLatencyHonoured = true;
        } else if (arg == "--transfer-wait") {
            if (!tools::parseNumber(value, 100, 60000, out.transferWaitMs))
                return bad("100 to 60000 ms");
        } else if (arg == "--verbose") {
            out.verbose = true;
        } else if (arg == "--latency-timer") {
            if (!tools::parseNumber(value, 1, 255, out.latencyTimerMs)) return bad("1 to 255 ms");
        } else if (arg == "--link") {
            if (value.empty()) return bad("a path");
            out.link = value;
        } else if (arg == "--dir") {
            if (value.empty()) return bad("a folder");
            out.dir = value;
        } else if (arg == "--firmware") {
            if (!parseFirmware(value, out.firmware)) return bad("a version such as 3.9 or 4.0");
        } else if (arg == "--battery") {
            if (!tools::parseNumber(value, 0, 255, out.battery)) return bad("0 to 255");
        } else if (arg == "--mode-q" || arg == "--mode-t") {
            int v = 0;
            if (!tools::parseNumber(value, 0, 1, v)) return bad("0 or 1");
            (arg == "--mode-q" ? out.modeQ : out.modeT) = v == 1;
        } else if (arg == "--free") {
            if (!tools::parseNumber(value, 0, 255, out.freeFrames)) return bad("0 to 255");
        } else if (arg == "--clock") {
            out.clock = parseCameraTime(value);
            if (!out.clock) return bad("YYYY-MM-DDTHH:MM, years 1792 to 2047");
        } else {
            if (!addFault(value, out.faults, error)) return false;
        }
    }
    return true;
}

const char* helpText() {
    return R"(Usage: pxcm-camera [OPTION]...
A simulated KMT-18/19 camera on a pseudo-terminal.

Prints the slave path of a new pty as the first line on stdout (nothing else
ever goes to stdout), then answers the camera's serial protocol on it until
SIGTERM or SIGINT. The PC side may close and reopen the pty at any time.

Options:
  --link PATH         also make PATH a symlink to the slave (an existing link
                      is replaced; removed again at exit)
  --dir DIR           keep the pictures in DIR (see Picture folder); without
                      it, six generated sample pictures (640x480 and 320x240
                      in turn, with 80x56 thumbnails) live in a private
                      temporary folder that is removed at exit
  --firmware V        version answered to "y": 3.9 (stepped downloads) or
                      4.0 (addressed downloads), or any version with one
                      decimal up to 25.5; default 4.0
  --timing            every byte costs 12 bit times at the current rate
                      (9600 baud for requests, the download rate for data),
                      both ways; taking a picture then takes 1 s (11 s with
                      the self-timer on) and deleting one 0.3 s
  --check-rate        before the acknowledgement that follows the rate switch,
                      and before every data block, check that the PC really
                      set its end of the line to the download rate (waiting up
                      to 1.5 s for the switch); if not, stay silent and say
                      so on stderr
  --check-format      at every handshake and before every data block, check
                      that the PC's end of the line is 8 data bits, odd
                      parity, two stop bits (a pty shows parity only by its
                      odd flag: it drops the enable flag); if not, stay
                      silent and say so on stderr
  --transfer-wait MS  behave as the real camera in an addressed transfer:
                      no handshake ends it (a 0x00 is one more stray byte),
                      only the stop bytes or MS (100 to 60000) ms without
                      any byte from the PC, each byte starting the wait
                      afresh; without it a lone 0x00 is taken for a
                      handshake and 10 s of silence end the transfer
  --latency-timer MS  answer through a model of a USB serial adapter: bytes
                      reach the PC in packets of 62, and a shorter run only
                      MS (1 to 255) ms after its first byte came, as the
                      adapter's latency timer holds it (16 ms is the common
                      default). Every reply of the camera is such a run.
  --low-latency-honoured
                      with --latency-timer: model a PC whose request for low
                      latency (the ASYNC_LOW_LATENCY flag, which the source
                      sets where a driver offers it) reached the adapter,
                      which then holds runs for 1 ms only. A pty cannot pass
                      the flag on, so the simulator takes it from here.
  --battery N         battery byte of the status: 1 full, 2 half, 3 low,
                      anything else empty (default 1)
  --mode-q 0|1        initial picture-size mode, 1 = 320x240 (default 0)
  --mode-t 0|1        initial self-timer mode (default 0)
  --free N            initial free frames, 0 to 255 (default 20)
  --clock YYYY-MM-DDTHH:MM
                      initial camera clock (default: this machine's local
                      time); the clock runs on from there
  --fault SPEC        inject a fault; may be given several times:
      silent              never answer anything
      silent-after:N      answer N complete requests (and the handshakes
                          before them), then nothing at all
      short:L             answer request letter L with the first half of its
                          reply (F/H: of the 22-byte information, and the
                          transfer stops there)
      bad-header:L        answer L with '?' (0x3F) as the first byte
                          (y: as the version byte; F/H: of the information)
      fail-block:N:T      leave data block N unanswered the first T times it
                          is asked for (counted over the whole run)
      cut-block:N:T       send only the first half of data block N the first
                          T times it is asked for, as a noisy line loses bytes
      corrupt-block:N     send data block N with every byte XOR 0xA5 the
                          first time it is answered, correctly afterwards
      corrupt-block-always:N  send data block N damaged every time it is
                          answered, each time differently (XOR 0xA5 and the
                          number of the try), as a bad line would
      stop-after-blocks:N answer N data blocks in all, then no further data
                          block (other requests are still answered)
      exit-after-blocks:N answer N data blocks in all, then end as if
                          switched off: the pty closes at the next block
  --verbose           trace requests and decisions on stderr
  --help              show this text and exit

Picture folder:
  The pictures are the files DIR/*.jpg that do not end in .thumb.jpg, sorted
  by name (byte order) and numbered from 1; NAME.jpg has the thumbnail
  NAME.thumb.jpg (thumbnail size 0 when absent). The files need not be JPEG.
  The folder is read afresh for every request. A picture's date is its
  file's modification time (local time); its marker is 0. "S" writes a new
  picture (320x240 when mode Q is 1, else 640x480) and its 80x56 thumbnail
  under a name that sorts last, dated by the camera clock; "L" deletes both
  files of a picture, and the later ones move up.

What the camera answers:
  0x00                -> "G:". Each request needs a handshake before it;
                         other bytes outside a request are ignored; a request
                         whose bytes pause for over 0.5 s is dropped.
  P:  Q:v:  T:v:  S:  L:n:  M:yMDhm (five bytes, no ':' after them)
                      -> status, 12 bytes: "S:", picture count, free frames,
                         mode (0x22 when Q is 1, 0x11 when T is 1), year-1792,
                         month, day, hour, minute, battery, 0x00.
                         M sets the clock (year 0x700 OR y). S with no free
                         frame, or 255 pictures, takes none. L with a number
                         outside 1..count deletes nothing.
  I:n:                -> information, 22 bytes: "C:", number, value A (BE16:
                         the JPEG's width, 0 when not a JPEG), thumbnail size
                         (BE32), value B (BE16: the JPEG's height), picture
                         size (BE32), year-1792, month, day, hour, minute,
                         marker 0, 0x00. A number outside 1..count gets "C:",
                         the number and zeros.
  y:                  -> version x 10, ':'.
  F:n:c:  H:n:c:      -> "A:", the information (as I), then, as soon as the
                         PC has purged its input after it (at most 100 ms
                         later), at the rate of speed code c (7: 115200,
                         15: 56000, 46: 19200, 92 and unknown codes: 9600)
                         "A:" and the data of the picture (F) or thumbnail (H):
                         firmware below 4.0 answers each "O" with the next 32
                         bytes (the last block shorter) and ends after the
                         last; 4.0 and later answer block number high, low
                         with that block (the last one shorter), ignore
                         numbers past the end, and end at 0xFF 0xFF (any pause
                         between the two). Back to 9600 after the transfer; a
                         lone 0x00 in the data phase ends it and is taken as a
                         handshake. A number outside 1..count gets no answer.
)";
}

}  // namespace pxcmcam
