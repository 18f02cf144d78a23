// trace_test.cpp — the trace a user switches on with $PXCM_TRACE: nothing
// without it, time-stamped lines and one line per triplet with it, and no
// change to any answer when its file cannot be opened at once or is no
// regular file.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <future>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/trace.h"
#include "source_fixture.h"

using testsupport::SourceTest;

namespace {

struct Answer {
    TW_UINT16 rc;
    TW_UINT16 cc;
    bool operator==(const Answer& o) const { return rc == o.rc && cc == o.cc; }
};

class TraceTest : public SourceTest {
protected:
    Answer send(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
        const TW_UINT16 rc = call(dg, dat, msg, data);
        return {rc, g_source.conditionCode};
    }
    // A session with successes and failures of each kind.
    std::vector<Answer> session() {
        std::vector<Answer> answers;
        TW_IDENTITY ds{};
        answers.push_back(send(DG_CONTROL, DAT_IDENTITY, MSG_GET, &ds));
        ds.Id = 42;
        answers.push_back(send(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &ds));
        TW_PENDINGXFERS pending{};
        answers.push_back(send(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &pending));
        TW_STATUS status{};
        answers.push_back(send(DG_CONTROL, DAT_STATUS, MSG_GET, &status));
        answers.push_back({status.ConditionCode, 0});
        answers.push_back(send(DG_CONTROL, 0x0123, MSG_GET, nullptr));
        answers.push_back(send(4, DAT_NULL, MSG_GET, nullptr));
        answers.push_back(send(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, nullptr));
        answers.push_back(send(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, nullptr));
        return answers;
    }
    std::vector<std::string> lines(const std::string& rel) {
        std::vector<std::string> out;
        std::istringstream in(root.read(rel));
        for (std::string line; std::getline(in, line);) out.push_back(line);
        return out;
    }
};

bool endsWith(const std::string& line, const std::string& text) {
    return line.size() >= text.size() &&
           line.compare(line.size() - text.size(), text.size(), text) == 0;
}

bool has(const std::vector<std::string>& lines, const std::string& text) {
    for (const std::string& l : lines)
        if (endsWith(l, text)) return true;
    return false;
}

TEST_F(TraceTest, OffByDefaultWritesNothing) {
    const std::vector<Answer> answers = session();
    EXPECT_EQ(answers.size(), 9u);
    EXPECT_FALSE(plat::g_traceOn);
    EXPECT_FALSE(root.exists("camds.log"));
    EXPECT_FALSE(root.exists("trace.log"));
}

TEST_F(TraceTest, OnWritesTimeStampedLinesAndEveryTriplet) {
    root.write("camds.log", "old trace");
    setenv("PXCM_TRACE", root.file("trace.log").c_str(), 1);
    session();
    EXPECT_FALSE(root.exists("camds.log")) << "the open still removes the old trace file";
    const std::vector<std::string> got = lines("trace.log");
    ASSERT_FALSE(got.empty());
    const std::regex stamped(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} \([A-Z ]{4}\) : .+)");
    for (const std::string& line : got) EXPECT_TRUE(std::regex_match(line, stamped)) << line;

    // The switch is read at the open: what came before it is not traced.
    EXPECT_FALSE(
        has(got, "(TRIP) : DG_CONTROL / DAT_IDENTITY / MSG_GET -> TWRC_SUCCESS, TWCC_SUCCESS"));
    const char* expected[] = {
        "(PROT) : TW_UINT16 OpenDS",
        "(TRIP) : DG_CONTROL / DAT_IDENTITY / MSG_OPENDS -> TWRC_SUCCESS, TWCC_SUCCESS",
        "(PROT) : TW_UINT16 PendingXferMsg",
        "(PROT) : VOID DS_Error",
        "(TRIP) : DG_CONTROL / DAT_PENDINGXFERS / MSG_RESET -> TWRC_FAILURE, TWCC_SEQERROR",
        "(TRIP) : DG_CONTROL / DAT_STATUS / MSG_GET -> TWRC_SUCCESS, TWCC_SUCCESS",
        "(TRIP) : DG_CONTROL / DAT 0x0123 / MSG_GET -> TWRC_FAILURE, TWCC_BADPROTOCOL",
        "(TRIP) : DG_AUDIO / DAT_NULL / MSG_GET -> TWRC_FAILURE, TWCC_BADPROTOCOL",
        "(TRIP) : DG_CONTROL / DAT_IDENTITY / MSG_CLOSEDS -> TWRC_SUCCESS, TWCC_SUCCESS",
        "(TRIP) : DG_CONTROL / DAT_IDENTITY / MSG_CLOSEDS -> TWRC_FAILURE, TWCC_SEQERROR",
    };
    // In this order, each handler's lines before its triplet's.
    size_t at = 0;
    for (const char* text : expected) {
        while (at < got.size() && !endsWith(got[at], text)) ++at;
        EXPECT_LT(at, got.size()) << "missing, or out of order: " << text;
    }

