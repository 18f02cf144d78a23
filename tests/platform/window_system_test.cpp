// window_system_test.cpp — the headless window system through the window seam:
// records and posted messages reach the dialog procedure in Windows order,
// paints come once per invalidation, capture, cursors, the PNG of the client
// area, the About box as a prompt line, and the templates.
#include <gtest/gtest.h>
#include <png.h>

#include <cstddef>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/window.h"
#include "support/temp_root.h"
#include "wsys/window_system.h"

namespace fs = std::filesystem;
using plat::EventRecord;

namespace {

static_assert(offsetof(EventRecord, message) == 0, "record layout");
static_assert(offsetof(EventRecord, wParam) == sizeof(void*), "record layout");
static_assert(offsetof(EventRecord, lParam) == 2 * sizeof(void*), "record layout");

constexpr UINT WM_TEST_FILL = WM_APP + 1;  // wParam: the colour to fill with
constexpr UINT WM_TEST_CLOSE_SELF = WM_APP + 2;

struct Seen {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const Seen& o) const {
        return window == o.window && message == o.message && wParam == o.wParam &&
               lParam == o.lParam;
    }
};

std::vector<Seen> g_seen;
const char* g_aboutCaption = "About RISC ver 4.0";

// The dialog procedure of the tests: records every message; fills on
// request; destroys its own window on request.
INT_PTR CALLBACK recorder(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    g_seen.push_back({window, message, wParam, lParam});
    switch (message) {
        case WM_PAINT:
            // Handled without a paint canvas: the host still sends no second
            // paint for the same invalidation.
            return TRUE;
        case WM_TEST_FILL: {
            plat::WindowCanvas canvas(window);
            canvas.surface().fillRect({0, 0, 526, 400}, static_cast<plat::Color>(wParam));
            return TRUE;
        }
        case WM_TEST_CLOSE_SELF:
            plat::destroyWindow(window);
            return TRUE;
        default:
            return FALSE;
    }
}

INT_PTR CALLBACK aboutRecorder(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    g_seen.push_back({window, message, wParam, lParam});
    if (message == WM_INITDIALOG) plat::setWindowCaption(window, g_aboutCaption);
    return FALSE;
}

class WindowHost : public ::testing::Test {
protected:
    testsupport::TempRoot root;
    HWND window = nullptr;

