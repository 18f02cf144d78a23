// caps_fixture.h — a private settings root with a small dictionary and
// source-control file, the module state reset, and helpers to read the
// containers that the capability store answers.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "caps/caps_state.h"
#include "caps/settings_files.h"
#include "packed_fields.h"
#include "platform/memory.h"
#include "platform/profile.h"
#include "platform/twain.h"
#include "source/entry.h"
#include "source/source_state.h"
#include "support/temp_root.h"

namespace testsupport {

// The dictionary that most tests build on: item and container names, and
// one capability (ICAP_PIXELTYPE, 257) with named values.
inline const char* const BASE_DICTIONARY =
    "[CAP NUMBERS]\r\n257=ICAP_PIXELTYPE\r\n1=CAP_XFERCOUNT\r\n4376=ICAP_XRESOLUTION\r\n"
    "[ItemType]\r\nTWTY_INT8=0\r\nTWTY_INT16=1\r\nTWTY_INT32=2\r\nTWTY_UINT8=3\r\n"
    "TWTY_UINT16=4\r\nTWTY_UINT32=5\r\nTWTY_BOOL=6\r\nTWTY_FIX32=7\r\nTWTY_FRAME=8\r\n"
    "[ConType]\r\nTWON_ARRAY=3\r\nTWON_ENUMERATION=4\r\nTWON_ONEVALUE=5\r\nTWON_RANGE=6\r\n"
    "[ICAP_PIXELTYPE]\r\nTWPT_BW=0\r\nTWPT_GRAY=1\r\nTWPT_RGB=2\r\n";

// The pixel type as the settings files illustrate it.
inline const char* const PIXELTYPE_SECTION =
    "[ICAP_PIXELTYPE]\r\nType=TWTY_UINT16\r\nAllowed=TWPT_BW,TWPT_GRAY,TWPT_RGB\r\n"
    "PowerON=TWPT_BW,TWPT_GRAY,TWPT_RGB\r\nCurrent=TWPT_RGB\r\nDefault=TWPT_RGB\r\n"
    "Get=TWON_ENUMERATION\r\nGetCurrent=TWON_ONEVALUE\r\nGetDefault=TWON_ONEVALUE\r\n"
    "Set=TWON_ONEVALUE\r\nReset=TWON_ONEVALUE\r\n";

class CapsTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetSourceState();
        resetCapsState();
        root.write("windows/pxcm.ini", BASE_DICTIONARY);
        root.write("windows/PXCM.src", PIXELTYPE_SECTION);
        useControlFile(root.windowsDir() + "/PXCM.src");
        app.Id = 17;
    }
    void TearDown() override {
        for (void* h : blocks) plat::memFree(h);
    }

    void useControlFile(const std::string& path) {
        std::strncpy(g_settingsFiles.sourceControlPath, path.c_str(), SOURCE_CONTROL_PATH_MAX - 1);
    }
    const char* control() const { return g_settingsFiles.sourceControlPath; }
    std::string dictionary() const { return root.windowsDir() + "/pxcm.ini"; }

    // One key of the source-control file, as the source would read it.
    std::string key(const char* section, const char* name) const {
        char buf[8192];
        plat::profileGetString(section, name, "<missing>", buf, sizeof buf, control());
        return buf;
    }
    void setKey(const char* section, const char* name, const std::string& value) const {
        plat::profileWriteString(section, name, value.c_str(), control());
    }
    void addDictionary(const std::string& lines) const {
        root.write("windows/pxcm.ini", std::string(BASE_DICTIONARY) + lines);
    }

    // A block that the test owns and frees, filled with `fill`.
    plat::MemHandle block(std::size_t size, unsigned char fill = 0xEE) {
        plat::MemHandle h = plat::memAlloc(size, false);
        std::memset(plat::memLock(h), fill, size);
        plat::memUnlock(h);
        blocks.push_back(h);
        return h;
    }
    // Takes ownership of a container that the source allocated.
    void own(const TW_CAPABILITY& cap) {
        if (handleOf(cap)) blocks.push_back(handleOf(cap));
    }
    template <typename T>
    const T& as(const TW_CAPABILITY& cap) {
        return *static_cast<const T*>(cap.hContainer);
    }
    // Item i of a list container at offset `first`, `width` bytes wide.
    static TW_UINT32 itemAt(const TW_CAPABILITY& cap, std::size_t first, std::size_t width,
                            std::size_t i) {
        TW_UINT32 v = 0;
        std::memcpy(&v, static_cast<const TW_UINT8*>(cap.hContainer) + first + i * width, width);
        return v;
    }

    // One capability triplet through the entry, as an application sends it.
    TW_UINT16 capability(TW_UINT16 msg, TW_CAPABILITY& cap) {
        return DS_Entry(&app, DG_CONTROL, DAT_CAPABILITY, msg, &cap);
    }
    TW_UINT16 status() {
        TW_STATUS s{};
        EXPECT_EQ(DS_Entry(&app, DG_CONTROL, DAT_STATUS, MSG_GET, &s), TWRC_SUCCESS);
        return s.ConditionCode;
    }

    // A one-value container owned by the test, as an application builds it.
    TW_CAPABILITY oneValue(TW_UINT16 capNumber, TW_UINT16 itemType, TW_UINT32 item) {
        TW_CAPABILITY cap{capNumber, TWON_ONEVALUE, block(sizeof(TW_ONEVALUE))};
        auto* one = static_cast<TW_ONEVALUE*>(cap.hContainer);
        one->ItemType = itemType;
        one->Item = item;
        return cap;
    }

    TempRoot root;
    TW_IDENTITY app{};
    std::vector<void*> blocks;
};

}  // namespace testsupport
