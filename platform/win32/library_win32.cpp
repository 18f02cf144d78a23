// library_win32.cpp — DLLs through LoadLibraryA and GetProcAddress.
#include "platform/library.h"

#include <windows.h>

namespace plat {
namespace {

thread_local std::string lastLoadError;

std::string systemMessage(DWORD code) {
    char* text = nullptr;
    DWORD n = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = n && text ? std::string(text, n) : "error " + std::to_string(code);
    if (text) LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                                message.back() == ' ' || message.back() == '.'))
        message.pop_back();
    return message;
}

}  // namespace

Library::Library(const std::string& path) {
    if (path.empty()) {
        lastLoadError = "no library named";
        return;
    }
    h_ = LoadLibraryA(path.c_str());
    if (!h_) lastLoadError = path + ": " + systemMessage(GetLastError());
}

Library Library::system(const std::string& file, bool keep) {
    Library library;
    library.h_ = LoadLibraryA(file.c_str());
    if (!library.h_) {
        lastLoadError = file + ": " + systemMessage(GetLastError());
    } else if (keep) {
        // A second reference that nothing gives back.
        HMODULE pinned = nullptr;
        (void)GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_PIN, file.c_str(), &pinned);
    }
    return library;
}

Library::~Library() {
    if (h_) FreeLibrary(static_cast<HMODULE>(h_));
}

void* Library::symbol(const char* name) const {
    return h_ ? reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(h_), name)) : nullptr;
}

std::string Library::lastError() {
    return lastLoadError;
}

}  // namespace plat
