// picture_names.cpp — names that sort in the camera's order.
#include "gphoto2/picture_names.h"

#include <algorithm>
#include <cstdio>

std::string pictureName(int number) {
    char text[32];
    std::snprintf(text, sizeof text, "picture-%0*d.jpg", NAME_DIGITS, number);
    return text;
}

void PictureNames::sync(int count) {
    if (count == static_cast<int>(names_.size())) return;
    names_.clear();
    lastNumber_ = 0;
    while (static_cast<int>(names_.size()) < count) names_.push_back(pictureName(++lastNumber_));
}

int PictureNames::indexOf(const std::string& name) const {
    const auto it = std::find(names_.begin(), names_.end(), name);
    return it == names_.end() ? -1 : static_cast<int>(it - names_.begin());
}

void PictureNames::erase(int index) {
    if (index >= 0 && index < static_cast<int>(names_.size())) names_.erase(names_.begin() + index);
}

bool PictureNames::append() {
    if (lastNumber_ < LAST_NAME_NUMBER) {
        names_.push_back(pictureName(++lastNumber_));
        return false;
    }
    const int count = static_cast<int>(names_.size()) + 1;
    names_.clear();
    sync(count);
    return true;
}
