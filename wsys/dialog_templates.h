// dialog_templates.h — what the POSIX host knows of the module's dialog
// templates (Windows reads them from the resources).
#pragma once

namespace plat {

struct DialogTemplate {
    const char* name;  // the template's name, or null when it has an id only
    int id;            // its numeric id, 0 when it has a name only
    int clientWidth;
    int clientHeight;
    const char* caption;
    int pictureId;      // bitmap resource shown over the client area, 0 for none
    bool drawnCaption;  // the host draws the caption bar inside its own window
};

// By name, or by the id in a MAKEINTRESOURCE value; null when unknown.
const DialogTemplate* findDialogTemplate(const char* nameOrId);
const DialogTemplate* findDialogTemplate(int id);

}  // namespace plat
