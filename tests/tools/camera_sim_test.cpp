// camera_sim_test.cpp — the simulated camera seen from the PC's end of its
// pty: handshake, status, information, both download methods, capture,
// deletion, faults, the rate check, line timing and the rate switch.
#include <asm/termbits.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <jpeglib.h>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

const std::string kSimulator = PXCM_BINARY_DIR "/pxcm-camera";

Bytes bytesOf(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

// Arbitrary but reproducible file content.
Bytes pattern(std::size_t size, int seed) {
    Bytes b(size);
    for (std::size_t i = 0; i < size; ++i)
        b[i] = static_cast<std::uint8_t>((i * 7 + seed * 31 + i / 251) & 0xFF);
    return b;
}

Bytes concat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes slice(const Bytes& b, std::size_t from, std::size_t length) {
    return Bytes(b.begin() + from, b.begin() + std::min(b.size(), from + length));
}

std::uint32_t be32(const Bytes& b, std::size_t at) {
    return (std::uint32_t{b[at]} << 24) | (std::uint32_t{b[at + 1]} << 16) |
           (std::uint32_t{b[at + 2]} << 8) | b[at + 3];
}

std::uint16_t be16(const Bytes& b, std::size_t at) {
    return static_cast<std::uint16_t>((b[at] << 8) | b[at + 1]);
}

double microsBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::micro>(to - from).count();
}

class TempDir {
public:
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "pxcm-sim-test-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~TempDir() { fs::remove_all(path_); }
    const std::string& path() const { return path_; }

    void write(const std::string& name, const Bytes& data) const {
        std::ofstream(path_ + "/" + name, std::ios::binary)
            .write(reinterpret_cast<const char*>(data.data()),
                   static_cast<std::streamsize>(data.size()));
    }
    Bytes read(const std::string& name) const {
        std::ifstream in(path_ + "/" + name, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }
    bool exists(const std::string& name) const { return fs::exists(path_ + "/" + name); }
    std::vector<std::string> names() const {
        std::vector<std::string> all;
        for (const auto& e : fs::directory_iterator(path_))
            all.push_back(e.path().filename().string());
        std::sort(all.begin(), all.end());
        return all;
    }

private:
    std::string path_;
};

// The simulator as a child process; its first stdout line is the slave path.
class Simulator {
public:
    explicit Simulator(const std::vector<std::string>& args, const std::string& tmpdir = "") {
        int out[2];
        if (::pipe(out) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(out[1], 1);
            ::close(out[0]);
            ::close(out[1]);
            if (!tmpdir.empty()) ::setenv("TMPDIR", tmpdir.c_str(), 1);
            std::vector<char*> argv{const_cast<char*>(kSimulator.c_str())};
            for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            ::execv(kSimulator.c_str(), argv.data());
            ::_exit(127);
        }
        ::close(out[1]);
        out_ = out[0];
        path_ = readLine(std::chrono::seconds(10));
    }
    ~Simulator() {
        stop();
        if (out_ >= 0) ::close(out_);
    }

    const std::string& path() const { return path_; }

    // SIGTERM, then the exit status (or -1 when it had to be killed).
    int stop() {
        if (pid_ <= 0) return status_;
        ::kill(pid_, SIGTERM);
        int status = 0;
        for (int i = 0; i < 100; ++i) {
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = 0;
                status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
                return status_;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, &status, 0);
        pid_ = 0;
        return status_ = -1;
    }

    // Everything else it wrote to stdout until it ended.
    std::string restOfOutput() {
        std::string rest;
        char c;
        while (::read(out_, &c, 1) == 1) rest += c;
        return rest;
    }

private:
    std::string readLine(std::chrono::seconds wait) {
        std::string line;
        auto deadline = Clock::now() + wait;
        char c;
        while (Clock::now() < deadline) {
            pollfd p{out_, POLLIN, 0};
            if (::poll(&p, 1, 100) <= 0) continue;
            if (::read(out_, &c, 1) != 1 || c == '\n') break;
            line += c;
        }
        return line;
    }

