// The window "播报时间表": the broadcast timetable's entries, each with its
// time of day, days, what it reads, passes, interval, voice and 启用 tick;
// an entry that will be skipped (its draft deleted, its file gone) is
// marked. Every change is written to draft.dat at once and announced by
// timetableChanged(), on which the program takes up the new entries. Not
// modal: the operator can keep it open while he works in the main window.
#pragma once

#include "DraftTitles.h"
#include "SpeechVoice.h"
#include "TimetableTable.h"
#include "TimetableText.h"

#include <QDialog>
#include <QTime>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QTableWidget;

namespace sonvela {

class AnnouncementLogDialog;

// Opens the entry editor with `entry` under `caption`; the entry as saved,
// or nothing when the operator cancelled.
using EntryEditor =
    std::function<std::optional<TimetableRow>(const QString& caption, const TimetableRow& entry)>;

struct TimetableWindowContext {
    const Database* store = nullptr; // draft.dat; null: an empty list that cannot change
    // The installed voices, in the voice list's order.
    std::function<std::vector<VoiceInfo>()> voices{};
    std::filesystem::path logFile;
    std::function<bool(const std::string& fileName)> fileExists{}; // null: the file system
    // Null: the file dialog.
    std::function<std::optional<QString>(const QString& start)> chooseSoundFile{};
    // Null: the modal TimetableEntryDialog.
    EntryEditor editEntry{};
    // The time of day a new entry proposes; null: the next full hour.
    std::function<QTime()> now{};
};

class TimetableWindow final : public QDialog {
    Q_OBJECT

public:
    enum Column { Enabled, Time, Days, Source, Passes, Interval, Voice, ColumnCount };

    explicit TimetableWindow(TimetableWindowContext context, QWidget* parent = nullptr);

    QTableWidget* Grid() const { return grid_; }
    // The log viewer, created when first opened.
    AnnouncementLogDialog* LogDialog() const { return log_; }
    // The ids of the list's rows, in its order.
    const std::vector<std::int64_t>& Ids() const { return ids_; }
    void SelectEntry(std::int64_t id);

    // Reads the entries, the drafts and the voices again: draft names
    // change in the draft list while the window is open.
    void Reload();

    void AddClick();
    void EditClick();
    void CopyClick();
    void DeleteClick();
    void EnableAllClick();
    void DisableAllClick();
    void LogClick();

Q_SIGNALS:
    // An entry was added, changed or deleted: the program reads the table again.
    void timetableChanged();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The selected entry, or nothing after telling the operator to choose one.
    std::optional<TimetableRow> SelectedEntry(const char* action) const;
    std::optional<TimetableRow> Edit(const QString& caption, const TimetableRow& entry);
    EntryLookups Lookups() const;
    void FillRow(int row, const TimetableRow& entry, const EntryLookups& lookups);
    // Greys out a row that is off.
    void PaintRow(int row, bool enabled);
    void EnabledTicked(int row, int column);
    void SetAllEnabled(bool enabled);
    // Writes through `change`; on success reloads, selects `select` and
    // announces the change.
    template <typename Change> void Store(Change&& change, std::int64_t select);

    TimetableWindowContext c_;
    QTableWidget* grid_ = nullptr;
    AnnouncementLogDialog* log_ = nullptr;
    std::vector<TimetableRow> entries_; // of the grid's rows
    std::vector<std::int64_t> ids_;
    std::vector<DraftTitle> drafts_;
    std::vector<VoiceInfo> voices_;
    bool filling_ = false;
};

} // namespace sonvela