    void SetUp() override {
        setenv("PXCM_UI", "headless", 1);
        unsetenv("PXCM_WINDOW_PNG");
        g_seen.clear();
        window = plat::createModelessDialog(nullptr, "TW_FILE_LB", recorder, 77);
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override {
        plat::destroyWindow(window);
        unsetenv("PXCM_WINDOW_PNG");
        unsetenv("PXCM_UI");
    }

    bool record(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        EventRecord r{message, wParam, lParam};
        return plat::isDialogMessage(window, &r);
    }
    bool takeOne() { return plat::isDialogMessage(window, nullptr); }
    std::vector<UINT> messages() const {
        std::vector<UINT> out;
        for (const Seen& s : g_seen) out.push_back(s.message);
        return out;
    }
    // Handles queued messages until none is left (the first paint included).
    void drain() {
        for (int i = 0; i < 100 && takeOne(); ++i) {
        }
        g_seen.clear();
    }
};

TEST_F(WindowHost, CreationSendsInitDialogWithTheParameterAndShowsTheWindow) {
    ASSERT_FALSE(g_seen.empty());
    EXPECT_EQ(g_seen[0], (Seen{window, WM_INITDIALOG, 0, 77}));
    EXPECT_TRUE(plat::windowVisible(window));
    EXPECT_EQ(plat::activeWindow(), window);
    // Unknown templates make no window.
    EXPECT_EQ(plat::createModelessDialog(nullptr, "NO_SUCH", recorder, 0), nullptr);
}

TEST_F(WindowHost, RecordsReachTheProcedureUnchangedAndAreAlwaysTheWindows) {
    drain();
    const EventRecord cases[] = {
        {WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, static_cast<std::intptr_t>(pointParam(10, 20))},
        {WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, static_cast<std::intptr_t>(pointParam(525, 399))},
        {WM_LBUTTONUP, 0, static_cast<std::intptr_t>(pointParam(-5, -7))},
        {WM_LBUTTONDBLCLK, MK_LBUTTON, static_cast<std::intptr_t>(pointParam(1, 2))},
        {WM_KEYDOWN, VK_NEXT, 1},
        {WM_CLOSE, 0, 0},
        {WM_CAPTURECHANGED, 0, 0},
        {0x4242, 5, -9},  // a message the procedure does not handle
    };
    for (const EventRecord& c : cases) {
        g_seen.clear();
        EventRecord r = c;
        EXPECT_TRUE(plat::isDialogMessage(window, &r)) << c.message;
        ASSERT_EQ(g_seen.size(), 1u) << c.message;
        EXPECT_EQ(g_seen[0], (Seen{window, c.message, c.wParam, c.lParam}));
    }
    int other = 0;
    EventRecord r{WM_CLOSE, 0, 0};
    EXPECT_FALSE(plat::isDialogMessage(&other, &r));
    EXPECT_FALSE(plat::isDialogMessage(nullptr, nullptr));
}

TEST_F(WindowHost, PostedMessagesComeFirstOnePerEmptyCallAndAllBeforeARecord) {
    drain();
    ASSERT_TRUE(plat::postWindowMessage(window, WM_APP + 10, 1, 2));
    ASSERT_TRUE(plat::postWindowMessage(window, WM_APP + 11, 3, 4));
    plat::repaintWindow(window);  // a paint sent now, not queued
    EXPECT_EQ(messages(), (std::vector<UINT>{WM_PAINT}));
    g_seen.clear();

    EXPECT_TRUE(takeOne());
    EXPECT_EQ(g_seen, (std::vector<Seen>{{window, WM_APP + 10, 1, 2}}));
    EXPECT_TRUE(takeOne());
    EXPECT_FALSE(takeOne());
    EXPECT_EQ(messages(), (std::vector<UINT>{WM_APP + 10, WM_APP + 11}));

    g_seen.clear();
    ASSERT_TRUE(plat::postWindowMessage(window, WM_APP + 12, 0, 0));
    ASSERT_TRUE(plat::postWindowMessage(window, WM_APP + 13, 0, 0));
    EXPECT_TRUE(record(WM_KEYDOWN, VK_HOME));
    EXPECT_EQ(messages(), (std::vector<UINT>{WM_APP + 12, WM_APP + 13, WM_KEYDOWN}));

    int other = 0;
    EXPECT_FALSE(plat::postWindowMessage(&other, WM_APP, 0, 0));
}

TEST_F(WindowHost, PaintComesOncePerInvalidationAndOnlyWhenNothingElseWaits) {
    // Shown at creation: one paint pending, after a message that was posted.
    g_seen.clear();
    ASSERT_TRUE(plat::postWindowMessage(window, WM_APP + 20, 0, 0));
    struct Step {
        const char* what;
        void (*action)(HWND);
        std::vector<UINT> expected;  // messages of empty calls until one answers false
    };
    const Step steps[] = {
        {"after creation", [](HWND) {}, {WM_APP + 20, WM_PAINT}},
        {"nothing new", [](HWND) {}, {}},
        {"hidden and shown again",
         [](HWND w) {
             plat::showWindow(w, false);
             plat::showWindow(w, true);
         },
         {WM_PAINT}},
        {"shown while shown", [](HWND w) { plat::showWindow(w, true); }, {}},
        {"hidden: no paint while hidden", [](HWND w) { plat::showWindow(w, false); }, {}},
        {"shown", [](HWND w) { plat::showWindow(w, true); }, {WM_PAINT}},
        {"a paint canvas validates",
         [](HWND w) {
             plat::showWindow(w, false);
             plat::showWindow(w, true);
             plat::PaintCanvas validate(w);
         },
         {}},
        {"a window canvas does not",
         [](HWND w) {
             plat::showWindow(w, false);
             plat::showWindow(w, true);
             plat::WindowCanvas draw(w);
         },
         {WM_PAINT}},
    };
    for (const Step& s : steps) {
        s.action(window);
        g_seen.clear();
        for (int i = 0; i < 10 && takeOne(); ++i) {
        }
        EXPECT_EQ(messages(), s.expected) << s.what;
    }
    // repaintWindow paints before it returns, and leaves nothing pending.
    g_seen.clear();
    plat::repaintWindow(window);
    EXPECT_EQ(messages(), (std::vector<UINT>{WM_PAINT}));
    EXPECT_FALSE(takeOne());
}

TEST_F(WindowHost, ReleasingTheCaptureTellsTheWindowThatHeldIt) {
    drain();
    plat::releaseMouse();  // nobody holds it: nothing is sent
    EXPECT_TRUE(g_seen.empty());

    plat::captureMouse(window);
    plat::captureMouse(window);  // again: no change, nothing sent
    EXPECT_TRUE(g_seen.empty());
    plat::releaseMouse();
    EXPECT_EQ(g_seen, (std::vector<Seen>{{window, WM_CAPTURECHANGED, 0, 0}}));
    g_seen.clear();
    plat::releaseMouse();
    EXPECT_TRUE(g_seen.empty());

    // Capture taken by a second window: the first hears of it.
    HWND second = plat::createModelessDialog(nullptr, "TW_FILE_LB", recorder, 0);
    ASSERT_NE(second, nullptr);
    plat::captureMouse(window);
    g_seen.clear();
    plat::captureMouse(second);
    EXPECT_EQ(g_seen, (std::vector<Seen>{{window, WM_CAPTURECHANGED, 0, 0}}));
    plat::destroyWindow(second);
    g_seen.clear();
    plat::releaseMouse();  // the holder is gone: nothing to tell
    EXPECT_TRUE(g_seen.empty());
}

TEST_F(WindowHost, CursorShapesComeBackInTheOrderTheyWereSet) {
    const plat::CursorHandle first = plat::setCursorShape(plat::CursorShape::Arrow);
    const plat::CursorHandle arrow = plat::setCursorShape(plat::CursorShape::Wait);
    EXPECT_EQ(plat::currentCursorShape(), plat::CursorShape::Wait);
    const plat::CursorHandle wait = plat::setCursorShape(plat::CursorShape::Wait);
    EXPECT_NE(arrow, wait);
    plat::restoreCursor(wait);
    EXPECT_EQ(plat::currentCursorShape(), plat::CursorShape::Wait);
    plat::restoreCursor(arrow);
    EXPECT_EQ(plat::currentCursorShape(), plat::CursorShape::Arrow);
    plat::restoreCursor(first);
}

// The PNG's pixel (x, y) as a colour, or ~0 when it cannot be read.
plat::Color pngPixel(const std::string& path, int x, int y, int* width, int* height) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return ~0u;
    image.format = PNG_FORMAT_RGB;
    std::vector<std::uint8_t> rgb(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return ~0u;
    *width = static_cast<int>(image.width);
    *height = static_cast<int>(image.height);
    const std::uint8_t* p = rgb.data() + (static_cast<std::size_t>(y) * image.width + x) * 3;
    return plat::rgb(p[0], p[1], p[2]);
}

TEST_F(WindowHost, TheClientAreaIsWrittenAsPngAfterEachMessageWithNoTemporaryLeft) {
    drain();
    const fs::path folder = fs::path(root.path()) / "shots";
    fs::create_directories(folder);
    const std::string png = (folder / "window.png").string();
    setenv("PXCM_WINDOW_PNG", png.c_str(), 1);

    const plat::Color colours[] = {plat::rgb(255, 0, 0), plat::rgb(1, 2, 3),
                                   plat::rgb(0, 128, 255)};
    for (plat::Color c : colours) {
        ASSERT_TRUE(record(WM_TEST_FILL, c));
        int w = 0, h = 0;
        EXPECT_EQ(pngPixel(png, 525, 399, &w, &h), c);
        EXPECT_EQ(w, 526);
        EXPECT_EQ(h, 400);
        // Only the picture itself is in the folder.
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(folder))
            names.push_back(e.path().filename().string());
        EXPECT_EQ(names, (std::vector<std::string>{"window.png"}));
    }
    // Posted messages handled by an empty call write it too.
    fs::remove(png);
    ASSERT_TRUE(plat::postWindowMessage(window, WM_TEST_FILL, plat::rgb(9, 9, 9), 0));
    ASSERT_TRUE(takeOne());
    int w = 0, h = 0;
    EXPECT_EQ(pngPixel(png, 0, 0, &w, &h), plat::rgb(9, 9, 9));
    // Before a box, the window as it is now.
    fs::remove(png);
    plat::messageBox(window, "text", "caption", plat::PromptOptions{});
    EXPECT_TRUE(fs::exists(png));
}

