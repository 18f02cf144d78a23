// window_thread_test.cpp — the camera window on its own thread, as Linux
// applications meet it: a callback that calls the source inside the
// notification, an application thread that calls it the moment the callback
// signals, disable and close from inside the notification, the window script
// that runs the window without any event, and SDL leaving the application's
// signals alone.
#include <signal.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <fstream>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "camera_source_fixture.h"
#include "platform/window_thread.h"
#include "wsys/window_system.h"

using testsupport::CameraSourceTest;
using testsupport::RawImage;

namespace {

// Long enough for any transfer here; reached only when the calls deadlock.
constexpr auto DEADLOCK = std::chrono::seconds(60);

// An application thread: waits for what the callback hands it and calls the
// source at once, as Linux applications do after a semaphore is posted.
class AppThread {
public:
    explicit AppThread(std::function<bool(TW_UINT16)> onMessage)
        : onMessage_(std::move(onMessage)), thread_([this] { run(); }) {}
    ~AppThread() {
        {
            std::lock_guard<std::mutex> lock(m_);
            quit_ = true;
        }
        cv_.notify_all();
        thread_.join();
    }
    void post(TW_UINT16 msg) {
        {
            std::lock_guard<std::mutex> lock(m_);
            inbox_.push_back(msg);
        }
        cv_.notify_all();
    }
    // True once a message handler answered that the work is done.
    bool waitDone() {
        std::unique_lock<std::mutex> lock(m_);
        return cv_.wait_for(lock, DEADLOCK, [this] { return done_; });
    }

private:
    void run() {
        std::unique_lock<std::mutex> lock(m_);
        while (true) {
            cv_.wait(lock, [this] { return quit_ || !inbox_.empty(); });
            if (inbox_.empty()) return;
            const TW_UINT16 msg = inbox_.front();
            inbox_.pop_front();
            lock.unlock();
            const bool finished = onMessage_(msg);
            lock.lock();
            if (finished) done_ = true;
            cv_.notify_all();
        }
    }

    std::function<bool(TW_UINT16)> onMessage_;
    std::mutex m_;
    std::condition_variable cv_;
    std::deque<TW_UINT16> inbox_;
    bool quit_ = false;
    bool done_ = false;
    std::thread thread_;
};

class WindowThread : public CameraSourceTest {
protected:
    void TearDown() override {
        settle();
        unsetenv("PXCM_WINDOW_SCRIPT");
        testsupport::setNotificationCallback(nullptr);
        CameraSourceTest::TearDown();
    }

    // Pictures p01, p02, ... of distinct widths, so that each is known by
    // its size.
    void addPictures(int n) {
        for (int i = 0; i < n; ++i) {
            char name[8];
            std::snprintf(name, sizeof name, "p%02d", i + 1);
            jpegs.push_back(addPicture(name, 40 + 8 * i, 24 + (i % 3), 10u + i));
        }
    }
    void ready(int pictures) {
        addPictures(pictures);
        startCamera();
        enable();
    }

    // Every picture of the announcement, as an application takes them:
    // DAT_IMAGEINFO, a native transfer, MSG_ENDXFER until the count is 0.
    // The camera numbers of the pictures that arrived pixel-exact.
    std::vector<int> takeAll() {
        std::vector<int> numbers;
        for (int guard = 0; guard < 20; ++guard) {
            TW_IMAGEINFO info{};
            if (imageInfo(&info) != TWRC_SUCCESS) break;
            RawImage got;
            if (nativeTransfer(&got) != TWRC_XFERDONE) break;
            const int number = (got.width - 40) / 8 + 1;
            if (number >= 1 && number <= static_cast<int>(jpegs.size())) {
                const RawImage want = testsupport::referenceDecode(jpegs[number - 1]);
                if (got.height == want.height && got.pixels == want.pixels)
                    numbers.push_back(number);
            }
            TW_PENDINGXFERS pending{};
            if (call(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending) != TWRC_SUCCESS ||
                pending.Count == 0)
                break;
        }
        return numbers;
    }

    TW_UINT16 closeSource() {
        TW_IDENTITY ds = g_source.sourceIdentity;
        return call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &ds);
    }

    // The window's thread has finished the message it was handling when an
    // application thread's calls ended: the module's state is the test's.
    static void settle() { plat::SourceCall settled; }

    std::vector<std::vector<std::uint8_t>> jpegs;
};

