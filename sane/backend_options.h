// backend_options.h — the backend's options: their descriptors and values,
// and the get/set rules of sane_control_option, apart from the camera.
#pragma once

#include <sane/sane.h>

enum OptionIndex : SANE_Int {
    OPT_NUM_OPTIONS,
    OPT_PICTURE,
    OPT_SOURCE,
    OPT_PREVIEW,
    OPT_THUMBNAIL,
    OPT_RESOLUTION,
    OPT_DELETE,
    OPT_COUNT
};

constexpr char SOURCE_ONE[] = "One picture";
// Every picture in turn, as a document feeder gives its pages: the name by
// which frontends know a feeder.
constexpr char SOURCE_ALL[] = "ADF";
// The camera's pictures carry no resolution of their own; this is the one the
// data source's default settings give them.
constexpr SANE_Int CAMERA_DPI = 72;

class BackendOptions {
public:
    explicit BackendOptions(int pictureCount);
    BackendOptions(const BackendOptions&) = delete;
    BackendOptions& operator=(const BackendOptions&) = delete;

    // Null for a number outside 0 .. OPT_COUNT - 1.
    const SANE_Option_Descriptor* descriptor(SANE_Int option) const;
    // sane_control_option over the values; `info` may be null.
    SANE_Status control(SANE_Int option, SANE_Action action, void* value, SANE_Int* info);

    // The picture range follows the camera's count; a chosen picture stays
    // within it, else the newest is taken. No pictures: the picture option is
    // inactive.
    void setPictureCount(int count);

    int picture() const { return picture_; }  // from 1; the newest unless chosen
    bool allPictures() const { return allPictures_; }
    bool thumbnail() const { return thumbnail_; }
    bool deleteAfterDownload() const { return delete_; }

private:
    void updateActivity();

    SANE_Option_Descriptor descriptors_[OPT_COUNT];
    SANE_Range pictureRange_{1, 1, 1};
    SANE_Word resolutionList_[2] = {1, CAMERA_DPI};
    SANE_String_Const sourceList_[3] = {SOURCE_ONE, SOURCE_ALL, nullptr};
    int count_ = 0;
    int picture_ = 1;
    bool pictureChosen_ = false;
    bool allPictures_ = false;
    bool preview_ = false;
    bool thumbnail_ = false;
    bool delete_ = false;
};
