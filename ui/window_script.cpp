// window_script.cpp — script lines and selections as camera-window messages.
#include "ui/window_script.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "ui/layout.h"
#include "ui/thumbnail_list.h"

namespace pxcm {
namespace {

struct KeyName {
    const char* name;
    WPARAM key;
};

const KeyName KEYS[] = {
    {"pageup", VK_PRIOR}, {"prior", VK_PRIOR}, {"pagedown", VK_NEXT}, {"next", VK_NEXT},
    {"home", VK_HOME},    {"end", VK_END},     {"up", VK_UP},         {"down", VK_DOWN},
    {"left", VK_LEFT},    {"right", VK_RIGHT}, {"escape", VK_ESCAPE},
};

bool number(const std::string& text, long* out) {
    if (text.empty()) return false;
    char* end = nullptr;
    *out = std::strtol(text.c_str(), &end, 10);
    return *end == '\0';
}

void click(std::vector<WindowMessage>* out, int x, int y, WPARAM keys = MK_LBUTTON) {
    out->push_back({WM_LBUTTONDOWN, keys, pointParam(x, y)});
    out->push_back({WM_LBUTTONUP, keys & ~static_cast<WPARAM>(MK_LBUTTON), pointParam(x, y)});
}

void clickButton(std::vector<WindowMessage>* out, int button) {
    const plat::Rect& r = BUTTON_TABLE[button].rect;
    click(out, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

// The middle of the picture of a page slot.
void clickSlot(std::vector<WindowMessage>* out, int slot) {
    click(out, slotMiddleX(slot), slotMiddleY(slot));
}

using Words = std::vector<std::string>;

// paint, close, load, exit: the verb alone.
bool plainLine(const Words& words, std::vector<WindowMessage>* out, std::string* error) {
    const std::string& verb = words[0];
    if (words.size() != 1) {
        *error = verb + " takes nothing more";
        return false;
    }
    if (verb == "paint")
        out->push_back({WM_PAINT, 0, 0});
    else if (verb == "close")
        out->push_back({WM_CLOSE, 0, 0});
    else
        clickButton(out, verb == "load" ? BUTTON_LOAD : BUTTON_EXIT);
    return true;
}

bool keyLine(const Words& words, std::vector<WindowMessage>* out, std::string* error) {
    if (words.size() != 2) {
        *error = "key takes one key name";
        return false;
    }
    long code = 0;
    for (const KeyName& k : KEYS)
        if (words[1] == k.name) code = static_cast<long>(k.key);
    if (code == 0 && (!number(words[1], &code) || code <= 0 || code > 255)) {
        *error = "unknown key " + words[1];
        return false;
    }
    out->push_back({WM_KEYDOWN, static_cast<WPARAM>(code), 0});
    return true;
}

// click, dblclick, move: X Y, and for click the keys held.
bool pointerLine(const Words& words, std::vector<WindowMessage>* out, std::string* error) {
    const std::string& verb = words[0];
    long x = 0, y = 0;
    if (words.size() < 3 || !number(words[1], &x) || !number(words[2], &y) || x < -32768 ||
        x > 32767 || y < -32768 || y > 32767) {
        *error = verb + " takes X Y (client pixels)";
        return false;
    }
    WPARAM keys = 0;
    for (std::size_t i = 3; i < words.size(); ++i) {
        if (verb == "click" && words[i] == "shift") {
            keys |= MK_SHIFT;
        } else if (verb == "click" && words[i] == "ctrl") {
            keys |= MK_CONTROL;
        } else {
            *error = "unexpected " + words[i] + " after " + verb + " X Y";
            return false;
        }
    }
    const int px = static_cast<int>(x), py = static_cast<int>(y);
    if (verb == "move") {
        out->push_back({WM_MOUSEMOVE, 0, pointParam(px, py)});
    } else if (verb == "click") {
        click(out, px, py, keys | MK_LBUTTON);
    } else {
        click(out, px, py);
        out->push_back({WM_LBUTTONDBLCLK, MK_LBUTTON, pointParam(px, py)});
        out->push_back({WM_LBUTTONUP, 0, pointParam(px, py)});
    }
    return true;
}

bool selectLine(const Words& words, std::vector<WindowMessage>* out, std::string* error) {
    Selection selection;
    if (words.size() != 2) {
        *error = "select takes all or picture numbers separated by commas";
        return false;
    }
    if (!parseSelection(words[1], &selection, error)) {
        error->erase(0, 2);  // the option's dashes: here it is a verb
        return false;
    }
    const auto messages = selectionMessages(selection, false);
    out->insert(out->end(), messages.begin(), messages.end());
    return true;
}

struct Verb {
    const char* name;
    bool (*parse)(const Words&, std::vector<WindowMessage>*, std::string*);
};

const Verb VERBS[] = {
    {"paint", plainLine},   {"close", plainLine},      {"key", keyLine},
    {"click", pointerLine}, {"dblclick", pointerLine}, {"move", pointerLine},
    {"select", selectLine}, {"load", plainLine},       {"exit", plainLine},
};

}  // namespace

bool parseScriptLine(const std::string& line, std::vector<WindowMessage>* out, std::string* error) {
    std::istringstream in(line);
    Words words;
    for (std::string w; in >> w;) words.push_back(w);
    if (words.empty() || words[0][0] == '#') return true;
    for (const Verb& v : VERBS)
        if (words[0] == v.name) return v.parse(words, out, error);
    *error = "unknown command " + words[0];
    return false;
}

bool readScript(const std::string& path, std::vector<WindowMessage>* out, std::string* error) {
    std::ifstream in(path);
    if (!in) {
        *error = "cannot read the script " + path;
        return false;
    }
    std::string line;
    for (int n = 1; std::getline(in, line); ++n) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::string why;
        if (!parseScriptLine(line, out, &why)) {
            *error = path + ":" + std::to_string(n) + ": " + why;
            return false;
        }
    }
    return true;
}

bool parseSelection(const std::string& text, Selection* out, std::string* error) {
    *out = Selection{};
    if (text == "all") {
        out->all = true;
        return true;
    }
    std::istringstream in(text);
    for (std::string item; std::getline(in, item, ',');) {
        long n = 0;
        if (!number(item, &n) || n < 1 || n > LIST_CELLS) {
            *error = "--select takes all or picture numbers from 1 to " +
                     std::to_string(LIST_CELLS) + " separated by commas, not " + text;
            return false;
        }
        out->numbers.push_back(static_cast<int>(n));
    }
    if (out->numbers.empty()) {
        *error = "--select needs all or picture numbers";
        return false;
    }
    std::sort(out->numbers.begin(), out->numbers.end());
    out->numbers.erase(std::unique(out->numbers.begin(), out->numbers.end()), out->numbers.end());
    return true;
}

std::vector<WindowMessage> selectionMessages(const Selection& selection, bool load) {
    std::vector<WindowMessage> out;
    if (selection.all) {
        clickButton(&out, BUTTON_SELECT_ALL);
    } else {
        // The first paint leaves the page wherever its preload ended.
        out.push_back({WM_KEYDOWN, VK_HOME, 0});
        int firstVisible = 0;
        for (int number : selection.numbers) {
            const int index = number - 1;
            while (index > firstVisible + PAGE_SLOTS - 1) {
                clickButton(&out, BUTTON_ROW_DOWN);
                firstVisible += 4;
            }
            clickSlot(&out, index - firstVisible);
        }
    }
    if (load) clickButton(&out, BUTTON_LOAD);
    return out;
}

std::vector<WindowMessage> exitMessages() {
    std::vector<WindowMessage> out;
    clickButton(&out, BUTTON_EXIT);
    return out;
}

}  // namespace pxcm