TEST_F(WindowHost, HeadlessAboutBoxIsOnePromptLineWithItsCaptionAndClosesAtOnce) {
    drain();
    root.clearPrompts();
    root.setAnswers("cancel");  // scripted answers are for the real boxes
    EXPECT_EQ(plat::runModalDialog(nullptr, 204, window, aboutRecorder, 5), 1);
    ASSERT_GE(g_seen.size(), 1u);
    EXPECT_EQ(g_seen[0].message, static_cast<UINT>(WM_INITDIALOG));
    EXPECT_EQ(g_seen[0].lParam, 5);
    EXPECT_FALSE(plat::windowVisible(g_seen[0].window));  // gone
    EXPECT_EQ(plat::activeWindow(), window);
    const auto boxes = root.prompts();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, g_aboutCaption);
    EXPECT_EQ(boxes[0].text, "");
    EXPECT_EQ(boxes[0].buttons, "ok");
    EXPECT_EQ(boxes[0].icon, "none");
    EXPECT_EQ(boxes[0].answer, "ok");
    EXPECT_TRUE(boxes[0].owned);
    EXPECT_STREQ(std::getenv("PXCM_ANSWERS"), "cancel");

    // No template of that number: no box.
    EXPECT_EQ(plat::runModalDialog(nullptr, 999, window, aboutRecorder, 0), -1);
}