    pid_t pid_ = -1;
    int out_ = -1;
    int status_ = -1;
    std::string path_;
};

// The PC's end: the slave opened raw, at 9600 baud 8O2 like the real port.
class PcPort {
public:
    explicit PcPort(const std::string& path) { open(path); }
    ~PcPort() { close(); }

    void open(const std::string& path) {
        fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        termios2 t{};
        ::ioctl(fd_, TCGETS2, &t);
        t.c_iflag = 0;
        t.c_oflag = 0;
        t.c_lflag = 0;
        t.c_cflag = CS8 | CREAD | CLOCAL | PARENB | PARODD | CSTOPB;
        setRate(t, 9600);
        ::ioctl(fd_, TCSETS2, &t);
    }
    void close() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }
    bool isOpen() const { return fd_ >= 0; }

    void switchRate(int baud) {
        termios2 t{};
        ::ioctl(fd_, TCGETS2, &t);
        setRate(t, baud);
        ::ioctl(fd_, TCSETS2, &t);
        ::ioctl(fd_, TCFLSH, TCIOFLUSH);
    }

    void write(const Bytes& b) const {
        ASSERT_EQ(::write(fd_, b.data(), b.size()), static_cast<ssize_t>(b.size()));
    }

    // Up to `n` bytes, whatever arrived within `wait`.
    Bytes read(std::size_t n, int waitMs = 1000) const {
        Bytes got;
        auto deadline = Clock::now() + std::chrono::milliseconds(waitMs);
        while (got.size() < n) {
            auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now())
                    .count();
            if (left <= 0) break;
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(left)) <= 0) continue;
            std::uint8_t buffer[512];
            ssize_t r = ::read(fd_, buffer, std::min(sizeof buffer, n - got.size()));
            if (r > 0) got.insert(got.end(), buffer, buffer + r);
        }
        return got;
    }

    // Up to `n` bytes into `into` as they came: for each read, the moment it
    // returned and the count received so far.
    std::vector<std::pair<Clock::time_point, std::size_t>> readPieces(std::size_t n, Bytes& into,
                                                                      int waitMs = 1000) const {
        std::vector<std::pair<Clock::time_point, std::size_t>> pieces;
        const auto deadline = Clock::now() + std::chrono::milliseconds(waitMs);
        while (into.size() < n && Clock::now() < deadline) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 10) <= 0) continue;
            std::uint8_t buffer[512];
            ssize_t r = ::read(fd_, buffer, std::min(sizeof buffer, n - into.size()));
            if (r <= 0) continue;
            into.insert(into.end(), buffer, buffer + r);
            pieces.emplace_back(Clock::now(), into.size());
        }
        return pieces;
    }

    // Handshake, then the request; the reply of `n` bytes.
    Bytes request(const std::string& framed, std::size_t n, int waitMs = 2000) const {
        write({0x00});
        Bytes g = read(2);
        EXPECT_EQ(g, bytesOf("G:")) << "no handshake before " << framed;
        write(bytesOf(framed));
        return read(n, waitMs);
    }

private:
    static void setRate(termios2& t, int baud) {
        t.c_cflag = (t.c_cflag & ~CBAUD) | BOTHER;
        t.c_ispeed = static_cast<speed_t>(baud);
        t.c_ospeed = static_cast<speed_t>(baud);
    }

    int fd_ = -1;
};

std::string arg(const char* request, int n) {
    return std::string(request) + static_cast<char>(n) + ":";
}

std::string download(char letter, int number, int speedCode) {
    return std::string(1, letter) + ":" + static_cast<char>(number) + ":" +
           static_cast<char>(speedCode) + ":";
}

Bytes block(int number) {
    return {static_cast<std::uint8_t>(number >> 8), static_cast<std::uint8_t>(number)};
}

void setFileTime(const std::string& path, int year, int month, int day, int hour, int minute) {
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_isdst = -1;
    std::time_t t = std::mktime(&tm);
    timespec times[2] = {{t, 0}, {t, 0}};
    ::utimensat(AT_FDCWD, path.c_str(), times, 0);
}

struct ImageSize {
    int width = 0, height = 0;
};

struct JpegTrap {
    jpeg_error_mgr manager;
    std::jmp_buf back;
};

