// window_script.h — window messages for unattended runs: the lines of a
// script file (pxcm acquire --script, $PXCM_WINDOW_SCRIPT), and the clicks
// that select pictures, Load and Exit in the camera window.
#pragma once

#include <string>
#include <vector>

#include "platform/window_thread.h"

namespace pxcm {

using WindowMessage = plat::ScriptMessage;

// --select: every picture, or pictures by their camera numbers (from 1).
struct Selection {
    bool all = false;
    std::vector<int> numbers;  // ascending, each once
};

// One script line as the messages it stands for, in order:
//   click X Y [shift] [ctrl]   button down and up
//   dblclick X Y               down, up, double click, up (as Windows sends them)
//   move X Y                   pointer moved, no button held
//   key NAME                   pageup, pagedown, home, end, up, down, left,
//                              right, escape, or a virtual-key number
//   paint                      WM_PAINT
//   close                      WM_CLOSE
//   select all | N[,N...]      Select All, or the pictures of these camera
//                              numbers clicked (as --select does)
//   load                       a click on Load
//   exit                       a click on Exit
// Blank lines and lines starting with '#' stand for nothing. False with a
// reason for any other line.
bool parseScriptLine(const std::string& line, std::vector<WindowMessage>* out, std::string* error);

// Every line of a script file; the reason names the file and line.
bool readScript(const std::string& path, std::vector<WindowMessage>* out, std::string* error);

bool parseSelection(const std::string& text, Selection* out, std::string* error);

// The messages that select the pictures in a camera window just shown:
// Select All, or Home, then for each picture as many presses of
// the row-down arrow as bring it into the page, and a click on it. A number
// beyond the camera's pictures clicks an empty slot. With `load`, then a
// click on Load.
std::vector<WindowMessage> selectionMessages(const Selection& selection, bool load = true);

// A click on the Exit button.
std::vector<WindowMessage> exitMessages();

}  // namespace pxcm
