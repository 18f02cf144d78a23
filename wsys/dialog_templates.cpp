// dialog_templates.cpp — the module's two dialog templates: the camera window
// and the About box.
#include "wsys/dialog_templates.h"

#include <cstdint>
#include <cstring>

namespace plat {
namespace {

// The About box draws its own caption: the version sits after a run of blanks
// that window managers would squeeze, and a bare X server draws no caption.
constexpr DialogTemplate kTemplates[] = {
    {"TW_FILE_LB", 0, 526, 400, "", 0, false},
    {nullptr, 204, 346, 256, "About", 203, true},
};

}  // namespace

const DialogTemplate* findDialogTemplate(int id) {
    for (const DialogTemplate& t : kTemplates)
        if (t.id != 0 && t.id == id) return &t;
    return nullptr;
}

const DialogTemplate* findDialogTemplate(const char* nameOrId) {
    const auto value = reinterpret_cast<std::uintptr_t>(nameOrId);
    if (value == 0) return nullptr;
    if (value < 0x10000) return findDialogTemplate(static_cast<int>(value));
    for (const DialogTemplate& t : kTemplates)
        if (t.name && std::strcmp(t.name, nameOrId) == 0) return &t;
    return nullptr;
}

}  // namespace plat