TEST_F(WindowHost, AWindowDestroyedWhileHandlingAMessageGoesSafelyAndANewOneWorks) {
    drain();
    EXPECT_TRUE(record(WM_TEST_CLOSE_SELF));
    EXPECT_FALSE(plat::windowVisible(window));
    EXPECT_FALSE(takeOne());
    EXPECT_EQ(plat::activeWindow(), nullptr);
    for (int cycle = 0; cycle < 3; ++cycle) {
        g_seen.clear();
        window = plat::createModelessDialog(nullptr, "TW_FILE_LB", recorder, cycle);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(g_seen[0], (Seen{window, WM_INITDIALOG, 0, cycle}));
        EXPECT_TRUE(takeOne());  // its first paint
        plat::destroyWindow(window);
    }
    window = nullptr;
}

TEST(WindowTemplates, TheTwoTemplatesByNameAndNumber) {
    const plat::DialogTemplate* camera = plat::findDialogTemplate("TW_FILE_LB");
    ASSERT_NE(camera, nullptr);
    EXPECT_EQ(camera->clientWidth, 526);
    EXPECT_EQ(camera->clientHeight, 400);
    const plat::DialogTemplate* about =
        plat::findDialogTemplate(reinterpret_cast<const char*>(static_cast<std::uintptr_t>(204)));
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about, plat::findDialogTemplate(204));
    EXPECT_EQ(about->clientWidth, 346);
    EXPECT_EQ(about->clientHeight, 256);
    EXPECT_EQ(about->pictureId, 203);
    EXPECT_EQ(plat::findDialogTemplate("tw_file_lb"), nullptr);
    EXPECT_EQ(plat::findDialogTemplate(static_cast<const char*>(nullptr)), nullptr);
}

TEST(HelpPage, TheHelpFileStandsForTheHtmlPageBesideIt) {
    testsupport::TempRoot root;
    const std::string windows = root.windowsDir();
    EXPECT_EQ(plat::helpPagePath("c:\\windows\\Help\\KMT18V16.HLP"),
              windows + "/Help/KMT18V16.html");
    EXPECT_EQ(plat::helpPagePath("/opt/help/a.b/manual"), "/opt/help/a.b/manual.html");
    // Case-blind as Windows: an installed page is found with its spelling.
    root.write("windows/help/kmt18v16.html", "<html></html>");
    EXPECT_EQ(plat::helpPagePath("c:\\windows\\Help\\KMT18V16.HLP"),
              windows + "/help/kmt18v16.html");
}

}  // namespace
