#include "Installation.h"

#include "SetupTestSupport.h"

#include <sys/stat.h>
#include <vector>

namespace sonvela {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;
using testing::TempHome;
using testing::WriteFile;

const std::string kProgram("\x7f"
                           "ELF\0\x01\x02binary",
                           13);

std::vector<InstallFile> SampleFiles() {
    return {
        {"bass_dll", "bass.dll", "library bytes", false, false},
        {"speaker_exe", "speaker.exe", kProgram, true, false},
        {"speaker_chm", "speaker.chm", "help", false, false},
        {"draft_dat", "draft.dat", "shipped rows", false, true},
        {"bjd_txt", "\xe6\x8a\xa5\xe4\xbb\xb7\xe5\x8d\x95.txt", "\xb1\xa8\xbc\xdb", false, false},
        {"gaoping", "books/talk.txt", "book", false, false},
    };
}

bool IsExecutable(const fs::path& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && (st.st_mode & 0111) != 0;
}

TEST(InstallFolderFromText, TrimsExpandsAndNormalises) {
    const fs::path home = "/home/op";
    EXPECT_EQ(InstallFolderFromText("  /opt/sonvela \t\r\n", home), fs::path("/opt/sonvela"));
    EXPECT_EQ(InstallFolderFromText("/opt/sonvela/", home), fs::path("/opt/sonvela"));
    EXPECT_EQ(InstallFolderFromText("/opt/./a/../sonvela", home), fs::path("/opt/sonvela"));
    EXPECT_EQ(InstallFolderFromText("~", home), home);
    EXPECT_EQ(InstallFolderFromText("~/apps/sonvela", home), fs::path("/home/op/apps/sonvela"));
    EXPECT_EQ(InstallFolderFromText("apps/sonvela", home), fs::path("/home/op/apps/sonvela"));
    EXPECT_EQ(InstallFolderFromText("/", home), fs::path("/"));
    EXPECT_FALSE(InstallFolderFromText("", home));
    EXPECT_FALSE(InstallFolderFromText(" \t\n ", home));
}

TEST(WriteInstallFiles, CreatesEveryLevelAndWritesEachFileByteForByte) {
    TempHome temp;
    const fs::path folder = temp.root() / "one/two/three";
    const std::vector<InstallFile> files = SampleFiles();

    EXPECT_FALSE(InstallationExists(folder));
    ASSERT_FALSE(WriteInstallFiles(folder, files));

    EXPECT_TRUE(fs::is_directory(folder / "books"));
    for (const InstallFile& file : files)
        EXPECT_EQ(ReadFile(folder / fs::path(std::string(file.relativePath))), file.bytes)
            << file.relativePath;
    EXPECT_TRUE(IsExecutable(folder / "speaker.exe"));
    EXPECT_FALSE(IsExecutable(folder / "bass.dll"));
    EXPECT_FALSE(IsExecutable(folder / "draft.dat"));
    EXPECT_TRUE(InstallationExists(folder));
    // A fresh installation has nothing to keep.
    EXPECT_FALSE(fs::exists(folder / "draft.dat.bak"));
}

TEST(WriteInstallFiles, ReplacesAnInstallationKeepingTheOldDatabaseAndTheSettings) {
    TempHome temp;
    const fs::path folder = temp.root() / "sonvela";
    WriteFile(folder / "speaker.exe", "an older and longer program than the new one");
    ::chmod((folder / "speaker.exe").c_str(), 0600);
    WriteFile(folder / "draft.dat", "the operator's drafts");
    WriteFile(folder / "draft.dat-journal", "a hot journal of the operator's file");
    WriteFile(folder / "draft.dat.bak", "an older backup");
    WriteFile(folder / "setinfo.ini", "[System]\nShowgrid=0\n");

    ASSERT_FALSE(WriteInstallFiles(folder, SampleFiles()));

    EXPECT_EQ(ReadFile(folder / "speaker.exe"), kProgram);
    EXPECT_TRUE(IsExecutable(folder / "speaker.exe"));
    EXPECT_EQ(ReadFile(folder / "draft.dat"), "shipped rows");
    EXPECT_EQ(ReadFile(folder / "draft.dat.bak"), "the operator's drafts");
    // The journal goes with the file it belongs to, or SQLite would play it
    // back into the new database.
    EXPECT_FALSE(fs::exists(folder / "draft.dat-journal"));
    EXPECT_EQ(ReadFile(folder / "draft.dat.bak-journal"), "a hot journal of the operator's file");
    EXPECT_EQ(ReadFile(folder / "setinfo.ini"), "[System]\nShowgrid=0\n");
}

TEST(WriteInstallFiles, StopsAtTheFileThatCannotBeWrittenAndKeepsWhatWasWritten) {
    TempHome temp;
    const fs::path folder = temp.root() / "sonvela";
    // A folder where the help file must go stops even root.
    WriteFile(folder / "speaker.chm/inside", "x");

    const std::optional<InstallFault> fault = WriteInstallFiles(folder, SampleFiles());

    ASSERT_TRUE(fault);
    EXPECT_EQ(fault->kind, InstallFault::Kind::File);
    EXPECT_EQ(fault->path, folder / "speaker.chm");
    EXPECT_EQ(fault->systemText, std::make_error_code(std::errc::is_a_directory).message());
    EXPECT_EQ(ReadFile(folder / "bass.dll"), "library bytes");
    EXPECT_EQ(ReadFile(folder / "speaker.exe"), kProgram);
    EXPECT_FALSE(fs::exists(folder / "draft.dat"));
    EXPECT_FALSE(fs::exists(folder / "books/talk.txt"));
    // No half-written temporary file is left beside it.
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder))
        ++entries;
    EXPECT_EQ(entries, 4); // bass.dll, speaker.exe, speaker.chm/, books/

    const std::string message = InstallFaultMessage(*fault);
    EXPECT_NE(message.find("无法写入文件"), std::string::npos);
    EXPECT_NE(message.find((folder / "speaker.chm").string()), std::string::npos);
    EXPECT_NE(message.find(fault->systemText), std::string::npos);
}

TEST(WriteInstallFiles, StopsWhenAFolderCannotBeCreated) {
    TempHome temp;
    WriteFile(temp.root() / "blocked", "a file where a folder must be made");
    const fs::path folder = temp.root() / "blocked/sonvela";

    const std::optional<InstallFault> fault = WriteInstallFiles(folder, SampleFiles());

    ASSERT_TRUE(fault);
    EXPECT_EQ(fault->kind, InstallFault::Kind::Folder);
    EXPECT_FALSE(fault->systemText.empty());
    EXPECT_NE(InstallFaultMessage(*fault).find("无法创建文件夹"), std::string::npos);
    EXPECT_EQ(ReadFile(temp.root() / "blocked"), "a file where a folder must be made");

    // The books folder is made like the installation folder.
    const fs::path other = temp.root() / "other";
    WriteFile(other / "books", "not a folder");
    const std::optional<InstallFault> books = WriteInstallFiles(other, SampleFiles());
    ASSERT_TRUE(books);
    EXPECT_EQ(books->path, other / "books");
    EXPECT_FALSE(fs::exists(other / "bass.dll"));
}

} // namespace
} // namespace sonvela