    // The event loop's messages are not traced.
    const size_t before = lines("trace.log").size();
    TW_EVENT event{};
    EXPECT_EQ(control(DAT_EVENT, MSG_PROCESSEVENT, &event), TWRC_NOTDSEVENT);
    EXPECT_EQ(lines("trace.log").size(), before);
}

TEST_F(TraceTest, ANextOpenAppendsAndAnOpenWithoutTheSwitchStopsTheTrace) {
    setenv("PXCM_TRACE", root.file("trace.log").c_str(), 1);
    ASSERT_EQ(open(), TWRC_SUCCESS);
    ASSERT_EQ(control(DAT_IDENTITY, MSG_CLOSEDS, nullptr), TWRC_SUCCESS);
    const size_t first = lines("trace.log").size();
    ASSERT_EQ(open(), TWRC_SUCCESS);
    ASSERT_EQ(control(DAT_IDENTITY, MSG_CLOSEDS, nullptr), TWRC_SUCCESS);
    const size_t second = lines("trace.log").size();
    EXPECT_GT(second, first) << "the second session is added, the first kept";

    unsetenv("PXCM_TRACE");
    ASSERT_EQ(open(), TWRC_SUCCESS);
    EXPECT_FALSE(plat::g_traceOn);
    ASSERT_EQ(control(DAT_IDENTITY, MSG_CLOSEDS, nullptr), TWRC_SUCCESS);
    // The lines before the open's own switch still went to the old file.
    size_t opens = 0, closes = 0;
    for (const std::string& line : lines("trace.log")) {
        opens += endsWith(line, "(PROT) : TW_UINT16 OpenDS");
        closes += endsWith(line, "(PROT) : TW_UINT16 CloseDS");
    }
    EXPECT_EQ(opens, 2u);
    EXPECT_EQ(closes, 2u);
}

// A FIFO that no one reads, a device, a folder or a link: the open of the
// source goes on at once, untraced. Each session runs on a thread of its own
// with a bound: an open that waits on the FIFO is freed by opening its
// reading end, and fails the case.
TEST_F(TraceTest, ATargetThatCannotBeOpenedAtOnceOrIsNoRegularFileLeavesEveryAnswerUnchanged) {
    const std::vector<Answer> untraced = session();
    ASSERT_EQ(mkfifo(root.file("fifo").c_str(), 0600), 0);
    root.write("target.log", "");
    ASSERT_EQ(symlink(root.file("target.log").c_str(), root.file("link.log").c_str()), 0);
    struct Case {
        const char* what;
        std::string path;
    } cases[] = {
        {"a folder that does not exist", root.file("no-such-folder/trace.log")},
        {"a folder itself", root.path()},
        {"a FIFO that no one reads", root.file("fifo")},
        {"a device", "/dev/null"},
        {"a link to a file", root.file("link.log")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        resetSourceState();
        setenv("PXCM_TRACE", c.path.c_str(), 1);
        std::vector<Answer> answers;
        std::promise<void> done;
        std::thread run([&] {
            answers = session();
            done.set_value();
        });
        const bool inTime =
            done.get_future().wait_for(std::chrono::seconds(5)) == std::future_status::ready;
        if (!inTime) {
            // The reader stays until the trace is off again: a write into a
            // FIFO without one ends the process.
            const int reader = ::open(root.file("fifo").c_str(), O_RDONLY | O_NONBLOCK);
            run.join();
            unsetenv("PXCM_TRACE");
            plat::traceSwitch();
            if (reader >= 0) ::close(reader);
            ADD_FAILURE() << "the open waited on the trace file";
            continue;
        }
        run.join();
        EXPECT_EQ(answers, untraced);
        EXPECT_FALSE(plat::g_traceOn);
        EXPECT_FALSE(root.exists("no-such-folder"));
        EXPECT_EQ(root.read("target.log"), "");
    }
}

}  // namespace
