// backend_options.cpp — option descriptors by SANE's conventions (standard
// names where one exists) and the checks of every get and set.
#include "sane/backend_options.h"

#include <sane/saneopts.h>

#include <algorithm>
#include <cstring>

namespace {

constexpr SANE_Int SETTABLE = SANE_CAP_SOFT_SELECT | SANE_CAP_SOFT_DETECT;

SANE_Option_Descriptor describe(SANE_String_Const name, SANE_String_Const title,
                                SANE_String_Const desc, SANE_Value_Type type, SANE_Int cap) {
    SANE_Option_Descriptor d{};
    d.name = name;
    d.title = title;
    d.desc = desc;
    d.type = type;
    d.unit = SANE_UNIT_NONE;
    d.size = sizeof(SANE_Word);
    d.cap = cap;
    d.constraint_type = SANE_CONSTRAINT_NONE;
    return d;
}

std::size_t longest(const SANE_String_Const* list) {
    std::size_t n = 0;
    for (; *list; ++list) n = std::max(n, std::strlen(*list) + 1);
    return n;
}

}  // namespace

BackendOptions::BackendOptions(int pictureCount) {
    descriptors_[OPT_NUM_OPTIONS] =
        describe(SANE_NAME_NUM_OPTIONS, SANE_TITLE_NUM_OPTIONS, SANE_DESC_NUM_OPTIONS,
                 SANE_TYPE_INT, SANE_CAP_SOFT_DETECT);

    SANE_Option_Descriptor& picture = descriptors_[OPT_PICTURE] =
        describe("picture", "Picture",
                 "Which picture of the camera to take, numbered "
                 "as the camera numbers them (from 1); the newest unless chosen.",
                 SANE_TYPE_INT, SETTABLE | SANE_CAP_AUTOMATIC);
    picture.constraint_type = SANE_CONSTRAINT_RANGE;
    picture.constraint.range = &pictureRange_;

    SANE_Option_Descriptor& source = descriptors_[OPT_SOURCE] =
        describe(SANE_NAME_SCAN_SOURCE, SANE_TITLE_SCAN_SOURCE,
                 "One picture takes the chosen picture; ADF takes every picture of the "
                 "camera in turn, one per start, as a document feeder gives its pages, and "
                 "then reports that no pictures are left.",
                 SANE_TYPE_STRING, SETTABLE | SANE_CAP_AUTOMATIC);
    source.size = static_cast<SANE_Int>(longest(sourceList_));
    source.constraint_type = SANE_CONSTRAINT_STRING_LIST;
    source.constraint.string_list = sourceList_;

    descriptors_[OPT_PREVIEW] =
        describe(SANE_NAME_PREVIEW, SANE_TITLE_PREVIEW,
                 "A preview is the picture itself; its download is kept, so that the scan of "
                 "the same picture that follows takes no second download.",
                 SANE_TYPE_BOOL, SETTABLE);

    descriptors_[OPT_THUMBNAIL] =
        describe("thumbnail", "Thumbnail",
                 "Take the camera's small thumbnail of the picture instead of the picture.",
                 SANE_TYPE_BOOL, SETTABLE);

    // Settable, so that frontends that set a resolution are not refused; any
    // value becomes the one resolution the camera gives.
    SANE_Option_Descriptor& resolution = descriptors_[OPT_RESOLUTION] = describe(
        SANE_NAME_SCAN_RESOLUTION, SANE_TITLE_SCAN_RESOLUTION,
        "The resolution of the camera's pictures: always 72 dpi.", SANE_TYPE_INT, SETTABLE);
    resolution.unit = SANE_UNIT_DPI;
    resolution.constraint_type = SANE_CONSTRAINT_WORD_LIST;
    resolution.constraint.word_list = resolutionList_;

    descriptors_[OPT_DELETE] =
        describe("delete-after-download", "Delete after download",
                 "Delete each picture from the camera once it has been read completely. Off "
                 "unless set; thumbnails never delete anything.",
                 SANE_TYPE_BOOL, SETTABLE | SANE_CAP_ADVANCED);

    setPictureCount(pictureCount);
}

const SANE_Option_Descriptor* BackendOptions::descriptor(SANE_Int option) const {
    if (option < 0 || option >= OPT_COUNT) return nullptr;
    return &descriptors_[option];
}

void BackendOptions::setPictureCount(int count) {
    count_ = std::max(count, 0);
    pictureRange_.max = std::max(count_, 1);
    picture_ = pictureChosen_ ? std::clamp(picture_, 1, static_cast<int>(pictureRange_.max))
                              : static_cast<int>(pictureRange_.max);
    updateActivity();
}