TEST_F(WindowThread, EverySelectedPictureArrivesWhenTheCallbackOrAThreadCallsTheSourceAtOnce) {
    for (bool inCallback : {true, false}) {
        SCOPED_TRACE(inCallback ? "inside the callback" : "on an application thread");
        TearDown();
        SetUp();
        ready(3);
        clickSlot(0);
        clickSlot(2);
        // A record is handled before its call returns.
        ASSERT_EQ(selectedPictures(), (std::vector<int>{0, 2}));

        const std::thread::id tester = std::this_thread::get_id();
        std::thread::id notifier;
        std::vector<int> taken;
        AppThread app([&](TW_UINT16 msg) {
            if (msg != MSG_XFERREADY) return false;
            taken = takeAll();
            return true;
        });
        testsupport::setNotificationCallback([&](TW_UINT16 msg) {
            notifier = std::this_thread::get_id();
            if (inCallback) {
                if (msg == MSG_XFERREADY) taken = takeAll();
            } else {
                app.post(msg);
            }
        });
        clickButton(BUTTON_LOAD);
        if (!inCallback) {
            ASSERT_TRUE(app.waitDone()) << "the application thread never finished";
        }
        settle();
        testsupport::setNotificationCallback(nullptr);

        EXPECT_NE(notifier, tester) << "the window runs on a thread of the source's own";
        EXPECT_EQ(taken, (std::vector<int>{1, 3}));
        EXPECT_EQ(g_source.protocolState, STATE_ENABLED);
        EXPECT_EQ(pendingTransfers(), 0);
    }
}

