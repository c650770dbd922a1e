#include "AnnouncementLog.h"

#include <algorithm>
#include <fstream>

namespace sonvela {
namespace {

std::string OneLine(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; }, ' ');
    return text;
}

std::vector<LogRecord> ReadRecords(const std::filesystem::path& file) {
    std::vector<LogRecord> records;
    std::ifstream in(file, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        const auto first = line.find('\t');
        const auto second = first == std::string::npos ? first : line.find('\t', first + 1);
        if (second == std::string::npos)
            continue; // a line cut short by a crash or a full disk
        records.push_back({line.substr(0, first), line.substr(first + 1, second - first - 1),
                           line.substr(second + 1)});
    }
    return records;
}

} // namespace

std::filesystem::path AnnouncementLog::Aside(int number) const {
    return file_.string() + "." + std::to_string(number);
}

void AnnouncementLog::Rotate() const {
    std::error_code error;
    std::filesystem::remove(Aside(kKeptFiles), error);
    for (int number = kKeptFiles - 1; number >= 1; --number)
        std::filesystem::rename(Aside(number), Aside(number + 1), error);
    std::filesystem::rename(file_, Aside(1), error);
}

bool AnnouncementLog::Append(const LogRecord& record) const {
    std::error_code error;
    const auto size = std::filesystem::file_size(file_, error);
    if (!error && size >= rotateBytes_)
        Rotate();
    // The user's data folder does not exist before the first line of a new
    // account.
    if (file_.has_parent_path())
        std::filesystem::create_directories(file_.parent_path(), error);
    std::ofstream out(file_, std::ios::binary | std::ios::app);
    out << OneLine(record.when) << '\t' << OneLine(record.what) << '\t' << OneLine(record.outcome)
        << '\n';
    out.flush();
    return out.good();
}

std::vector<LogRecord> AnnouncementLog::Recent(std::size_t limit) const {
    std::vector<LogRecord> recent;
    for (int number = 0; number <= kKeptFiles && recent.size() < limit; ++number) {
        auto records = ReadRecords(number == 0 ? file_ : Aside(number));
        for (auto it = records.rbegin(); it != records.rend() && recent.size() < limit; ++it)
            recent.push_back(std::move(*it));
    }
    return recent;
}

} // namespace sonvela
