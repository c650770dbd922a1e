// The log viewer "播报记录": what the timetable announced and when, newest
// first, read-only, so the operator can check that an announcement really
// played. Not modal; "刷新" reads the log again.
#pragma once

#include <QDialog>
#include <cstddef>
#include <filesystem>

class QLabel;
class QTableWidget;

namespace sonvela {

class AnnouncementLogDialog final : public QDialog {
    Q_OBJECT

public:
    // The most lines shown: more than a busy shop announces in weeks, and
    // few enough to fill the list at once.
    static constexpr std::size_t kShownLines = 2000;

    explicit AnnouncementLogDialog(std::filesystem::path logFile, QWidget* parent = nullptr);

    QTableWidget* Grid() const { return grid_; }
    // Shown instead of the list when there is nothing in the log.
    QLabel* EmptyNote() const { return empty_; }

    // Reads the log again.
    void Reload();

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::filesystem::path logFile_;
    QTableWidget* grid_ = nullptr;
    QLabel* empty_ = nullptr;
};

} // namespace sonvela
