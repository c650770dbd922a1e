// The installation the real installer carries: the fixed table of files,
// each the same bytes as the staged program folder's. (setup_xvfb.sh drives
// the real installer writing them out.)
#include "EmbeddedPayload.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iconv.h>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace sonvela {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const fs::path kStage = SONVELA_STAGE_DIR;

// The installation's files in the order they are written: resource name and
// where each goes below the installation folder.
const std::vector<std::pair<std::string, std::string>> kTable = {
    {"bass_dll", "bass.dll"},
    {"speaker_exe", "speaker.exe"},
    {"speaker_chm", "speaker.chm"},
    {"draft_dat", "draft.dat"},
    {"introduce_mp3", "introduce.mp3"},
    {"bjd_mp3", "bjd.mp3"},
    {"bjd_txt", "报价单.txt"},
    {"jbjs_txt", "基本介绍.txt"},
    {"1000eng_txt", "books/1000常用口语.txt"},
    {"42days_txt", "books/42天学会英语.txt"},
    {"800word", "books/800个有趣句子帮你记忆7000个单词.txt"},
    {"gaoping", "books/老外中经典高频口语.txt"},
};

// The staged file an installed file comes from: the program is staged
// under its build name.
fs::path StagedFile(std::string_view relativePath) {
    return relativePath == "speaker.exe" ? kStage / "speaker"
                                         : kStage / fs::path(std::string(relativePath));
}

TEST(EmbeddedInstallFiles, CarryTheFixedFilesInOrderAsStaged) {
    const std::span<const InstallFile> files = EmbeddedInstallFiles();
    ASSERT_EQ(files.size(), kTable.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        EXPECT_EQ(files[i].resourceName, kTable[i].first);
        EXPECT_EQ(files[i].relativePath, kTable[i].second);
        EXPECT_EQ(files[i].executable, files[i].relativePath == "speaker.exe");
        EXPECT_EQ(files[i].keepBackup, files[i].relativePath == "draft.dat");
        const std::string staged = ReadFile(StagedFile(files[i].relativePath));
        EXPECT_FALSE(staged.empty()) << files[i].relativePath;
        EXPECT_TRUE(files[i].bytes == staged) << files[i].relativePath << " differs from the stage";
    }
}

// Whether `bytes` is text in the Chinese code page through and through.
bool IsGbk(const std::string& bytes) {
    iconv_t cd = ::iconv_open("UTF-8", "GBK");
    std::string in = bytes;
    std::string out(bytes.size() * 2 + 16, '\0');
    char* inPtr = in.data();
    char* outPtr = out.data();
    std::size_t inLeft = in.size(), outLeft = out.size();
    const bool ok = ::iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1);
    ::iconv_close(cd);
    return ok && inLeft == 0;
}

TEST(EmbeddedInstallFiles, TheContentFilesAreWhatTheirNamesSay) {
    for (const InstallFile& file : EmbeddedInstallFiles()) {
        const std::string bytes(file.bytes);
        if (file.relativePath.starts_with("books/")) {
            // Chinese text in GBK: decodable, with two-byte characters.
            EXPECT_TRUE(IsGbk(bytes)) << file.relativePath;
            EXPECT_NE(bytes.find_first_of("\xb0\xb1\xc4\xd3"), std::string::npos);
            EXPECT_GE(std::count(bytes.begin(), bytes.end(), '\n'), 40) << file.relativePath;
        } else if (file.relativePath.ends_with(".mp3")) {
            // An MPEG audio frame header (no ID3 tag is written).
            ASSERT_GE(bytes.size(), 4000u) << file.relativePath;
            EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0xFF) << file.relativePath;
            EXPECT_EQ(static_cast<unsigned char>(bytes[1]) & 0xE0, 0xE0) << file.relativePath;
        } else if (file.relativePath == "speaker.chm") {
            EXPECT_EQ(bytes.substr(0, 4), "ITSF");
            EXPECT_NE(bytes.find("/index.html"), std::string::npos);
            EXPECT_NE(bytes.find("/hotkeys.html"), std::string::npos);
        }
    }
}

} // namespace
} // namespace sonvela
