// picture_names.h — the driver's file names for the camera's pictures and the
// camera's current number of each. libgphoto2 sorts names bytewise and keeps
// its list for a whole run while the camera renumbers its pictures after a
// delete: a name keeps its number for the run, and its picture's position in
// the camera is its place among the names still held.
#pragma once

#include <string>
#include <vector>

// The most pictures a camera holds: its status counts them in one byte.
constexpr int MOST_PICTURES = 255;

constexpr int digitsOf(int n) {
    return n < 10 ? 1 : 1 + digitsOf(n / 10);
}
constexpr int tenTo(int power) {
    return power == 0 ? 1 : 10 * tenTo(power - 1);
}
// Names carry their numbers zero-padded to the digits of the most pictures,
// so that bytewise order is number order, up to the highest number of that
// many digits.
constexpr int NAME_DIGITS = digitsOf(MOST_PICTURES);
constexpr int LAST_NAME_NUMBER = tenTo(NAME_DIGITS) - 1;

class PictureNames {
public:
    // The names for a camera holding `count` pictures. Names held already
    // stay when they still cover the camera's pictures; otherwise the names
    // start again from "picture-001.jpg".
    void sync(int count);
    const std::vector<std::string>& names() const { return names_; }
    // The camera's index (from 0) of a name, or -1 when no picture has it.
    int indexOf(const std::string& name) const;
    // After the camera deleted the picture at `index`: the later ones move up.
    void erase(int index);
    // A new picture, last in the camera, named last (names().back()), after
    // every name given. When the numbers have run out (captures and deletes
    // in a long run), every picture is named afresh from the first number
    // and the answer is true: names handed out before no longer hold.
    bool append();
    void clear() { names_.clear(); }

private:
    std::vector<std::string> names_;
    int lastNumber_ = 0;
};

// "picture-007.jpg" for 7.
std::string pictureName(int number);