TEST_F(WindowThread, DisableAndCloseInsideTheNotificationLeaveAWindowThatWorks) {
    enum class Where { Callback, AppThread };
    struct Case {
        const char* name;
        std::vector<TW_UINT16> calls;
        Where where;
        TW_INT32 stateAfter;
    };
    const Case cases[] = {
        {"disable", {MSG_DISABLEDS}, Where::Callback, STATE_OPEN},
        {"close", {MSG_CLOSEDS}, Where::Callback, STATE_LOADED},
        {"disable, close", {MSG_DISABLEDS, MSG_CLOSEDS}, Where::Callback, STATE_LOADED},
        {"disable, enable", {MSG_DISABLEDS, MSG_ENABLEDS}, Where::Callback, STATE_ENABLED},
        {"disable, close on a thread",
         {MSG_DISABLEDS, MSG_CLOSEDS},
         Where::AppThread,
         STATE_LOADED},
        {"disable, enable on a thread",
         {MSG_DISABLEDS, MSG_ENABLEDS},
         Where::AppThread,
         STATE_ENABLED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        ready(3);
        clickSlot(1);

        std::vector<TW_UINT16> answers;
        auto calls = [&] {
            for (TW_UINT16 msg : c.calls)
                answers.push_back(msg == MSG_CLOSEDS ? closeSource()
                                                     : userInterface(msg, true, nullptr));
        };
        AppThread app([&](TW_UINT16 msg) {
            if (msg != MSG_XFERREADY) return false;
            calls();
            return true;
        });
        testsupport::setNotificationCallback([&](TW_UINT16 msg) {
            if (c.where == Where::AppThread)
                app.post(msg);
            else if (msg == MSG_XFERREADY)
                calls();
        });
        clickButton(BUTTON_LOAD);
        if (c.where == Where::AppThread) {
            ASSERT_TRUE(app.waitDone());
        }
        settle();
        testsupport::setNotificationCallback(nullptr);

        EXPECT_EQ(answers, std::vector<TW_UINT16>(c.calls.size(), TWRC_SUCCESS));
        EXPECT_EQ(g_source.protocolState, c.stateAfter);
        EXPECT_EQ(pendingTransfers(), 0) << "the announcement was dropped";

        // Back to an enabled window: it takes input and closes on WM_CLOSE.
        if (c.stateAfter == STATE_LOADED) {
            ASSERT_EQ(open(), TWRC_SUCCESS);
        }
        if (c.stateAfter != STATE_ENABLED) {
            ASSERT_EQ(userInterface(MSG_ENABLEDS, true, nullptr), TWRC_SUCCESS);
        }
        send(WM_PAINT);
        EXPECT_EQ(g_window.busy, 0);
        clickButton(BUTTON_SELECT_ALL);
        EXPECT_EQ(selectedPictures(), (std::vector<int>{0, 1, 2}));
        testsupport::notifications().clear();
        send(WM_CLOSE);
        EXPECT_EQ(g_window.windowClosed, 1);
        EXPECT_EQ(notified(MSG_CLOSEDSREQ), 1);
    }
}

TEST_F(WindowThread, AWindowScriptRunsTheWindowWithoutAnyEvent) {
    struct Case {
        const char* name;
        const char* script;
        std::vector<int> taken;
    };
    const Case cases[] = {
        {"two of three", "select 1,3\nload\nexit\n", {1, 3}},
        {"all", "# every picture\nselect all\nload\nexit\n", {1, 2, 3}},
        {"two loads, the second after the first is taken",
         "select 2\nload\nselect 3\nload\nexit\n",
         {2, 3}},
        {"clicks as pxcm's script", "click 70 48\nload\nexit\n", {1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        addPictures(3);
        startCamera();
        std::ofstream(root->file("window.script")) << c.script;
        setenv("PXCM_WINDOW_SCRIPT", root->file("window.script").c_str(), 1);

        std::vector<int> taken;
        TW_UINT16 closeAnswer = 0;
        AppThread app([&](TW_UINT16 msg) {
            if (msg == MSG_XFERREADY) {
                const auto got = takeAll();
                taken.insert(taken.end(), got.begin(), got.end());
                return false;
            }
            if (msg != MSG_CLOSEDSREQ) return false;
            TW_USERINTERFACE ui{};
            ui.ShowUI = TRUE;
            call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui);
            closeAnswer = closeSource();
            return true;
        });
        testsupport::setNotificationCallback([&](TW_UINT16 msg) { app.post(msg); });
        ASSERT_EQ(open(), TWRC_SUCCESS);
        ASSERT_EQ(userInterface(MSG_ENABLEDS, true, nullptr), TWRC_SUCCESS);
        // No MSG_PROCESSEVENT from here on.
        ASSERT_TRUE(app.waitDone()) << "the script never pressed Exit";
        settle();
        testsupport::setNotificationCallback(nullptr);
        EXPECT_EQ(taken, c.taken);
        EXPECT_EQ(closeAnswer, TWRC_SUCCESS);
        EXPECT_EQ(g_source.protocolState, STATE_LOADED);
        EXPECT_TRUE(root->prompts().empty());
    }
}

TEST_F(WindowThread, AScriptThatCannotBeReadIsRefusedWithItsReasonAndPlaysNothing) {
    struct Case {
        const char* script;  // null: no such file
        const char* reason;
    };
    const Case cases[] = {
        {"select 1\njump 3\n", "window.script:2: unknown command jump"},
        {"select 0\n", "window.script:1: select takes all or picture numbers from 1 to"},
        {"load now\n", "window.script:1: load takes nothing more"},
        {nullptr, "cannot read the script"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        TearDown();
        SetUp();
        addPictures(2);
        startCamera();
        if (c.script) std::ofstream(root->file("window.script")) << c.script;
        setenv("PXCM_WINDOW_SCRIPT", root->file("window.script").c_str(), 1);
        root->clearPrompts();
        ASSERT_EQ(open(), TWRC_SUCCESS);
        ASSERT_EQ(userInterface(MSG_ENABLEDS, true, nullptr), TWRC_SUCCESS);
        const auto prompts = root->prompts();
        ASSERT_EQ(prompts.size(), 1u);
        EXPECT_NE(prompts[0].text.find(c.reason), std::string::npos) << prompts[0].text;
        EXPECT_EQ(prompts[0].icon, "error");
        // The window is the application's to drive, as without a script.
        send(WM_PAINT);
        clickSlot(0);
        clickButton(BUTTON_LOAD);
        EXPECT_EQ(notified(MSG_XFERREADY), 1);
        EXPECT_EQ(pendingTransfers(), 1);
    }
}

TEST_F(WindowThread, AWindowOnScreenLeavesTheApplicationsSignalsAlone) {
    setenv("PXCM_UI", "sdl", 1);
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    const int signals[] = {SIGINT, SIGTERM};
    auto dispositions = [&] {
        std::vector<std::uintptr_t> out;
        for (int s : signals) {
            struct sigaction now {};
            sigaction(s, nullptr, &now);
            out.push_back(reinterpret_cast<std::uintptr_t>(now.sa_handler));
        }
        return out;
    };
    // The defaults, which SDL would replace with its own handlers.
    for (int s : signals) signal(s, SIG_DFL);
    const auto before = dispositions();
    ready(2);
    const bool onScreen = plat::sdlHostActive();
    const auto shown = dispositions();
    ASSERT_EQ(closeSource(), TWRC_SUCCESS);
    const auto after = dispositions();
    unsetenv("SDL_VIDEODRIVER");
    if (!onScreen) GTEST_SKIP() << "SDL could not show the window";
    EXPECT_EQ(shown, before);
    EXPECT_EQ(after, before);
}

}  // namespace
