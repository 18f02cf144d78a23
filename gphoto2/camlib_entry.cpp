// camlib_entry.cpp — the driver's C boundary for libgphoto2: the camera's
// identity and abilities, and camera_init, which hands libgphoto2 the
// camera's functions and one folder of pictures. No exception crosses it.
#include <gphoto2/gphoto2-library.h>
#include <gphoto2/gphoto2-result.h>

#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "gphoto2/config_widgets.h"
#include "gphoto2/download_speed.h"
#include "gphoto2/driver_camera.h"
#include "gphoto2/summary_text.h"
#include "platform/export.h"

namespace {

constexpr const char* MODEL = "Vantrel KMT-18/19";
constexpr const char* FOLDER = "/";

DriverCamera& driverOf(void* data) {
    return static_cast<Camera*>(data)->pl->camera;
}

// Runs an operation, turning an exception into a result code.
template <typename F>
int guarded(F f) {
    try {
        return f();
    } catch (const std::bad_alloc&) {
        return GP_ERROR_NO_MEMORY;
    } catch (...) {
        return GP_ERROR;
    }
}

int inFolder(const char* folder) {
    return std::strcmp(folder, FOLDER) == 0 ? GP_OK : GP_ERROR_DIRECTORY_NOT_FOUND;
}

int fileList(CameraFilesystem*, const char* folder, CameraList* list, void* data,
             GPContext* context) {
    if (int r = inFolder(folder); r < GP_OK) return r;
    return guarded([&] { return driverOf(data).listFiles(list, context); });
}

int getInfo(CameraFilesystem*, const char* folder, const char* name, CameraFileInfo* info,
            void* data, GPContext* context) {
    if (int r = inFolder(folder); r < GP_OK) return r;
    return guarded([&] { return driverOf(data).fileInfo(name, info, context); });
}

int getFile(CameraFilesystem*, const char* folder, const char* name, CameraFileType type,
            CameraFile* file, void* data, GPContext* context) {
    if (int r = inFolder(folder); r < GP_OK) return r;
    return guarded([&] { return driverOf(data).getFile(name, type, file, context); });
}

int deleteFile(CameraFilesystem*, const char* folder, const char* name, void* data,
               GPContext* context) {
    if (int r = inFolder(folder); r < GP_OK) return r;
    return guarded([&] { return driverOf(data).deleteFile(name, context); });
}

int deleteAll(CameraFilesystem*, const char* folder, void* data, GPContext* context) {
    if (int r = inFolder(folder); r < GP_OK) return r;
    return guarded([&] { return driverOf(data).deleteAll(context); });
}

CameraFilesystemFuncs filesystemFuncs() {
    CameraFilesystemFuncs funcs{};
    funcs.file_list_func = fileList;
    funcs.get_info_func = getInfo;
    funcs.get_file_func = getFile;
    funcs.del_file_func = deleteFile;
    funcs.delete_all_func = deleteAll;
    return funcs;
}

int cameraExit(Camera* camera, GPContext*) {
    delete camera->pl;
    camera->pl = nullptr;
    return GP_OK;
}

int cameraSummary(Camera* camera, CameraText* text, GPContext* context) {
    return guarded([&] {
        DriverCamera& cam = camera->pl->camera;
        const int r = cam.refreshStatus(context);
        if (r < GP_OK) return r;
        std::snprintf(text->text, sizeof text->text, "%s",
                      summaryText(cam.status(), cam.firmware(), cam.downloadRate()).c_str());
        return GP_OK;
    });
}

int cameraAbout(Camera*, CameraText* text, GPContext*) {
    std::snprintf(text->text, sizeof text->text,
                  "%s on a serial port: the pictures as JPEG files with their thumbnails, "
                  "delete, capture, the camera's modes and clock.\n"
                  "Download speeds: %s baud.\n",
                  MODEL, offeredRatesText().c_str());
    return GP_OK;
}

int cameraCapture(Camera* camera, CameraCaptureType type, CameraFilePath* path,
                  GPContext* context) {
    if (type != GP_CAPTURE_IMAGE) return GP_ERROR_NOT_SUPPORTED;
    return guarded([&] {
        bool renamed = false;
        const int r = camera->pl->camera.capture(path, renamed, context);
        if (r < GP_OK) return r;
        // The new picture is in libgphoto2's list of the folder too; after
        // new names for all, libgphoto2 lists the folder afresh.
        return renamed ? gp_filesystem_reset(camera->fs)
                       : gp_filesystem_append(camera->fs, path->folder, path->name, context);
    });
}

int cameraGetConfig(Camera* camera, CameraWidget** window, GPContext* context) {
    return guarded([&] { return getConfig(camera, window, context); });
}

int cameraSetConfig(Camera* camera, CameraWidget* window, GPContext* context) {
    return guarded([&] { return setConfig(camera, window, context); });
}

}  // namespace

extern "C" {

PXCM_EXPORT int camera_id(CameraText* id) {
    std::snprintf(id->text, sizeof id->text, "pxcm");
    return GP_OK;
}

PXCM_EXPORT int camera_abilities(CameraAbilitiesList* list) {
    CameraAbilities a;
    std::memset(&a, 0, sizeof a);
    std::snprintf(a.model, sizeof a.model, "%s", MODEL);
    // Until it has met a real camera.
    a.status = GP_DRIVER_STATUS_TESTING;
    a.port = GP_PORT_SERIAL;
    int i = 0;
    for (int rate : OFFERED_RATES) a.speed[i++] = rate;
    a.speed[i] = 0;
    a.operations = static_cast<CameraOperation>(GP_OPERATION_CAPTURE_IMAGE | GP_OPERATION_CONFIG);
    a.file_operations =
        static_cast<CameraFileOperation>(GP_FILE_OPERATION_DELETE | GP_FILE_OPERATION_PREVIEW);
    a.folder_operations = GP_FOLDER_OPERATION_DELETE_ALL;
    a.device_type = GP_DEVICE_STILL_CAMERA;
    return gp_abilities_list_append(list, a);
}

PXCM_EXPORT int camera_init(Camera* camera, GPContext* context) {
    return guarded([&] {
        camera->functions->exit = cameraExit;
        camera->functions->summary = cameraSummary;
        camera->functions->about = cameraAbout;
        camera->functions->capture = cameraCapture;
        camera->functions->get_config = cameraGetConfig;
        camera->functions->set_config = cameraSetConfig;
        camera->pl = new _CameraPrivateLibrary;
        CameraFilesystemFuncs funcs = filesystemFuncs();
        int r = gp_filesystem_set_funcs(camera->fs, &funcs, camera);
        if (r >= GP_OK) r = camera->pl->camera.open(camera->port, context);
        if (r < GP_OK) {
            delete camera->pl;
            camera->pl = nullptr;
        }
        return r;
    });
}

}  // extern "C"
