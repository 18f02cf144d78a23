// driver_camera.h — one camera as libgphoto2 sees it: the camera device over
// libgphoto2's port, the names of its pictures, and the operations of the
// driver's entry points, each answering a GP result code and telling the
// context why it failed.
#pragma once

#include <gphoto2/gphoto2-camera.h>
#include <gphoto2/gphoto2-context.h>
#include <gphoto2/gphoto2-file.h>

#include <ctime>
#include <string>

#include "camera/camera_device.h"
#include "gphoto2/picture_names.h"
#include "gphoto2/quiet_reporter.h"

class DriverCamera {
public:
    DriverCamera() = default;
    DriverCamera(const DriverCamera&) = delete;
    DriverCamera& operator=(const DriverCamera&) = delete;

    // Finds the camera on the open port at the download rate asked with the
    // port (`--speed`), else the one chosen in the configuration, else
    // 115200 baud.
    int open(GPPort* port, GPContext* context);

    int listFiles(CameraList* list, GPContext* context);
    int fileInfo(const std::string& name, CameraFileInfo* info, GPContext* context);
    int getFile(const std::string& name, CameraFileType type, CameraFile* file, GPContext* context);
    int deleteFile(const std::string& name, GPContext* context);
    int deleteAll(GPContext* context);
    // Takes a picture; `path` names it. `renamed` tells that every picture
    // got a new name with it (see PictureNames::append).
    int capture(CameraFilePath* path, bool& renamed, GPContext* context);
    // The camera's status, asked afresh.
    int refreshStatus(GPContext* context);
    const CameraStatus& status() const { return device_.status(); }
    double firmware() const { return device_.firmwareVersion(); }
    int downloadRate() const;

    int setPictureSizeSmall(bool small, GPContext* context);
    int setSelfTimer(bool on, GPContext* context);
    int setClock(std::time_t when, GPContext* context);
    // An offered rate, kept for the next runs too.
    int setDownloadRate(int rate, GPContext* context);

private:
    int fail(GPContext* context, LinkResult result, const char* what);
    int indexFor(const std::string& name, GPContext* context);

    QuietReporter reporter_;
    CameraDevice device_{&reporter_};
    PictureNames names_;
};

// What libgphoto2 keeps for the driver in Camera::pl.
struct _CameraPrivateLibrary {
    DriverCamera camera;
};