// The dimensions libjpeg reads from a JPEG header; zeros when it is not one.
ImageSize jpegHeader(const Bytes& data) {
    jpeg_decompress_struct info;
    JpegTrap trap;
    info.err = jpeg_std_error(&trap.manager);
    trap.manager.error_exit = [](j_common_ptr c) {
        std::longjmp(reinterpret_cast<JpegTrap*>(c->err)->back, 1);
    };
    trap.manager.output_message = [](j_common_ptr) {};
    ImageSize size;
    if (setjmp(trap.back)) {
        jpeg_destroy_decompress(&info);
        return ImageSize{};
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data.data(), static_cast<unsigned long>(data.size()));
    jpeg_read_header(&info, TRUE);
    size.width = static_cast<int>(info.image_width);
    size.height = static_cast<int>(info.image_height);
    jpeg_destroy_decompress(&info);
    return size;
}

// A whole addressed transfer after the request: blocks in order, then the stop bytes.
Bytes fetchAddressed(PcPort& pc, std::size_t size) {
    Bytes data;
    for (std::size_t i = 0; i * 32 < size; ++i) {
        pc.write(block(static_cast<int>(i)));
        Bytes got = pc.read(std::min<std::size_t>(32, size - i * 32));
        data.insert(data.end(), got.begin(), got.end());
    }
    pc.write({0xFF, 0xFF});
    return data;
}

TEST(CameraSim, HandshakeStatusModesAndClock) {
    TempDir dir;
    dir.write("a.jpg", pattern(10, 1));
    dir.write("b.jpg", pattern(11, 2));
    Simulator sim({"--dir", dir.path(), "--free", "7", "--battery", "2", "--mode-q", "1", "--clock",
                   "1998-03-05T14:07"});
    ASSERT_FALSE(sim.path().empty());
    PcPort pc(sim.path());

    // A request without the wake-up byte is not answered.
    pc.write(bytesOf("P:"));
    EXPECT_TRUE(pc.read(12, 300).empty());

    EXPECT_EQ(pc.request("P:", 12), (Bytes{'S', ':', 2, 7, 0x22, 0xCE, 3, 5, 14, 7, 2, 0}));
    EXPECT_EQ(pc.request(arg("T:", 1), 12)[4], 0x33);
    EXPECT_EQ(pc.request(arg("Q:", 0), 12)[4], 0x11);
    EXPECT_EQ(pc.request(arg("T:", 0), 12)[4], 0x00);

    // 5 March 1999, 14:07: year byte 0xCF, then the plain fields; no ':' after them.
    Bytes status = pc.request(std::string("M:") + "\xCF\x03\x05\x0E\x07", 12);
    EXPECT_EQ(slice(status, 0, 2), bytesOf("S:"));
    EXPECT_EQ(slice(status, 5, 5), (Bytes{0xCF, 3, 5, 14, 7}));
    // Argument bytes equal to 0x00 are data, not handshakes.
    status = pc.request(std::string("M:") + std::string("\xD0\x01\x01\x00\x00", 5), 12);
    EXPECT_EQ(slice(status, 5, 5), (Bytes{0xD0, 1, 1, 0, 0}));

    EXPECT_EQ(pc.request("y:", 2), (Bytes{40, ':'}));
}

