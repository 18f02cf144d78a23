// driver_camera.cpp — the driver's operations over the camera link.
#include "gphoto2/driver_camera.h"

#include <gphoto2/gphoto2-filesys.h>
#include <gphoto2/gphoto2-result.h>
#include <gphoto2/gphoto2-setting.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "camera/camera_link.h"
#include "gphoto2/camera_time.h"
#include "gphoto2/context_progress.h"
#include "gphoto2/download_speed.h"
#include "gphoto2/gp_result.h"
#include "gphoto2/gp_serial_port.h"

namespace {

// Where the chosen download rate is kept between runs (libgphoto2's own
// settings file).
constexpr const char* SETTING_ID = "pxcm";
constexpr const char* SETTING_RATE = "download-speed";

int savedRate() {
    char value[256] = {};
    if (gp_setting_get(const_cast<char*>(SETTING_ID), const_cast<char*>(SETTING_RATE), value) <
        GP_OK)
        return 0;
    return std::atoi(value);
}

}  // namespace

int DriverCamera::fail(GPContext* context, LinkResult result, const char* what) {
    gp_context_error(context, "%s: %s.", what, gpMessageFor(result));
    return gpResultFor(result);
}

int DriverCamera::open(GPPort* port, GPContext* context) {
    GPPortSettings settings;
    int r = gp_port_get_settings(port, &settings);
    if (r < GP_OK) return r;
    int rate = settings.serial.speed;
    if (rate != 0 && !speedCodeForOfferedRate(rate)) {
        gp_context_error(context, "The camera downloads at %s baud, not at %d.",
                         offeredRatesText().c_str(), rate);
        return GP_ERROR_NOT_SUPPORTED;
    }
    if (rate == 0) rate = savedRate();
    if (!speedCodeForOfferedRate(rate)) rate = DEFAULT_RATE;

    device_.setLineOptions({speedCodeForOfferedRate(rate), 1});
    LinkResult lr = device_.adoptPort(
        std::make_unique<GpSerialPort>(port, [this] { return device_.cancelRequested(); }));
    if (lr != LINK_OK) {
        if (lr == LINK_BAD_REPLY) lr = LINK_NO_ANSWER;
        return fail(context, lr, "Opening the camera");
    }
    lr = device_.readFirmwareVersion();
    if (lr != LINK_OK) return fail(context, lr, "Reading the firmware version");
    return GP_OK;
}

int DriverCamera::downloadRate() const {
    return static_cast<int>(baudRateForSpeedCode(device_.lineOptions().speedCode));
}

int DriverCamera::refreshStatus(GPContext* context) {
    const LinkResult r = device_.requestStatus();
    return r == LINK_OK ? GP_OK : fail(context, r, "Reading the camera's status");
}

int DriverCamera::listFiles(CameraList* list, GPContext* context) {
    const int r = refreshStatus(context);
    if (r < GP_OK) return r;
    names_.sync(device_.status().pictureCount);
    for (const std::string& name : names_.names()) gp_list_append(list, name.c_str(), nullptr);
    return GP_OK;
}

int DriverCamera::indexFor(const std::string& name, GPContext* context) {
    if (names_.names().empty()) {
        const int r = refreshStatus(context);
        if (r < GP_OK) return r;
        names_.sync(device_.status().pictureCount);
    }
    const int index = names_.indexOf(name);
    if (index < 0) {
        gp_context_error(context, "The camera has no picture %s.", name.c_str());
        return GP_ERROR_FILE_NOT_FOUND;
    }
    return index;
}

int DriverCamera::fileInfo(const std::string& name, CameraFileInfo* info, GPContext* context) {
    const int index = indexFor(name, context);
    if (index < 0) return index;
    const LinkResult r = device_.readPictureInfo(index);
    if (r != LINK_OK) return fail(context, r, "Reading the picture information");
    const PictureInfo& p = device_.pictureInfo();
    info->file.fields = static_cast<CameraFileInfoFields>(
        GP_FILE_INFO_TYPE | GP_FILE_INFO_SIZE | GP_FILE_INFO_WIDTH | GP_FILE_INFO_HEIGHT |
        GP_FILE_INFO_PERMISSIONS | GP_FILE_INFO_MTIME);
    std::strcpy(info->file.type, GP_MIME_JPEG);
    info->file.size = p.pictureSize;
    info->file.width = p.width;
    info->file.height = p.height;
    info->file.permissions =
        static_cast<CameraFilePermissions>(GP_FILE_PERM_READ | GP_FILE_PERM_DELETE);
    info->file.mtime = localTimeOf(p.year, p.month, p.day, p.hour, p.minute);
    info->preview.fields = static_cast<CameraFileInfoFields>(
        GP_FILE_INFO_TYPE | GP_FILE_INFO_SIZE | GP_FILE_INFO_WIDTH | GP_FILE_INFO_HEIGHT);
    std::strcpy(info->preview.type, GP_MIME_JPEG);
    info->preview.size = p.thumbnailSize;
    info->preview.width = THUMBNAIL_WIDTH;
    info->preview.height = THUMBNAIL_HEIGHT;
    return GP_OK;
}

