// Shared by the installer's tests: a private home with its own desktop and
// menu folders, and prompts that answer at once and remember what was asked.
#pragma once

#include "SetupPrompts.h"

#include <QString>
#include <QStringList>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <map>
#include <optional>
#include <string>

namespace sonvela::testing {

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// HOME, the XDG configuration, runtime and data folders point into a fresh
// temporary folder for the test's life, so no test writes the real desktop
// or menu, whether it runs as root (system menu: the first of XDG_DATA_DIRS)
// or not (XDG_DATA_HOME).
class TempHome {
public:
    TempHome() {
        std::string pattern = (std::filesystem::temp_directory_path() / "setup-test-XXXXXX");
        root_ = ::mkdtemp(pattern.data());
        home_ = root_ / "home";
        std::filesystem::create_directories(home_);
        Remember("HOME", home_);
        Remember("XDG_CONFIG_HOME", home_ / ".config");
        Remember("XDG_DATA_HOME", home_ / ".local/share");
        Remember("XDG_DATA_DIRS", (root_ / "system").string() + ":/usr/share");
        // The single-instance lock of a Sonvela running on this machine is
        // not the tests' business.
        std::filesystem::create_directories(root_ / "run");
        std::filesystem::permissions(root_ / "run", std::filesystem::perms::owner_all);
        Remember("XDG_RUNTIME_DIR", root_ / "run");
    }
    ~TempHome() {
        for (const auto& [name, value] : saved_) {
            if (value)
                ::setenv(name.c_str(), value->c_str(), 1);
            else
                ::unsetenv(name.c_str());
        }
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;

    const std::filesystem::path& root() const { return root_; }
    const std::filesystem::path& home() const { return home_; }
    std::filesystem::path desktopEntry() const { return home_ / "Desktop/Sonvela.desktop"; }
    std::filesystem::path menuEntry() const {
        return ::geteuid() == 0 ? root_ / "system/applications/Sonvela.desktop"
                                : home_ / ".local/share/applications/Sonvela.desktop";
    }

private:
    void Remember(const std::string& name, const std::filesystem::path& value) {
        const char* old = std::getenv(name.c_str());
        saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
        ::setenv(name.c_str(), value.c_str(), 1);
    }

    std::filesystem::path root_;
    std::filesystem::path home_;
    std::map<std::string, std::optional<std::string>> saved_;
};

class FakePrompts final : public SetupPrompts {
public:
    void Warn(QWidget*, const QString& text) override { warnings << text; }
    void ShowError(QWidget*, const QString& text) override { errors << text; }
    bool AskYesNo(QWidget*, const QString& text) override {
        questions << text;
        return NextAnswer();
    }
    bool AskOkCancel(QWidget*, const QString& caption, const QString& text) override {
        questions << caption + QStringLiteral("|") + text;
        return NextAnswer();
    }
    std::optional<QString> PickFolder(QWidget*, const QString& instruction,
                                      const QString& start) override {
        pickerCalls << instruction + QStringLiteral("|") + start;
        return pickedFolder;
    }

    std::deque<bool> answers;
    std::optional<QString> pickedFolder;
    QStringList warnings, errors, questions, pickerCalls;

private:
    bool NextAnswer() {
        if (answers.empty()) {
            ADD_FAILURE() << "a question was asked that the test did not expect";
            return false;
        }
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

} // namespace sonvela::testing