TEST(CameraSim, InformationReplyLayout) {
    TempDir dir;
    dir.write("a.jpg", pattern(100000, 1));
    dir.write("a.thumb.jpg", pattern(20, 2));
    dir.write("b.jpg", pattern(33, 3));
    dir.write("notes.txt", pattern(5, 4));
    setFileTime(dir.path() + "/a.jpg", 2001, 2, 3, 4, 5);
    Simulator sim({"--dir", dir.path()});
    PcPort pc(sim.path());

    EXPECT_EQ(pc.request("P:", 12)[2], 2);
    Bytes info = pc.request(arg("I:", 1), 22);
    ASSERT_EQ(info.size(), 22u);
    EXPECT_EQ(slice(info, 0, 3), (Bytes{'C', ':', 1}));
    EXPECT_EQ(be16(info, 3), 0);  // not a JPEG: no width
    EXPECT_EQ(be32(info, 5), 20u);
    EXPECT_EQ(be16(info, 9), 0);
    EXPECT_EQ(slice(info, 11, 4), (Bytes{0x00, 0x01, 0x86, 0xA0}));
    EXPECT_EQ(slice(info, 15, 7), (Bytes{2001 - 1792, 2, 3, 4, 5, 0, 0}));

    info = pc.request(arg("I:", 2), 22);
    EXPECT_EQ(info[2], 2);
    EXPECT_EQ(be32(info, 5), 0u);  // no thumbnail file
    EXPECT_EQ(be32(info, 11), 33u);

    // Past the count: the number and zeros.
    info = pc.request(arg("I:", 3), 22);
    Bytes empty(22, 0);
    empty[0] = 'C';
    empty[1] = ':';
    empty[2] = 3;
    EXPECT_EQ(info, empty);
}

TEST(CameraSim, AddressedDownloadIsByteExact) {
    TempDir dir;
    const Bytes picture = pattern(100, 5), thumbnail = pattern(20, 6);
    dir.write("p.jpg", picture);
    dir.write("p.thumb.jpg", thumbnail);
    Simulator sim({"--dir", dir.path()});
    PcPort pc(sim.path());
    Bytes info = pc.request(arg("I:", 1), 22);

    // Picture at 115200: acknowledgement and information at 9600, then the
    // second acknowledgement after the switch.
    EXPECT_EQ(pc.request(download('F', 1, 7), 24), concat(bytesOf("A:"), info));
    pc.switchRate(115200);
    EXPECT_EQ(pc.read(2), bytesOf("A:"));
    for (int n : {3, 0, 2, 1}) {  // any order; the last block is 4 bytes
        pc.write(block(n));
        EXPECT_EQ(pc.read(32), slice(picture, n * 32, 32)) << "block " << n;
    }
    pc.write(block(4));  // past the end
    EXPECT_TRUE(pc.read(1, 300).empty());
    pc.write({0xFF, 0xFF});
    pc.switchRate(9600);
    EXPECT_EQ(pc.request("P:", 12)[2], 1);

    // Thumbnail at 56000: one short block, then the stop bytes with a pause.
    EXPECT_EQ(pc.request(download('H', 1, 15), 24).size(), 24u);
    pc.switchRate(56000);
    EXPECT_EQ(pc.read(2), bytesOf("A:"));
    pc.write(block(0));
    EXPECT_EQ(pc.read(32, 300), thumbnail);
    pc.write({0xFF});
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    pc.write({0xFF});
    pc.switchRate(9600);
    EXPECT_EQ(pc.request("P:", 12).size(), 12u);

    // A picture that is not there gets no answer at all.
    EXPECT_TRUE(pc.request(download('F', 2, 7), 2, 300).empty());
}

TEST(CameraSim, SteppedDownloadIsByteExact) {
    TempDir dir;
    const Bytes picture = pattern(70, 7), thumbnail = pattern(40, 8);
    dir.write("p.jpg", picture);
    dir.write("p.thumb.jpg", thumbnail);
    Simulator sim({"--dir", dir.path(), "--firmware", "3.9"});
    PcPort pc(sim.path());
    EXPECT_EQ(pc.request("y:", 2), (Bytes{39, ':'}));

    EXPECT_EQ(pc.request(download('F', 1, 46), 24).size(), 24u);
    pc.switchRate(19200);
    EXPECT_EQ(pc.read(2), bytesOf("A:"));
    Bytes data;
    for (int i = 0; i < 3; ++i) {
        pc.write({'O'});
        Bytes got = pc.read(32, 300);
        data.insert(data.end(), got.begin(), got.end());
    }
    EXPECT_EQ(data, picture);  // 32, 32, then the last 6
    pc.write({'O'});           // the transfer is over
    EXPECT_TRUE(pc.read(1, 300).empty());
    pc.switchRate(9600);

    // A PC that gives up halfway starts over with a handshake.
    EXPECT_EQ(pc.request(download('H', 1, 92), 24).size(), 24u);
    EXPECT_EQ(pc.read(2), bytesOf("A:"));
    pc.write({'O'});
    EXPECT_EQ(pc.read(32), slice(thumbnail, 0, 32));
    EXPECT_EQ(pc.request("P:", 12).size(), 12u);
}

