// config_widgets.cpp — building the tree from the camera's status and applying
// the changed widgets.
#include "gphoto2/config_widgets.h"

#include <gphoto2/gphoto2-result.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "gphoto2/camera_time.h"
#include "gphoto2/download_speed.h"
#include "gphoto2/driver_camera.h"

namespace {

constexpr const char* SIZE_LARGE = "640x480";
constexpr const char* SIZE_SMALL = "320x240";

CameraWidget* addChild(CameraWidget* parent, CameraWidgetType type, const char* name,
                       const char* label) {
    CameraWidget* w = nullptr;
    if (gp_widget_new(type, label, &w) < GP_OK) return nullptr;
    gp_widget_set_name(w, name);
    gp_widget_append(parent, w);
    return w;
}

// The value of widget `name` (text or number), when the user changed it.
template <typename T>
bool changedValue(CameraWidget* window, const char* name, T& value) {
    CameraWidget* w = nullptr;
    return gp_widget_get_child_by_name(window, name, &w) >= GP_OK && gp_widget_changed(w) &&
           gp_widget_get_value(w, &value) >= GP_OK;
}

}  // namespace

int getConfig(Camera* camera, CameraWidget** window, GPContext* context) {
    DriverCamera& cam = camera->pl->camera;
    int r = cam.refreshStatus(context);
    if (r < GP_OK) return r;
    const CameraStatus& s = cam.status();
    gp_widget_new(GP_WIDGET_WINDOW, "Camera and driver configuration", window);

    CameraWidget* settings = addChild(*window, GP_WIDGET_SECTION, "settings", "Camera settings");
    CameraWidget* w = addChild(settings, GP_WIDGET_RADIO, "picturesize", "Picture size");
    gp_widget_add_choice(w, SIZE_LARGE);
    gp_widget_add_choice(w, SIZE_SMALL);
    gp_widget_set_value(w, s.modeQ == 1 ? SIZE_SMALL : SIZE_LARGE);
    w = addChild(settings, GP_WIDGET_TOGGLE, "selftimer", "Self-timer");
    int on = s.modeT == 1 ? 1 : 0;
    gp_widget_set_value(w, &on);
    w = addChild(settings, GP_WIDGET_DATE, "datetime", "Camera clock");
    int clock = static_cast<int>(
        localTimeOf(s.clockYear, s.clockMonth, s.clockDay, s.clockHour, s.clockMinute));
    gp_widget_set_value(w, &clock);
    w = addChild(settings, GP_WIDGET_TOGGLE, "syncdatetime",
                 "Set the camera clock from this computer");
    int off = 0;
    gp_widget_set_value(w, &off);

    CameraWidget* driver = addChild(*window, GP_WIDGET_SECTION, "driver", "Driver settings");
    w = addChild(driver, GP_WIDGET_RADIO, "downloadspeed", "Download speed");
    for (int rate : OFFERED_RATES) gp_widget_add_choice(w, std::to_string(rate).c_str());
    gp_widget_set_value(w, std::to_string(cam.downloadRate()).c_str());
    return GP_OK;
}

int setConfig(Camera* camera, CameraWidget* window, GPContext* context) {
    DriverCamera& cam = camera->pl->camera;
    int r = GP_OK;
    const char* text = nullptr;
    int number = 0;
    if (changedValue(window, "picturesize", text)) {
        const std::string size = text ? text : "";
        if (size != SIZE_LARGE && size != SIZE_SMALL) return GP_ERROR_BAD_PARAMETERS;
        if ((r = cam.setPictureSizeSmall(size == SIZE_SMALL, context)) < GP_OK) return r;
    }
    if (changedValue(window, "selftimer", number) &&
        (r = cam.setSelfTimer(number != 0, context)) < GP_OK)
        return r;
    if (changedValue(window, "datetime", number) &&
        (r = cam.setClock(static_cast<std::time_t>(number), context)) < GP_OK)
        return r;
    if (changedValue(window, "syncdatetime", number) && number != 0 &&
        (r = cam.setClock(std::time(nullptr), context)) < GP_OK)
        return r;
    if (changedValue(window, "downloadspeed", text) &&
        (r = cam.setDownloadRate(text ? std::atoi(text) : 0, context)) < GP_OK)
        return r;
    return GP_OK;
}
