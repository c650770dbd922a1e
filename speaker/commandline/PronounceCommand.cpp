#include "PronounceCommand.h"

#include "GbkText.h"
#include "SettingsFile.h"
#include "SettingsKeys.h"
#include "StoredReadingLists.h"
#include "TraditionalChinese.h"

#include <iostream>
#include <iterator>
#include <optional>

namespace sonvela {
namespace {

// The reader's window: at most this many bytes from where a segment starts.
constexpr std::size_t kWindowBytes = 500;

constexpr std::string_view kUsage =
    "用法: speaker --pronounce [--voice mandarin|cantonese] 文本\n"
    "      文本为 - 时从标准输入读取。每行输出一段朗读时交给语音的文字。\n";

std::string ReadAll(std::istream& in) {
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

std::vector<std::string> PronouncedSegments(std::string_view utf8Text, frontend::Dialect dialect,
                                            const DelaySymbols& symbols, int datetimetype,
                                            const LocalClock& clock,
                                            const frontend::FrontEnd& frontEnd) {
    GbkString text = Utf8ToGbk(utf8Text);
    // The Cantonese voice reads the traditional-character copy, whose byte
    // offsets are those of the text.
    if (dialect == frontend::Dialect::Cantonese)
        text = TraditionalForm(text);
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::string_view rest = std::string_view(text).substr(start);
        const std::string_view window = rest.substr(0, GbkWholeCharPrefix(rest, kWindowBytes));
        if (IsBlank(window)) {
            start += window.empty() ? rest.size() : window.size();
            continue;
        }
        const SegmentCut cut = CutSegment(window, symbols);
        GbkString segment =
            ExpandDatePlaceholder(window.substr(0, cut.length), datetimetype, clock);
        start += cut.length;
        if (IsBlank(segment))
            continue;
        segment = RemoveDelaySigns(segment);
        lines.push_back(frontEnd.Prepare(GbkToUtf8(segment), dialect));
    }
    return lines;
}

int RunPronounceCommand(const std::vector<std::string>& arguments,
                        const std::string& programFolderWithSeparator, std::istream& in,
                        std::ostream& out, std::ostream& err) {
    frontend::Dialect dialect = frontend::Dialect::Mandarin;
    std::optional<std::string> text;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--voice" && i + 1 < arguments.size()) {
            const std::string& voice = arguments[++i];
            if (voice == "cantonese")
                dialect = frontend::Dialect::Cantonese;
            else if (voice != "mandarin") {
                err << "未知的语音: " << voice << '\n' << kUsage;
                return 2;
            }
        } else if (!text && (argument == "-" || !argument.starts_with("--"))) {
            text = argument == "-" ? ReadAll(in) : argument;
        } else {
            err << kUsage;
            return 2;
        }
    }
    if (!text) {
        err << kUsage;
        return 2;
    }

    const StoredLists lists = ReadStoredLists(programFolderWithSeparator, err);
    frontend::FrontEnd frontEnd;
    frontEnd.SetPronunciations(frontend::PronunciationList(lists.pronunciations));
    const auto settingsFile = SettingsFile::InFolder(programFolderWithSeparator);
    const int datetimetype =
        settingsFile.ReadInteger(settings::Speaker::kSection, settings::Speaker::Datetimetype,
                                 settings::Speaker::kDatetimetypeDefault);
    for (const std::string& line :
         PronouncedSegments(*text, dialect, DelaySymbols::FromRows(lists.delayRows), datetimetype,
                            CurrentLocalDateTime, frontEnd))
        out << line << '\n';
    out.flush();
    return out ? 0 : 1;
}

} // namespace sonvela