TEST(CameraSim, TakingAPictureAddsOneOfTheModeSize) {
    TempDir dir;
    dir.write("IMG_0041.jpg", pattern(50, 9));
    Simulator sim({"--dir", dir.path(), "--free", "2", "--mode-q", "1"});
    PcPort pc(sim.path());

    Bytes status = pc.request("S:", 12, 5000);
    EXPECT_EQ(status[2], 2);
    EXPECT_EQ(status[3], 1);
    ASSERT_TRUE(dir.exists("IMG_0042.jpg"));
    ImageSize size = jpegHeader(dir.read("IMG_0042.jpg"));
    EXPECT_EQ(size.width, 320);
    EXPECT_EQ(size.height, 240);
    size = jpegHeader(dir.read("IMG_0042.thumb.jpg"));
    EXPECT_EQ(size.width, 80);
    EXPECT_EQ(size.height, 56);
    Bytes info = pc.request(arg("I:", 2), 22);
    EXPECT_EQ(be32(info, 11), dir.read("IMG_0042.jpg").size());
    EXPECT_EQ(be32(info, 5), dir.read("IMG_0042.thumb.jpg").size());
    EXPECT_EQ(be16(info, 3), 320);
    EXPECT_EQ(be16(info, 9), 240);

    EXPECT_EQ(pc.request(arg("Q:", 0), 12)[4], 0x00);
    status = pc.request("S:", 12, 5000);
    EXPECT_EQ(status[2], 3);
    EXPECT_EQ(status[3], 0);
    size = jpegHeader(dir.read("IMG_0043.jpg"));
    EXPECT_EQ(size.width, 640);
    EXPECT_EQ(size.height, 480);

    // Memory full: no picture.
    status = pc.request("S:", 12, 5000);
    EXPECT_EQ(status[2], 3);
    EXPECT_EQ(dir.names().size(), 5u);
}

TEST(CameraSim, DeletingRenumbersThePictures) {
    TempDir dir;
    dir.write("a.jpg", pattern(10, 1));
    dir.write("a.thumb.jpg", pattern(4, 1));
    dir.write("b.jpg", pattern(20, 2));
    dir.write("c.jpg", pattern(30, 3));
    Simulator sim({"--dir", dir.path(), "--free", "5"});
    PcPort pc(sim.path());

    Bytes status = pc.request(arg("L:", 1), 12);
    EXPECT_EQ(status[2], 2);
    EXPECT_EQ(status[3], 6);
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"b.jpg", "c.jpg"}));
    EXPECT_EQ(be32(pc.request(arg("I:", 1), 22), 11), 20u);
    EXPECT_EQ(be32(pc.request(arg("I:", 2), 22), 11), 30u);

    status = pc.request(arg("L:", 9), 12);  // no such picture
    EXPECT_EQ(status[2], 2);
    EXPECT_EQ(status[3], 6);
}

TEST(CameraSim, BuiltInSamplesAndLinkAreCleanedUp) {
    TempDir tmp;
    const std::string link = tmp.path() + "/camera-link";
    Simulator sim({"--link", link}, tmp.path());
    ASSERT_FALSE(sim.path().empty());
    EXPECT_EQ(fs::read_symlink(link).string(), sim.path());
    PcPort pc(link);

    EXPECT_EQ(pc.request("P:", 12)[2], 6);
    Bytes first = pc.request(arg("I:", 1), 22), second = pc.request(arg("I:", 2), 22);
    EXPECT_EQ(be16(first, 3), 640);
    EXPECT_EQ(be16(first, 9), 480);
    EXPECT_EQ(be16(second, 3), 320);
    EXPECT_EQ(be16(second, 9), 240);

    const std::uint32_t thumbnailSize = be32(first, 5);
    ASSERT_GT(thumbnailSize, 0u);
    ASSERT_LE(thumbnailSize, 13000u);
    EXPECT_EQ(pc.request(download('H', 1, 7), 24).size(), 24u);
    pc.switchRate(115200);
    EXPECT_EQ(pc.read(2), bytesOf("A:"));
    Bytes thumbnail = fetchAddressed(pc, thumbnailSize);
    ImageSize size = jpegHeader(thumbnail);
    EXPECT_EQ(size.width, 80);
    EXPECT_EQ(size.height, 56);
    pc.close();

    EXPECT_EQ(sim.stop(), 0);
    EXPECT_EQ(sim.restOfOutput(), "");
    EXPECT_EQ(tmp.names(), std::vector<std::string>{});  // samples and link gone
}

