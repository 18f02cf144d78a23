// rename_win32.cpp — MoveFileEx, replacing only when asked to.
#include <windows.h>

#include "platform/rename.h"

namespace plat {

RenameResult renameFile(const std::string& from, const std::string& to, bool replace,
                        std::string* error) {
    if (MoveFileExA(from.c_str(), to.c_str(), replace ? MOVEFILE_REPLACE_EXISTING : 0))
        return RenameResult::Done;
    const DWORD code = GetLastError();
    if (code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS) return RenameResult::Exists;
    if (error) {
        char text[256] = "";
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                       text, sizeof text, nullptr);
        std::string reason(text);
        while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' ||
                                   reason.back() == '.' || reason.back() == ' '))
            reason.pop_back();
        *error = reason.empty() ? "error " + std::to_string(code) : reason;
    }
    return RenameResult::Failed;
}

}  // namespace plat
