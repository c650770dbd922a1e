// Doubles for the main window's tests: a desktop that answers questions at
// once, dialogs that answer as scripted, a voice that records what it is
// told, and a program folder made from the staged one.
#pragma once

#include "Desktop.h"
#include "EditorDialogs.h"
#include "SpeechVoice.h"

#include <QTemporaryDir>
#include <optional>
#include <string>
#include <vector>

namespace sonvela::test {

class AnsweringDesktop final : public Desktop {
public:
    AnsweringDesktop() { previous_ = InstallDesktop(this); }
    ~AnsweringDesktop() override { InstallDesktop(previous_); }
    AnsweringDesktop(const AnsweringDesktop&) = delete;
    AnsweringDesktop& operator=(const AnsweringDesktop&) = delete;

    void ShowMessage(const MessageRequest& request) override { messages.push_back(request); }
    bool AskYesNo(const MessageRequest& request) override {
        questions.push_back(request);
        return answerYes;
    }
    void ProcessPendingEvents(std::chrono::milliseconds) override {}

    bool answerYes = false;
    std::vector<MessageRequest> messages;
    std::vector<MessageRequest> questions;

private:
    Desktop* previous_ = nullptr;
};

class ScriptedDialogs final : public EditorDialogs {
public:
    std::optional<FontChoice> ChooseFont(const FontChoice& current, QWidget*) override {
        fontShownWith = current;
        return fontAnswer;
    }
    std::optional<QColor> ChooseColor(const QColor& current, QWidget*) override {
        colorShownWith = current;
        return colorAnswer;
    }
    void OpenWithDesktop(const QString& path) override { opened.push_back(path); }
    std::optional<QString> ChooseOpenFile(const QString& folder, const QString& filter,
                                          QWidget*) override {
        openShownIn.push_back(folder);
        openFilters.push_back(filter);
        return openAnswer;
    }
    std::optional<QString> ChooseSaveFile(const QString& proposed, const QString&,
                                          QWidget*) override {
        saveProposed.push_back(proposed);
        return saveAnswer;
    }

    std::optional<FontChoice> fontAnswer;
    std::optional<QColor> colorAnswer;
    std::optional<FontChoice> fontShownWith;
    std::optional<QColor> colorShownWith;
    std::vector<QString> opened;
    std::optional<QString> openAnswer;
    std::optional<QString> saveAnswer;
    std::vector<QString> openShownIn;
    std::vector<QString> openFilters;
    std::vector<QString> saveProposed;
};

class RecordingVoice final : public SpeechVoice {
public:
    std::vector<VoiceInfo> GetVoices() override { return voices; }
    void SetVoice(int index) override { voice = index; }
    int Rate() override { return baseRate; }
    void SetRate(int value) override { rates.push_back(value); }
    void SetVolume(int value) override { volumes.push_back(value); }
    void SpeakPurgeAndWait(const std::u16string&) override {}
    void SpeakAsync(const std::u16string&) override {}
    void CutOff() override {}

    std::vector<VoiceInfo> voices = {{"cmn-latn-pinyin", "Chinese Mandarin (espeak-ng)", "cmn"},
                                     {"yue", "Chinese Cantonese (espeak-ng)", "yue"},
                                     {"en", "English (espeak-ng)", "en"}};
    int baseRate = 1;
    int voice = -1;
    std::vector<int> rates;
    std::vector<int> volumes;
};

// A fresh program folder holding the staged draft.dat, and the sample texts
// when asked for.
class ProgramFolder {
public:
    explicit ProgramFolder(bool withSamples);
    // Ends in the separator.
    std::string Path() const;
    std::string File(const std::string& name) const { return Path() + name; }

private:
    QTemporaryDir dir_;
};

// The staged sample text, converted to UTF-8.
std::string StagedSampleUtf8(const std::string& name);

} // namespace sonvela::test