TEST(CameraSim, PortCanBeClosedAndReopened) {
    TempDir dir;
    dir.write("a.jpg", pattern(10, 1));
    Simulator sim({"--dir", dir.path()});
    PcPort pc(sim.path());
    EXPECT_EQ(pc.request("P:", 12).size(), 12u);
    pc.close();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    pc.open(sim.path());
    ASSERT_TRUE(pc.isOpen());
    EXPECT_EQ(pc.request("P:", 12)[2], 1);
}

TEST(CameraSim, ReplyFaults) {
    TempDir dir;
    dir.write("a.jpg", pattern(10, 1));
    Simulator sim({"--dir", dir.path(), "--fault", "bad-header:P", "--fault", "short:I", "--fault",
                   "silent-after:3"});
    PcPort pc(sim.path());

    Bytes status = pc.request("P:", 12);
    ASSERT_EQ(status.size(), 12u);
    EXPECT_EQ(status[0], '?');
    EXPECT_EQ(status[1], ':');
    EXPECT_EQ(pc.request(arg("I:", 1), 22, 400).size(), 11u);
    EXPECT_EQ(pc.request(arg("T:", 1), 12).size(), 12u);  // the third request still answered
    pc.write({0x00});
    EXPECT_TRUE(pc.read(2, 400).empty());
}

TEST(CameraSim, BlockFaults) {
    TempDir dir;
    const Bytes picture = pattern(96, 3);
    dir.write("a.jpg", picture);
    Simulator sim({"--dir", dir.path(), "--fault", "fail-block:1:2", "--fault", "corrupt-block:0",
                   "--fault", "stop-after-blocks:3"});
    PcPort pc(sim.path());

    EXPECT_EQ(pc.request(download('F', 1, 92), 24).size(), 24u);
    EXPECT_EQ(pc.read(2), bytesOf("A:"));
    pc.write(block(0));
    Bytes corrupted = pc.read(32);
    ASSERT_EQ(corrupted.size(), 32u);
    EXPECT_NE(corrupted, slice(picture, 0, 32));
    EXPECT_EQ(corrupted[5], picture[5] ^ 0xA5);
    pc.write(block(0));
    EXPECT_EQ(pc.read(32), slice(picture, 0, 32));  // corrupted once only
    for (int tryNo = 1; tryNo <= 2; ++tryNo) {
        pc.write(block(1));
        EXPECT_TRUE(pc.read(32, 300).empty()) << "try " << tryNo;
    }
    pc.write(block(1));
    EXPECT_EQ(pc.read(32), slice(picture, 32, 32));
    pc.write(block(2));  // three blocks answered: no more
    EXPECT_TRUE(pc.read(32, 300).empty());
    pc.write({0xFF, 0xFF});
    EXPECT_EQ(pc.request("P:", 12).size(), 12u);  // requests still answered
}

TEST(CameraSim, CutBlockComesHalfThenWhole) {
    TempDir dir;
    const Bytes picture = pattern(64, 5);
    dir.write("a.jpg", picture);
    Simulator sim({"--dir", dir.path(), "--fault", "cut-block:1:2"});
    PcPort pc(sim.path());
    EXPECT_EQ(pc.request(download('F', 1, 92), 24).size(), 24u);
    EXPECT_EQ(pc.read(2), bytesOf("A:"));
    for (int tryNo = 1; tryNo <= 2; ++tryNo) {
        pc.write(block(1));
        EXPECT_EQ(pc.read(32, 300), slice(picture, 32, 16)) << "try " << tryNo;
    }
    pc.write(block(1));
    EXPECT_EQ(pc.read(32), slice(picture, 32, 32));
}

