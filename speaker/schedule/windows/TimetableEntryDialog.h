// The editor of one timetable entry: the time of day, the days of the week,
// what is read (a draft from the draft list, kept by id, or an MP3/WAV
// file), passes and interval, the voice and the 启用 tick. Modal; "确定"
// closes it only when the entry can be saved, and otherwise says why.
#pragma once

#include "DraftTitles.h"
#include "SpeechVoice.h"
#include "TimetableTable.h"

#include <QDialog>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;
class QTimeEdit;

namespace sonvela {

struct EntryDialogChoices {
    std::vector<DraftTitle> drafts;
    std::vector<VoiceInfo> voices; // the installed voices, in the voice list's order
    // Asks for an MP3 or WAV file, starting at `start` (a file or folder);
    // nothing when the operator cancels.
    std::function<std::optional<QString>(const QString& start)> chooseSoundFile;
    std::function<bool(const std::string& fileName)> fileExists;
};

class TimetableEntryDialog final : public QDialog {
    Q_OBJECT

public:
    TimetableEntryDialog(const QString& caption, const TimetableRow& entry,
                         EntryDialogChoices choices, QWidget* parent = nullptr);

    // The entry as the fields stand, with the id it was opened with.
    TimetableRow Entry() const;

    QTimeEdit* TimeEdit() const { return time_; }
    QCheckBox* DayBox(int dayOfWeek /* 1 Monday … 7 Sunday */) const {
        return days_[static_cast<std::size_t>(dayOfWeek - 1)];
    }
    QRadioButton* DraftChoice() const { return fromDraft_; }
    QRadioButton* FileChoice() const { return fromFile_; }
    QComboBox* DraftList() const { return draftList_; }
    QLineEdit* FileEdit() const { return file_; }
    QSpinBox* PassesEdit() const { return passes_; }
    QSpinBox* IntervalEdit() const { return interval_; }
    QComboBox* VoiceList() const { return voiceList_; }
    QCheckBox* EnabledBox() const { return enabled_; }

    void SetDays(int days);
    void BrowseClick();
    // Accepts the dialog when the entry can be saved; says why otherwise.
    void OkClick();

private:
    QWidget* BuildDays();
    QWidget* BuildSource();
    void ShowEntry(const TimetableRow& entry);
    void SourceChosen();

    EntryDialogChoices choices_;
    std::int64_t id_ = 0;
    QTimeEdit* time_ = nullptr;
    std::array<QCheckBox*, 7> days_{};
    QRadioButton* fromDraft_ = nullptr;
    QRadioButton* fromFile_ = nullptr;
    QComboBox* draftList_ = nullptr;
    QLineEdit* file_ = nullptr;
    QWidget* browse_ = nullptr;
    QSpinBox* passes_ = nullptr;
    QSpinBox* interval_ = nullptr;
    QComboBox* voiceList_ = nullptr;
    QCheckBox* enabled_ = nullptr;
};

} // namespace sonvela
