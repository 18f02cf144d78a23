// prompt.cpp — message boxes: each box is one JSON line in
// $PXCM_PROMPTS (or a line on stderr when that is not set), answered from
// the scripted answers in $PXCM_ANSWERS, else by the user in a real box when
// the windows are on screen, else with its safe choice.
#include "platform/prompt.h"

#include "wsys/prompt_record.h"
#include "wsys/window_system.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <string_view>

namespace plat {
namespace {

const char* buttonsName(Buttons b) {
    switch (b) {
        case Buttons::OkCancel:
            return "okcancel";
        case Buttons::RetryCancel:
            return "retrycancel";
        case Buttons::Ok:
            break;
    }
    return "ok";
}

const char* iconName(Icon i) {
    switch (i) {
        case Icon::Error:
            return "error";
        case Icon::Warning:
            return "warning";
        case Icon::Information:
            return "information";
        case Icon::Question:
            return "question";
        case Icon::None:
            break;
    }
    return "none";
}

const char* answerName(int answer) {
    switch (answer) {
        case ANSWER_CANCEL:
            return "cancel";
        case ANSWER_RETRY:
            return "retry";
        default:
            return "ok";
    }
}

int safeAnswer(Buttons b) {
    return b == Buttons::Ok ? ANSWER_OK : ANSWER_CANCEL;
}

bool fits(int answer, Buttons b) {
    switch (b) {
        case Buttons::Ok:
            return answer == ANSWER_OK;
        case Buttons::OkCancel:
            return answer == ANSWER_OK || answer == ANSWER_CANCEL;
        case Buttons::RetryCancel:
            return answer == ANSWER_RETRY || answer == ANSWER_CANCEL;
    }
    return false;
}

bool sameWord(std::string_view a, const char* b) {
    std::size_t i = 0;
    for (; i < a.size() && b[i]; ++i) {
        char c = a[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
        if (c != b[i]) return false;
    }
    return i == a.size() && !b[i];
}

// Takes the next scripted answer off the front of $PXCM_ANSWERS: what is
// left stays in the variable, so that setting it again (even to the same
// text) starts a new script. 0 when none is left or the item is unknown.
int nextScriptedAnswer() {
    static std::mutex mutex;
    std::lock_guard<std::mutex> lock(mutex);
    const char* env = std::getenv("PXCM_ANSWERS");
    if (!env || !*env) return 0;
    std::string value = env;
    std::size_t comma = value.find(',');
    std::string_view item(value.data(), comma == std::string::npos ? value.size() : comma);
    std::string rest = comma == std::string::npos ? std::string() : value.substr(comma + 1);
    while (!item.empty() && (item.front() == ' ' || item.front() == '\t')) item.remove_prefix(1);
    while (!item.empty() && (item.back() == ' ' || item.back() == '\t')) item.remove_suffix(1);
    int answer = 0;
    if (sameWord(item, "ok"))
        answer = ANSWER_OK;
    else if (sameWord(item, "cancel"))
        answer = ANSWER_CANCEL;
    else if (sameWord(item, "retry"))
        answer = ANSWER_RETRY;
    ::setenv("PXCM_ANSWERS", rest.c_str(), 1);
    return answer;
}

// A JSON string; bytes that are not valid UTF-8 are escaped as \u00XX so
// that the line stays valid and the byte comes back unchanged.
void appendJsonString(std::string& out, std::string_view s) {
    static const char hex[] = "0123456789abcdef";
    out += '"';
    for (std::size_t i = 0; i < s.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        switch (c) {
            case '"':
                out += "\\\"";
                continue;
            case '\\':
                out += "\\\\";
                continue;
            case '\n':
                out += "\\n";
                continue;
            case '\r':
                out += "\\r";
                continue;
            case '\t':
                out += "\\t";
                continue;
            default:
                break;
        }
        if (c < 0x20) {
            out += "\\u00";
            out += hex[c >> 4];
            out += hex[c & 15];
            continue;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
            continue;
        }
        std::size_t len = c >= 0xF0 && c <= 0xF4  ? 4
                          : c >= 0xE0             ? 3
                          : c >= 0xC2 && c < 0xE0 ? 2
                                                  : 0;
        bool valid = len > 0 && i + len <= s.size();
        for (std::size_t k = 1; valid && k < len; ++k)
            valid = (static_cast<unsigned char>(s[i + k]) & 0xC0) == 0x80;
        if (valid) {
            out.append(s.substr(i, len));
            i += len - 1;
        } else {
            out += "\\u00";
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    out += '"';
}

void writeAll(int fd, const std::string& line) {
    std::size_t done = 0;
    while (done < line.size()) {
        ssize_t n = ::write(fd, line.data() + done, line.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        done += static_cast<std::size_t>(n);
    }
}

}  // namespace

void recordPromptLine(void* owner, const char* text, const char* caption, PromptOptions options,
                      int answer) {
    if (!caption) caption = "Error";
    if (!text) text = "";
    const char* file = std::getenv("PXCM_PROMPTS");
    if (file && *file) {
        std::string line = "{\"caption\":";
        appendJsonString(line, caption);
        line += ",\"text\":";
        appendJsonString(line, text);
        line += ",\"buttons\":\"";
        line += buttonsName(options.buttons);
        line += "\",\"icon\":\"";
        line += iconName(options.icon);
        line += "\",\"answer\":\"";
        line += answerName(answer);
        line += "\",\"owned\":";
        line += owner ? "true" : "false";
        line += "}\n";
        // One write per box on an O_APPEND file keeps other writers' lines whole.
        int fd;
        do fd = ::open(file, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
        while (fd < 0 && errno == EINTR);
        if (fd >= 0) {
            writeAll(fd, line);
            ::close(fd);
        }
    } else {
        // Nobody records the box: the user of a terminal still reads it.
        std::string line = caption;
        line += ": ";
        line += text;
        for (char& c : line)
            if (c == '\n' || c == '\r') c = ' ';
        line += " [";
        line += answerName(answer);
        line += "]\n";
        writeAll(2, line);
    }
}

int messageBox(void* owner, const char* text, const char* caption, PromptOptions options) {
    if (!caption) caption = "Error";
    if (!text) text = "";
    snapshotBeforeBox(owner);
    int answer = nextScriptedAnswer();
    if (!fits(answer, options.buttons)) {
        // With the windows on screen the user answers; a scripted answer
        // still wins, so that scripted runs never wait for a click.
        answer = sdlHostActive() && answer == 0
                     ? sdlHostMessageBox(owner, text, caption, options.buttons, options.icon)
                     : safeAnswer(options.buttons);
        if (!fits(answer, options.buttons)) answer = safeAnswer(options.buttons);
    }
    recordPromptLine(owner, text, caption, options, answer);
    return answer;
}

}  // namespace plat
