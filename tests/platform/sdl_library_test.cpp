// sdl_library_test.cpp — without the SDL2 library a window asked for on
// screen is made headless, and the host says what is missing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/window.h"
#include "support/temp_root.h"
#include "wsys/sdl_library.h"
#include "wsys/window_system.h"

namespace {

INT_PTR CALLBACK quietProcedure(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

TEST(SdlLibrary, AMissingLibraryLeavesTheWindowsHeadlessAndSaysSo) {
    testsupport::TempRoot root;
    setenv("PXCM_UI", "sdl", 1);
    setenv("PXCM_SDL_LIBRARY", "/nonexistent/libSDL2-2.0.so.0", 1);
    testing::internal::CaptureStderr();
    HWND first = plat::createModelessDialog(nullptr, "TW_FILE_LB", quietProcedure, 0);
    HWND second = plat::createModelessDialog(nullptr, "TW_FILE_LB", quietProcedure, 0);
    const std::string said = testing::internal::GetCapturedStderr();
    unsetenv("PXCM_SDL_LIBRARY");
    unsetenv("PXCM_UI");

    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_FALSE(plat::sdlHostActive());
    EXPECT_TRUE(plat::windowVisible(first)) << "the headless window stands in";
    EXPECT_EQ(plat::sdlLibrary(), nullptr);
    EXPECT_NE(plat::sdlLibraryError().find("/nonexistent/libSDL2-2.0.so.0"), std::string::npos)
        << plat::sdlLibraryError();
    const std::string message = "the SDL2 library is missing";
    const std::size_t at = said.find(message);
    ASSERT_NE(at, std::string::npos) << said;
    EXPECT_EQ(said.find(message, at + 1), std::string::npos) << "said once: " << said;
    plat::destroyWindow(second);
    plat::destroyWindow(first);
}

}  // namespace
