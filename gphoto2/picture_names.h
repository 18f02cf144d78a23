// picture_names.h — the driver's file names for the camera's pictures and the
// camera's current number of each. libgphoto2 sorts names bytewise and keeps
// its list for a whole run while the camera renumbers its pictures after a
// delete: a name keeps its number for the run, and its picture's position in
// the camera is its place among the names still held.
#pragma once

#include <string>
#include <vector>

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
    // A new picture, last in the camera: its name, after every name ever given.
    const std::string& append();
    void clear() { names_.clear(); }

private:
    std::vector<std::string> names_;
    int lastNumber_ = 0;
};

// "picture-007.jpg" for 7; three digits cover the camera's 255 pictures.
std::string pictureName(int number);
