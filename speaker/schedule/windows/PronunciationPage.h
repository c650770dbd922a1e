// The page "读音" of the system settings dialog: the operator's own
// pronunciation list, word → reading, where a reading is numbered pinyin
// ("chong2 qing4") or plain replacement text. Every change is written to
// draft.dat at once and handed to the voices, so the next sentence spoken
// already follows it; "试听" speaks the word as typed on the page, before
// it is saved.
#pragma once

#include "PronunciationList.h"

#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class QLineEdit;
class QPushButton;
class QTableWidget;

namespace sonvela {

class Database;

struct PronunciationPageContext {
    const Database* store = nullptr; // null: an empty list that cannot change
    // The list changed: the voices use `list` from the next text on.
    std::function<void(frontend::PronunciationList list)> listChanged{};
    // Speaks `word` through the main window's voice with `reading` as its
    // pronunciation (empty: as the list has it).
    std::function<void(const std::string& word, const std::string& reading)> trySpeaking{};
};

class PronunciationPage final : public QWidget {
    Q_OBJECT

public:
    explicit PronunciationPage(PronunciationPageContext context, QWidget* parent = nullptr);

    QTableWidget* Grid() const { return grid_; }
    QLineEdit* WordEdit() const { return word_; }
    QLineEdit* ReadingEdit() const { return reading_; }

    // Reads the list from draft.dat again.
    void Reload();

    void AddClick();
    void ChangeClick();
    void DeleteClick();
    void TryClick();

private:
    // The word and reading typed, blanks trimmed; false (after saying why)
    // when one is missing.
    bool TakeFields(std::string& word, std::string& reading) const;
    // The id of the selected row, or 0.
    std::int64_t SelectedId() const;
    bool WordListedElsewhere(const std::string& word, std::int64_t id) const;
    void RowSelected();
    void Publish();

    PronunciationPageContext c_;
    QTableWidget* grid_ = nullptr;
    QLineEdit* word_ = nullptr;
    QLineEdit* reading_ = nullptr;
    std::vector<std::int64_t> ids_; // of the grid's rows
    std::vector<frontend::Pronunciation> entries_;
};

} // namespace sonvela
