// The log of what the timetable announced and when, so a shop can check
// that the closing notice really played: a plain text file, one line per
// announcement, rotated by size so it never fills the disk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace sonvela {

struct LogRecord {
    std::string when;    // "yyyy-mm-dd hh:mm:ss"
    std::string what;    // the entry: its time and what it reads
    std::string outcome; // "已播放", or why it was skipped or cut

    bool operator==(const LogRecord&) const = default;
};

class AnnouncementLog {
public:
    static constexpr std::uintmax_t kRotateBytes = 256 * 1024;
    static constexpr int kKeptFiles = 3; // file.1 (newest) … file.3

    explicit AnnouncementLog(std::filesystem::path file, std::uintmax_t rotateBytes = kRotateBytes)
        : file_(std::move(file)), rotateBytes_(rotateBytes) {}

    // Appends a line, first moving a full file aside; the file's folder is
    // made when missing. Tabs and line breaks
    // in the fields become spaces. False when the line could not be
    // written (the caller says so in the status bar).
    bool Append(const LogRecord& record) const;
    // Up to `limit` records, newest first, across the moved-aside files.
    std::vector<LogRecord> Recent(std::size_t limit) const;

private:
    std::filesystem::path Aside(int number) const;
    void Rotate() const;

    std::filesystem::path file_;
    std::uintmax_t rotateBytes_;
};

} // namespace sonvela
