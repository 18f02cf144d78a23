// settings_files.h — where the dictionary and the source-control file are,
// their section and key names, and the reads and writes that the capability
// store makes on them (through the platform's profile functions, afresh at
// every call).
#pragma once

#include <string>

#include "platform/os_types.h"
#include "platform/profile.h"

// Dictionary sections.
constexpr char CAP_NUMBERS_SECTION[] = "CAP NUMBERS";
constexpr char ITEM_TYPE_SECTION[] = "ItemType";
constexpr char CON_TYPE_SECTION[] = "ConType";
// The source's own settings in the dictionary, and its key that turns the
// boxes of a refused negotiation on (1) or off (0, also when missing).
constexpr char SOURCE_SETTINGS_SECTION[] = "KMT-18";
constexpr char NEGOTIATION_BOXES_KEY[] = "NEGOTIATION_BOXES";
// Keys of a capability section of the source-control file.
constexpr char TYPE_KEY[] = "Type";
constexpr char ALLOWED_KEY[] = "Allowed";
constexpr char CURRENT_KEY[] = "Current";
constexpr char DEFAULT_KEY[] = "Default";
constexpr char POWER_ON_KEY[] = "PowerON";
constexpr char GET_KEY[] = "Get";
constexpr char GET_CURRENT_KEY[] = "GetCurrent";
constexpr char GET_DEFAULT_KEY[] = "GetDefault";
constexpr char SET_KEY[] = "Set";
constexpr char RESET_KEY[] = "Reset";
// What a read without an answer gives.
constexpr char NO_SECTION[] = "NONE";
constexpr unsigned UNKNOWN_NUMBER = 99;

constexpr char POINTER_FILE_NAME[] = "\\source.$$$";
constexpr char DEFAULT_SOURCE_CONTROL_NAME[] = "\\PXCM.src";
constexpr char DICTIONARY_FILE_NAME[] = "\\pxcm.ini";
constexpr char NO_SOURCE_CONTROL_TEXT[] = "Unable to find default Source Control";

constexpr int SOURCE_CONTROL_PATH_MAX = 260;

// The settings files' module-wide state: the source-control path last
// located, empty at load.
struct SettingsFilesState {
    char sourceControlPath[SOURCE_CONTROL_PATH_MAX] = {};
};

extern SettingsFilesState g_settingsFiles;

// Back to the state at load.
void resetSettingsFilesState();

// Finds the source-control file and records its path in the module-wide
// state: the pointer file first, then the path already known, then the
// default file; without any of them shows a box and answers FALSE.
BOOL LocateSourceControl();

// The source-control path for the protocol operations outside capability
// requests (pending transfers, memory-transfer limits, response curves):
// the path last located, or, before any capability request, the file that a
// quiet search finds (no box); empty when there is none.
const char* sourceControlPathInUse();

namespace caps {

// While one of these lives (one capability request), each settings file that
// the store reads is read once and then answered from memory; a write to a
// file drops what was read from it. Between requests nothing is
// kept: every request reads the files again.
class SettingsRequest {
public:
    SettingsRequest();
    ~SettingsRequest();
    SettingsRequest(const SettingsRequest&) = delete;
    SettingsRequest& operator=(const SettingsRequest&) = delete;
};

// The Windows directory followed by "\pxcm.ini".
[[nodiscard]] std::string dictionaryPath();
// The module-wide source-control path.
[[nodiscard]] const char* sourceControlFile();

// The profile reads and writes of the capability store.
unsigned long readText(const char* file, const char* section, const char* key, const char* def,
                       char* out, unsigned long size);
[[nodiscard]] std::string readText(const char* file, const char* section, const char* key,
                                   const char* def, std::size_t maxChars);
[[nodiscard]] unsigned int readNumber(const char* file, const char* section, const char* key,
                                      int def);
unsigned long readSection(const char* file, const char* section, char* out, unsigned long size);
// Writes report whether the file took the change; several keys of one
// section go in together or not at all.
bool writeText(const char* file, const char* section, const char* key, const char* value);
bool writeTexts(const char* file, const char* section, const plat::ProfileEntry* entries,
                std::size_t count);

// Whether a refused negotiation shows its box: an application that probes
// values, or runs with nobody at the screen, must not wait on one.
[[nodiscard]] bool negotiationBoxesShown();

// The number of a name in a dictionary section, 99 when it has none.
[[nodiscard]] unsigned int dictionaryNumber(const char* section, const std::string& name);

}  // namespace caps