int DriverCamera::getFile(const std::string& name, CameraFileType type, CameraFile* file,
                          GPContext* context) {
    if (type != GP_FILE_TYPE_NORMAL && type != GP_FILE_TYPE_PREVIEW) return GP_ERROR_NOT_SUPPORTED;
    const bool preview = type == GP_FILE_TYPE_PREVIEW;
    const int index = indexFor(name, context);
    if (index < 0) return index;
    device_.clearCancel();
    LinkResult r;
    {
        ContextProgress progress(context, (preview ? "Thumbnail of " : "Downloading ") + name,
                                 [this] { device_.cancel(); });
        r = preview ? device_.downloadThumbnail(index, &progress, false)
                    : device_.downloadPicture(index, &progress);
    }
    if (r == LINK_CANCELLED) {
        // The camera out of the transfer and ready for the next command.
        (void)device_.abortTransfer();
        return GP_ERROR_CANCEL;
    }
    if (r != LINK_OK) return fail(context, r, ("Downloading " + name).c_str());
    const std::size_t size = device_.downloadBufferSize();
    if (size == 0) {
        gp_context_error(context, "The camera has no %s for %s.", preview ? "thumbnail" : "picture",
                         name.c_str());
        return GP_ERROR_FILE_NOT_FOUND;
    }
    int gr = gp_file_set_mime_type(file, GP_MIME_JPEG);
    if (gr < GP_OK) return gr;
    // The camera's JPEG exactly as it came.
    return gp_file_append(file, reinterpret_cast<const char*>(device_.downloadData()),
                          static_cast<unsigned long>(size));
}

int DriverCamera::deleteFile(const std::string& name, GPContext* context) {
    const int index = indexFor(name, context);
    if (index < 0) return index;
    const LinkResult r = device_.deletePicture(index);
    if (r != LINK_OK) return fail(context, r, ("Deleting " + name).c_str());
    names_.erase(index);
    return GP_OK;
}

int DriverCamera::deleteAll(GPContext* context) {
    int r = refreshStatus(context);
    if (r < GP_OK) return r;
    // From the last, so that no picture moves up under a number in use.
    for (int index = device_.status().pictureCount - 1; index >= 0; --index) {
        const LinkResult lr = device_.deletePicture(index);
        if (lr != LINK_OK) {
            names_.clear();
            return fail(context, lr, "Deleting the pictures");
        }
    }
    names_.clear();
    return GP_OK;
}

int DriverCamera::capture(CameraFilePath* path, bool& renamed, GPContext* context) {
    int r = refreshStatus(context);
    if (r < GP_OK) return r;
    names_.sync(device_.status().pictureCount);
    const int before = device_.status().pictureCount;
    const LinkResult lr = device_.takePicture();
    if (lr != LINK_OK) return fail(context, lr, "Taking a picture");
    if (device_.status().pictureCount != before + 1) {
        gp_context_error(context, "The camera took no picture (%d frames left).",
                         device_.status().freeFrames);
        return GP_ERROR_CAMERA_ERROR;
    }
    renamed = names_.append();
    const std::string& name = names_.names().back();
    std::strcpy(path->folder, "/");
    std::snprintf(path->name, sizeof path->name, "%s", name.c_str());
    return GP_OK;
}

int DriverCamera::setPictureSizeSmall(bool small, GPContext* context) {
    const LinkResult r = device_.setQualityMode(small ? 1 : 0);
    return r == LINK_OK ? GP_OK : fail(context, r, "Setting the picture size");
}

int DriverCamera::setSelfTimer(bool on, GPContext* context) {
    const LinkResult r = device_.setTimerMode(on ? 1 : 0);
    return r == LINK_OK ? GP_OK : fail(context, r, "Setting the self-timer");
}

int DriverCamera::setClock(std::time_t when, GPContext* context) {
    std::tm t{};
    localtime_r(&when, &t);
    const LinkResult r = device_.setCameraClock(
        clockBytes(t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min));
    return r == LINK_OK ? GP_OK : fail(context, r, "Setting the camera's clock");
}

int DriverCamera::setDownloadRate(int rate, GPContext* context) {
    const uint8_t code = speedCodeForOfferedRate(rate);
    if (!code) {
        gp_context_error(context, "The camera downloads at %s baud, not at %d.",
                         offeredRatesText().c_str(), rate);
        return GP_ERROR_BAD_PARAMETERS;
    }
    device_.setSpeedCode(code);
    const std::string value = std::to_string(rate);
    gp_setting_set(const_cast<char*>(SETTING_ID), const_cast<char*>(SETTING_RATE),
                   const_cast<char*>(value.c_str()));
    return GP_OK;
}