TEST(CameraSim, CheckRateWantsTheExactRate) {
    TempDir dir;
    const Bytes picture = pattern(40, 4);
    dir.write("a.jpg", picture);
    Simulator sim({"--dir", dir.path(), "--check-rate"});
    PcPort pc(sim.path());

    // 57600 is not 56000: the camera stays silent and goes back to 9600.
    EXPECT_EQ(pc.request(download('F', 1, 15), 24).size(), 24u);
    pc.switchRate(57600);
    EXPECT_TRUE(pc.read(2, 2000).empty());
    pc.switchRate(9600);
    EXPECT_EQ(pc.request("P:", 12).size(), 12u);

    EXPECT_EQ(pc.request(download('F', 1, 15), 24).size(), 24u);
    pc.switchRate(56000);
    EXPECT_EQ(pc.read(2), bytesOf("A:"));
    EXPECT_EQ(fetchAddressed(pc, picture.size()), picture);
}

TEST(CameraSim, TimingSlowsATransfer) {
    TempDir dir;
    const Bytes thumbnail = pattern(600, 5);
    dir.write("a.jpg", pattern(10, 1));
    dir.write("a.thumb.jpg", thumbnail);
    auto transferSeconds = [&](const std::vector<std::string>& args) {
        Simulator sim(args);
        PcPort pc(sim.path());
        auto start = Clock::now();
        EXPECT_EQ(pc.request(download('H', 1, 92), 24).size(), 24u);
        EXPECT_EQ(pc.read(2), bytesOf("A:"));
        EXPECT_EQ(fetchAddressed(pc, thumbnail.size()), thumbnail);
        return std::chrono::duration<double>(Clock::now() - start).count();
    };
    double plain = transferSeconds({"--dir", dir.path()});
    double timed = transferSeconds({"--dir", dir.path(), "--timing"});
    // 626 bytes from the camera at 12 bits each and 9600 baud take 0.78 s.
    EXPECT_GT(timed, 0.6);
    EXPECT_GT(timed, plain + 0.3);
}

TEST(CameraSim, TimedDataNeverArrivesBeforeItsWireTime) {
    TempDir dir;
    const Bytes picture = pattern(32 * 24, 6);
    dir.write("a.jpg", picture);
    // The camera may take a request as started this long before it saw it
    // (the OS's hand-over delay, measured at start-up and capped).
    const double handOverUs = 100;
    struct Method {
        const char* firmware;
        int speedCode, baud;
        bool addressed;
    };
    for (const Method m : {Method{"4.0", 7, 115200, true}, Method{"3.9", 15, 56000, false}}) {
        SCOPED_TRACE(m.firmware);
        Simulator sim({"--dir", dir.path(), "--firmware", m.firmware, "--timing"});
        PcPort pc(sim.path());
        ASSERT_EQ(pc.request(download('F', 1, m.speedCode), 24).size(), 24u);
        pc.switchRate(m.baud);
        ASSERT_EQ(pc.read(2), bytesOf("A:"));
        const double byteUs = 12e6 / m.baud;
        const std::size_t asked = m.addressed ? 2 : 1;
        for (int n = 0; n < 24; ++n) {
            const auto sent = Clock::now();
            pc.write(m.addressed ? block(n) : Bytes{'O'});
            Bytes data;
            for (const auto& [at, count] : pc.readPieces(32, data))
                EXPECT_GE(microsBetween(sent, at) + handOverUs,
                          byteUs * static_cast<double>(asked + count))
                    << "block " << n << ", " << count << " bytes";
            ASSERT_EQ(data, slice(picture, n * 32, 32)) << "block " << n;
        }
        if (m.addressed) pc.write({0xFF, 0xFF});
    }
}

