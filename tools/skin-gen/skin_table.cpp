// skin_table.cpp — every skin picture of the data source, with its size and
// depth as the window expects them.
#include "tools/skin-gen/skin_art.h"

namespace skin {

Art::Art() : background(drawBackground(fonts)) {}

Canvas copyBackground(Art& art, const SkinPicture&) {
    return art.background;
}

const std::vector<SkinPicture>& skinPictures() {
    static const std::vector<SkinPicture> table = {
        {187, "187-background.bmp", 526, 400, 8, copyBackground},
        {163, "163-exit-up.bmp", 83, 25, 8, drawPushFace},
        {164, "164-exit-down.bmp", 83, 25, 8, drawPushFace},
        {165, "165-deselect-all-up.bmp", 66, 28, 8, drawPushFace},
        {166, "166-deselect-all-down.bmp", 66, 27, 8, drawPushFace},
        {167, "167-select-all-up.bmp", 66, 28, 8, drawPushFace},
        {168, "168-select-all-down.bmp", 66, 28, 8, drawPushFace},
        {169, "169-load-up.bmp", 82, 25, 8, drawPushFace},
        {170, "170-load-down.bmp", 82, 25, 8, drawPushFace},
        {171, "171-update-up.bmp", 63, 38, 8, drawPushFace},
        {172, "172-update-down.bmp", 63, 38, 8, drawPushFace},
        {173, "173-shot-up.bmp", 63, 38, 8, drawPushFace},
        {174, "174-shot-down.bmp", 63, 38, 8, drawPushFace},
        {194, "194-delete-up.bmp", 63, 38, 8, drawPushFace},
        {195, "195-delete-down.bmp", 63, 38, 8, drawPushFace},
        {192, "192-help-up.bmp", 64, 26, 8, drawPushFace},
        {193, "193-help-down.bmp", 64, 26, 8, drawPushFace},
        {175, "175-timer-on.bmp", 56, 54, 8, drawDialFace},
        {176, "176-timer-off.bmp", 55, 53, 8, drawDialFace},
        {177, "177-mode-std.bmp", 55, 53, 8, drawModeFace},
        {178, "178-mode-eco.bmp", 54, 54, 8, drawModeFace},
        {179, "179-page-up-up.bmp", 30, 29, 8, drawArrowFace},
        {180, "180-page-up-down.bmp", 30, 29, 8, drawArrowFace},
        {181, "181-page-down-up.bmp", 30, 29, 8, drawArrowFace},
        {182, "182-page-down-down.bmp", 30, 29, 8, drawArrowFace},
        {183, "183-row-up-up.bmp", 30, 29, 8, drawArrowFace},
        {184, "184-row-up-down.bmp", 30, 29, 8, drawArrowFace},
        {185, "185-row-down-up.bmp", 30, 29, 8, drawArrowFace},
        {186, "186-row-down-down.bmp", 30, 29, 8, drawArrowFace},
        {206, "206-battery-unknown.bmp", 26, 25, 8, drawBattery},
        {207, "207-battery-half.bmp", 26, 25, 4, drawBattery},
        {208, "208-battery-full.bmp", 26, 25, 4, drawBattery},
        {209, "209-battery-low.bmp", 26, 25, 4, drawBattery},
        {102, "102-frame-left.bmp", 5, 66, 8, drawFramePiece},
        {130, "130-frame-right.bmp", 5, 66, 8, drawFramePiece},
        {131, "131-frame-top.bmp", 80, 5, 8, drawFramePiece},
        {132, "132-frame-bottom.bmp", 80, 5, 8, drawFramePiece},
        {137, "137-hover-left.bmp", 5, 66, 8, drawFramePiece},
        {138, "138-hover-right.bmp", 5, 66, 8, drawFramePiece},
        {139, "139-hover-top.bmp", 80, 5, 8, drawFramePiece},
        {140, "140-hover-bottom.bmp", 80, 5, 8, drawFramePiece},
        {141, "141-selected-left.bmp", 5, 66, 8, drawFramePiece},
        {142, "142-selected-right.bmp", 5, 66, 8, drawFramePiece},
        {143, "143-selected-top.bmp", 80, 5, 8, drawFramePiece},
        {144, "144-selected-bottom.bmp", 80, 5, 8, drawFramePiece},
        {203, "203-about.bmp", 346, 256, 8, drawAbout},
    };
    return table;
}

}  // namespace skin