void BackendOptions::updateActivity() {
    SANE_Int& cap = descriptors_[OPT_PICTURE].cap;
    if (count_ == 0 || allPictures_)
        cap |= SANE_CAP_INACTIVE;
    else
        cap &= ~SANE_CAP_INACTIVE;
}

SANE_Status BackendOptions::control(SANE_Int option, SANE_Action action, void* value,
                                    SANE_Int* info) {
    if (info) *info = 0;
    const SANE_Option_Descriptor* d = descriptor(option);
    if (!d || !SANE_OPTION_IS_ACTIVE(d->cap)) return SANE_STATUS_INVAL;
    if (action != SANE_ACTION_SET_AUTO && !value) return SANE_STATUS_INVAL;

    if (action == SANE_ACTION_GET_VALUE) {
        auto* word = static_cast<SANE_Word*>(value);
        switch (option) {
            case OPT_NUM_OPTIONS:
                *word = OPT_COUNT;
                break;
            case OPT_PICTURE:
                *word = picture_;
                break;
            case OPT_SOURCE:
                std::strcpy(static_cast<char*>(value), allPictures_ ? SOURCE_ALL : SOURCE_ONE);
                break;
            case OPT_PREVIEW:
                *word = preview_ ? SANE_TRUE : SANE_FALSE;
                break;
            case OPT_THUMBNAIL:
                *word = thumbnail_ ? SANE_TRUE : SANE_FALSE;
                break;
            case OPT_RESOLUTION:
                *word = CAMERA_DPI;
                break;
            case OPT_DELETE:
                *word = delete_ ? SANE_TRUE : SANE_FALSE;
                break;
        }
        return SANE_STATUS_GOOD;
    }
    if (!SANE_OPTION_IS_SETTABLE(d->cap)) return SANE_STATUS_INVAL;
    if (action == SANE_ACTION_SET_AUTO) {
        // The defaults: the newest picture, one at a time.
        if (!(d->cap & SANE_CAP_AUTOMATIC)) return SANE_STATUS_INVAL;
        if (option == OPT_PICTURE) {
            pictureChosen_ = false;
            picture_ = static_cast<int>(pictureRange_.max);
        }
        if (option == OPT_SOURCE) allPictures_ = false;
        updateActivity();
        if (info) *info = SANE_INFO_RELOAD_OPTIONS | SANE_INFO_RELOAD_PARAMS;
        return SANE_STATUS_GOOD;
    }
    if (action != SANE_ACTION_SET_VALUE) return SANE_STATUS_INVAL;

    SANE_Int changed = 0;
    switch (option) {
        case OPT_PICTURE:
        case OPT_RESOLUTION: {
            // Out of range is corrected, not refused, as SANE has it.
            auto* word = static_cast<SANE_Word*>(value);
            const SANE_Word chosen = option == OPT_RESOLUTION
                                         ? CAMERA_DPI
                                         : std::clamp(*word, SANE_Word{1}, pictureRange_.max);
            if (chosen != *word) {
                changed |= SANE_INFO_INEXACT;
                *word = chosen;
            }
            if (option == OPT_PICTURE) {
                pictureChosen_ = true;
                picture_ = chosen;
                changed |= SANE_INFO_RELOAD_PARAMS;
            }
            break;
        }
        case OPT_SOURCE: {
            const char* text = static_cast<const char*>(value);
            if (std::strcmp(text, SOURCE_ONE) == 0)
                allPictures_ = false;
            else if (std::strcmp(text, SOURCE_ALL) == 0)
                allPictures_ = true;
            else
                return SANE_STATUS_INVAL;
            updateActivity();
            changed |= SANE_INFO_RELOAD_OPTIONS | SANE_INFO_RELOAD_PARAMS;
            break;
        }
        case OPT_PREVIEW:
        case OPT_THUMBNAIL:
        case OPT_DELETE: {
            const SANE_Word b = *static_cast<const SANE_Word*>(value);
            if (b != SANE_TRUE && b != SANE_FALSE) return SANE_STATUS_INVAL;
            const bool on = b == SANE_TRUE;
            if (option == OPT_PREVIEW) preview_ = on;
            if (option == OPT_DELETE) delete_ = on;
            if (option == OPT_THUMBNAIL) {
                thumbnail_ = on;
                changed |= SANE_INFO_RELOAD_PARAMS;
            }
            break;
        }
    }
    if (info) *info = changed;
    return SANE_STATUS_GOOD;
}