TEST(CameraSim, AnAdapterLatencyTimerHoldsEveryShortReply) {
    TempDir dir;
    const Bytes picture = pattern(32 * 4, 8);
    dir.write("a.jpg", picture);
    // The longest wait for one block, from its request to its last byte.
    auto slowestBlockMs = [&](const std::vector<std::string>& extra) {
        std::vector<std::string> args{"--dir", dir.path()};
        args.insert(args.end(), extra.begin(), extra.end());
        Simulator sim(args);
        PcPort pc(sim.path());
        EXPECT_EQ(pc.request(download('F', 1, 7), 24).size(), 24u);
        pc.switchRate(115200);
        EXPECT_EQ(pc.read(2), bytesOf("A:"));
        double slowest = 0;
        for (int n = 0; n < 4; ++n) {
            const auto sent = Clock::now();
            pc.write(block(n));
            EXPECT_EQ(pc.read(32, 1000), slice(picture, n * 32, 32)) << "block " << n;
            slowest = std::max(slowest, microsBetween(sent, Clock::now()) / 1000.0);
        }
        pc.write({0xFF, 0xFF});
        return slowest;
    };
    // Held for the whole timer, every block, and the bytes still exact.
    EXPECT_GE(slowestBlockMs({"--latency-timer", "60"}), 60.0);
    // A PC whose low-latency request reached the adapter: a 1 ms timer.
    EXPECT_LT(slowestBlockMs({"--latency-timer", "60", "--low-latency-honoured"}), 45.0);

    Simulator bad({"--latency-timer", "0"});
    EXPECT_EQ(bad.path(), "");
    EXPECT_EQ(bad.stop(), 2);
}

TEST(CameraSim, AcknowledgementAtTheNewRateWaitsForThePcsPurge) {
    TempDir dir;
    dir.write("a.jpg", pattern(40, 2));
    Simulator sim({"--dir", dir.path()});
    PcPort pc(sim.path());

    // Switched and purged at once: the acknowledgement follows at once.
    ASSERT_EQ(pc.request(download('F', 1, 7), 24).size(), 24u);
    auto informed = Clock::now();
    pc.switchRate(115200);
    EXPECT_EQ(pc.read(2), bytesOf("A:"));
    EXPECT_LT(microsBetween(informed, Clock::now()), 80000);
    pc.write({0xFF, 0xFF});
    pc.switchRate(9600);

    // A PC slow to purge still gets it: it is not sent into the purge.
    ASSERT_EQ(pc.request(download('F', 1, 15), 24).size(), 24u);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    pc.switchRate(56000);
    EXPECT_EQ(pc.read(2), bytesOf("A:"));
    pc.write({0xFF, 0xFF});
    pc.switchRate(9600);

    // A PC that purges nothing gets it after the settling time.
    ASSERT_EQ(pc.request(download('F', 1, 92), 24).size(), 24u);
    informed = Clock::now();
    EXPECT_EQ(pc.read(2), bytesOf("A:"));
    EXPECT_GE(microsBetween(informed, Clock::now()), 90000);
    pc.write({0xFF, 0xFF});
    EXPECT_EQ(pc.request("P:", 12).size(), 12u);
}

TEST(CameraSim, CommandLine) {
    Simulator bad({"--fault", "sometimes"});
    EXPECT_EQ(bad.path(), "");
    EXPECT_EQ(bad.stop(), 2);

    std::string help;
    {
        std::FILE* p = ::popen((kSimulator + " --help").c_str(), "r");
        ASSERT_NE(p, nullptr);
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, p)) > 0) help.append(buffer, n);
        EXPECT_EQ(::pclose(p), 0);
    }
    for (const char* option : {"--link",
                               "--dir",
                               "--firmware",
                               "--timing",
                               "--check-rate",
                               "--battery",
                               "--mode-q",
                               "--mode-t",
                               "--free",
                               "--clock",
                               "--fault",
                               "--help",
                               "--latency-timer",
                               "--low-latency-honoured",
                               "silent-after:N",
                               "short:L",
                               "bad-header:L",
                               "fail-block:N:T",
                               "cut-block:N:T",
                               "corrupt-block:N",
                               "stop-after-blocks:N",
                               ".thumb.jpg"})
        EXPECT_NE(help.find(option), std::string::npos) << option;
}

}  // namespace
