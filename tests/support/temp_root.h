// temp_root.h — a private $PXCM_ROOT for one test: the drive C: and Windows
// directory of the source, prompt capture through $PXCM_PROMPTS, scripted
// answers through $PXCM_ANSWERS. Restores the environment when it goes.
#pragma once

#include <string>
#include <vector>

namespace testsupport {

// One message box as the POSIX prompt layer records it.
struct Prompt {
    std::string caption;
    std::string text;
    std::string buttons;  // "ok", "okcancel", "retrycancel"
    std::string icon;     // "none", "error", "warning", "information", "question"
    std::string answer;   // "ok", "cancel", "retry"
    bool owned = false;   // shown with an owner window
};

class TempRoot {
public:
    TempRoot();
    ~TempRoot();
    TempRoot(const TempRoot&) = delete;
    TempRoot& operator=(const TempRoot&) = delete;

    const std::string& path() const { return root_; }
    std::string windowsDir() const { return root_ + "/windows"; }
    std::string file(const std::string& rel) const { return root_ + "/" + rel; }

    // Files relative to the root ("windows/pxcm.ini").
    void write(const std::string& rel, const std::string& content) const;
    std::string read(const std::string& rel) const;
    bool exists(const std::string& rel) const;
    void remove(const std::string& rel) const;

    // Copies the installed default settings (resources/settings) into the
    // Windows directory.
    void installDefaultSettings() const;

    // Scripted answers for the next boxes ("retry,cancel").
    void setAnswers(const std::string& csv) const;
    std::vector<Prompt> prompts() const;
    void clearPrompts() const;

private:
    std::string root_;
    std::string savedRoot_, savedPrompts_, savedAnswers_, savedUi_, savedTrace_;
    bool hadRoot_ = false, hadPrompts_ = false, hadAnswers_ = false, hadUi_ = false,
         hadTrace_ = false;
};

}  // namespace testsupport
