#include "DesktopEntry.h"

#include "SetupTestSupport.h"

#include <sstream>
#include <sys/stat.h>

namespace sonvela {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;
using testing::TempHome;
using testing::WriteFile;

// The value of `key` in a desktop entry, with the string escapes undone.
std::string Value(const std::string& entry, const std::string& key) {
    std::istringstream lines(entry);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind(key + "=", 0) != 0)
            continue;
        std::string value;
        for (std::size_t i = key.size() + 1; i < line.size(); ++i) {
            if (line[i] == '\\' && i + 1 < line.size()) {
                const char next = line[++i];
                value += next == 'n' ? '\n' : next == 't' ? '\t' : next == 'r' ? '\r' : next;
            } else {
                value += line[i];
            }
        }
        return value;
    }
    return {};
}

// The arguments of an Exec value as a launcher splits them: quoted
// arguments take '\' before '"', '`', '$' and '\'; "%%" is a '%'.
std::vector<std::string> ExecArguments(const std::string& exec) {
    std::vector<std::string> arguments;
    std::string current;
    bool quoted = false, any = false;
    for (std::size_t i = 0; i < exec.size(); ++i) {
        const char c = exec[i];
        if (quoted && c == '\\' && i + 1 < exec.size()) {
            current += exec[++i];
        } else if (c == '"') {
            quoted = !quoted;
            any = true;
        } else if (c == '%' && i + 1 < exec.size() && exec[i + 1] == '%') {
            current += '%';
            ++i;
        } else if (c == ' ' && !quoted) {
            if (any || !current.empty())
                arguments.push_back(current);
            current.clear();
            any = false;
        } else {
            current += c;
        }
    }
    if (any || !current.empty())
        arguments.push_back(current);
    return arguments;
}

TEST(DesktopEntryText, StartsTheProgramFromTheInstallationFolderWhateverItsName) {
    for (const fs::path& folder :
         {fs::path("/home/op/sonvela"), fs::path("/home/op/我的 软件/a\"b$c`d\\e%f"),
          fs::path("/home/op/tab\there")}) {
        const std::string entry = DesktopEntryText(folder);
        EXPECT_EQ(entry.rfind("[Desktop Entry]\n", 0), 0u);
        EXPECT_EQ(Value(entry, "Type"), "Application");
        EXPECT_EQ(Value(entry, "Name"), "Sonvela");
        EXPECT_EQ(ExecArguments(Value(entry, "Exec")),
                  (std::vector<std::string>{(folder / "speaker.exe").string(), "%f"}))
            << entry;
        // A text file's "open with" offers the program and names the file.
        EXPECT_EQ(Value(entry, "MimeType"), "text/plain;");
        EXPECT_EQ(Value(entry, "Path"), folder.string() + "/");
        // No description or icon of its own.
        EXPECT_EQ(entry.find("Comment="), std::string::npos);
        EXPECT_EQ(entry.find("Icon="), std::string::npos);
    }
}

TEST(LocateShortcutFolders, FollowsTheOperatorsFoldersAndTheSystemMenu) {
    TempHome temp;
    ::unsetenv("XDG_DATA_HOME");
    ShortcutFolders own = LocateShortcutFolders(false);
    EXPECT_EQ(own.desktop, temp.home() / "Desktop");
    EXPECT_EQ(own.applications, temp.home() / ".local/share/applications");

    ::setenv("XDG_DATA_HOME", (temp.root() / "data").c_str(), 1);
    EXPECT_EQ(LocateShortcutFolders(false).applications, temp.root() / "data/applications");
    EXPECT_EQ(LocateShortcutFolders(true).applications, temp.root() / "system/applications");
    ::unsetenv("XDG_DATA_DIRS");
    EXPECT_EQ(LocateShortcutFolders(true).applications, fs::path("/usr/share/applications"));

    // A desktop whose folder has its own (localised) name.
    WriteFile(temp.home() / ".config/user-dirs.dirs", "XDG_DESKTOP_DIR=\"$HOME/桌面\"\n");
    EXPECT_EQ(LocateShortcutFolders(false).desktop, temp.home() / "桌面");
}

TEST(WriteDesktopEntries, MakesTheMenuEntryOnlyWhenAskedAndSkipsWhatCannotBeWritten) {
    TempHome temp;
    const fs::path install = temp.root() / "sonvela";
    const ShortcutFolders folders{temp.root() / "desk", temp.root() / "menu/applications"};

    EXPECT_EQ(WriteDesktopEntries(install, folders, false),
              std::vector<fs::path>{folders.desktop / "Sonvela.desktop"});
    EXPECT_FALSE(fs::exists(folders.applications));
    EXPECT_EQ(ReadFile(folders.desktop / "Sonvela.desktop"), DesktopEntryText(install));
    struct stat st {};
    ASSERT_EQ(::stat((folders.desktop / "Sonvela.desktop").c_str(), &st), 0);
    EXPECT_NE(st.st_mode & 0100, 0u) << "a desktop launcher must be executable";

    EXPECT_EQ(WriteDesktopEntries(install, folders, true).size(), 2u);
    EXPECT_EQ(ReadFile(folders.applications / "Sonvela.desktop"), DesktopEntryText(install));

    // A menu folder that cannot be made (a file stands in its way) is
    // skipped without failing the desktop entry.
    const ShortcutFolders blocked{temp.root() / "desk2", temp.root() / "desk2/Sonvela.desktop/x"};
    WriteFile(temp.root() / "desk2/placeholder", "");
    EXPECT_EQ(WriteDesktopEntries(install, blocked, true),
              std::vector<fs::path>{blocked.desktop / "Sonvela.desktop"});
}

} // namespace
} // namespace sonvela
