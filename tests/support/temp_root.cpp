#include "support/temp_root.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "platform/trace.h"

namespace fs = std::filesystem;

namespace testsupport {
namespace {

bool saveEnv(const char* name, std::string& out) {
    const char* v = std::getenv(name);
    if (!v) return false;
    out = v;
    return true;
}

void restoreEnv(const char* name, bool had, const std::string& value) {
    if (had)
        setenv(name, value.c_str(), 1);
    else
        unsetenv(name);
}

// The value of "key":"..." in one JSON line written by the prompt layer
// (strings with \n, \" and \\ escapes, booleans bare).
std::string jsonField(const std::string& line, const std::string& key) {
    const std::string tag = "\"" + key + "\":";
    size_t p = line.find(tag);
    if (p == std::string::npos) return {};
    p += tag.size();
    if (p < line.size() && line[p] != '"') {
        size_t e = line.find_first_of(",}", p);
        return line.substr(p, e - p);
    }
    std::string out;
    for (++p; p < line.size() && line[p] != '"'; ++p) {
        char c = line[p];
        if (c == '\\' && p + 1 < line.size()) {
            char n = line[++p];
            if (n == 'n')
                out += '\n';
            else if (n == 'r')
                out += '\r';
            else if (n == 't')
                out += '\t';
            else if (n == 'u' && p + 4 < line.size()) {
                out += static_cast<char>(std::stoi(line.substr(p + 1, 4), nullptr, 16));
                p += 4;
            } else
                out += n;
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

TempRoot::TempRoot() {
    std::string tmpl = (fs::temp_directory_path() / "pxcm-test-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
    root_ = tmpl;
    fs::create_directories(windowsDir());
    hadRoot_ = saveEnv("PXCM_ROOT", savedRoot_);
    hadPrompts_ = saveEnv("PXCM_PROMPTS", savedPrompts_);
    hadAnswers_ = saveEnv("PXCM_ANSWERS", savedAnswers_);
    hadUi_ = saveEnv("PXCM_UI", savedUi_);
    hadTrace_ = saveEnv("PXCM_TRACE", savedTrace_);
    unsetenv("PXCM_TRACE");
    // Windows stay off the screen even when the tests run on a desktop.
    setenv("PXCM_UI", "headless", 1);
    setenv("PXCM_ROOT", root_.c_str(), 1);
    setenv("PXCM_PROMPTS", file("prompts.jsonl").c_str(), 1);
    unsetenv("PXCM_ANSWERS");
}

TempRoot::~TempRoot() {
    // A test's trace file ends with its root.
    unsetenv("PXCM_TRACE");
    plat::traceSwitch();
    restoreEnv("PXCM_TRACE", hadTrace_, savedTrace_);
    restoreEnv("PXCM_ROOT", hadRoot_, savedRoot_);
    restoreEnv("PXCM_PROMPTS", hadPrompts_, savedPrompts_);
    restoreEnv("PXCM_ANSWERS", hadAnswers_, savedAnswers_);
    restoreEnv("PXCM_UI", hadUi_, savedUi_);
    std::error_code ec;
    fs::remove_all(root_, ec);
}

void TempRoot::write(const std::string& rel, const std::string& content) const {
    fs::path p = file(rel);
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << content;
}

std::string TempRoot::read(const std::string& rel) const {
    std::ifstream in(file(rel), std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

bool TempRoot::exists(const std::string& rel) const {
    return fs::exists(file(rel));
}

void TempRoot::remove(const std::string& rel) const {
    std::error_code ec;
    fs::remove(file(rel), ec);
}

void TempRoot::installDefaultSettings() const {
    const fs::path settings = fs::path(PXCM_SOURCE_DIR) / "resources" / "settings";
    for (const auto& entry : fs::directory_iterator(settings))
        fs::copy_file(entry.path(), fs::path(windowsDir()) / entry.path().filename(),
                      fs::copy_options::overwrite_existing);
}

void TempRoot::setAnswers(const std::string& csv) const {
    setenv("PXCM_ANSWERS", csv.c_str(), 1);
}

std::vector<Prompt> TempRoot::prompts() const {
    std::vector<Prompt> out;
    std::ifstream in(file("prompts.jsonl"));
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty()) continue;
        Prompt p;
        p.caption = jsonField(line, "caption");
        p.text = jsonField(line, "text");
        p.buttons = jsonField(line, "buttons");
        p.icon = jsonField(line, "icon");
        p.answer = jsonField(line, "answer");
        p.owned = jsonField(line, "owned") == "true";
        out.push_back(p);
    }
    return out;
}

void TempRoot::clearPrompts() const {
    remove("prompts.jsonl");
}

}  // namespace testsupport
