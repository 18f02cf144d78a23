// config_widgets.cpp — building the tree from the camera's status and applying
// the changed widgets.
#include "gphoto2/config_widgets.h"

#include <gphoto2/gphoto2-result.h>

#include <cstdlib>
#include <ctime>
#include <string>

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

std::time_t cameraClock(const CameraStatus& s) {
    std::tm t{};
    t.tm_year = s.clockYear - 1900;
    t.tm_mon = s.clockMonth - 1;
    t.tm_mday = s.clockDay;
    t.tm_hour = s.clockHour;
    t.tm_min = s.clockMinute;
    t.tm_isdst = -1;
    return std::mktime(&t);
}

// The widget `name` when the user changed it.
CameraWidget* changed(CameraWidget* window, const char* name) {
    CameraWidget* w = nullptr;
    if (gp_widget_get_child_by_name(window, name, &w) < GP_OK) return nullptr;
    return gp_widget_changed(w) ? w : nullptr;
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
    int clock = static_cast<int>(cameraClock(s));
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
    if (CameraWidget* w = changed(window, "picturesize")) {
        const char* value = nullptr;
        gp_widget_get_value(w, &value);
        const std::string size = value ? value : "";
        if (size != SIZE_LARGE && size != SIZE_SMALL) return GP_ERROR_BAD_PARAMETERS;
        if ((r = cam.setPictureSizeSmall(size == SIZE_SMALL, context)) < GP_OK) return r;
    }
    if (CameraWidget* w = changed(window, "selftimer")) {
        int on = 0;
        gp_widget_get_value(w, &on);
        if ((r = cam.setSelfTimer(on != 0, context)) < GP_OK) return r;
    }
    if (CameraWidget* w = changed(window, "datetime")) {
        int when = 0;
        gp_widget_get_value(w, &when);
        if ((r = cam.setClock(static_cast<std::time_t>(when), context)) < GP_OK) return r;
    }
    if (CameraWidget* w = changed(window, "syncdatetime")) {
        int on = 0;
        gp_widget_get_value(w, &on);
        if (on && (r = cam.setClock(std::time(nullptr), context)) < GP_OK) return r;
    }
    if (CameraWidget* w = changed(window, "downloadspeed")) {
        const char* value = nullptr;
        gp_widget_get_value(w, &value);
        if ((r = cam.setDownloadRate(value ? std::atoi(value) : 0, context)) < GP_OK) return r;
    }
    return GP_OK;
}
