#include "DesktopEntry.h"

#include "AtomicFile.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace sonvela {
namespace {

namespace fs = std::filesystem;

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

fs::path HomeFolder() {
    return fs::path(Environment("HOME"));
}

// What "xdg-user-dir DESKTOP" prints, or nothing when it cannot be run. It
// reads the operator's user-dirs.dirs, which holds the desktop folder under
// its localised name ("桌面" on a Chinese desktop).
std::string XdgDesktopFolder() {
    FILE* pipe = ::popen("xdg-user-dir DESKTOP 2>/dev/null", "r");
    if (!pipe)
        return {};
    std::string output;
    std::array<char, 512> buffer{};
    while (std::fgets(buffer.data(), static_cast<int>(buffer.size()), pipe))
        output += buffer.data();
    const int status = ::pclose(pipe);
    if (status != 0)
        return {};
    while (!output.empty() && (output.back() == '\n' || output.back() == '\r'))
        output.pop_back();
    return output;
}

// The escapes of a string value in a desktop entry.
std::string EscapeString(std::string_view value) {
    std::string out;
    for (char c : value) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
    return out;
}

// One quoted argument of the Exec key: inside the quotes '"', '`', '$' and
// '\' take a backslash, and '%' is doubled so it is not a field code. The
// whole value then takes the string escapes as well.
std::string QuoteExecArgument(std::string_view argument) {
    std::string quoted = "\"";
    for (char c : argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            quoted += '\\';
        if (c == '%')
            quoted += '%';
        quoted += c;
    }
    quoted += '"';
    return EscapeString(quoted);
}

bool WriteEntry(const fs::path& folder, const std::string& text) {
    std::error_code error;
    fs::create_directories(folder, error);
    if (error)
        return false;
    const fs::path path = folder / kDesktopEntryName;
    try {
        WriteFileAtomically(path.string(), text);
    } catch (const std::system_error&) {
        return false;
    }
    // File managers start a launcher on the desktop only when it is
    // executable; in the menu the bits do no harm.
    ::chmod(path.c_str(), 0755);
    return true;
}

} // namespace

ShortcutFolders LocateShortcutFolders(bool systemWide) {
    ShortcutFolders folders;
    const std::string desktop = XdgDesktopFolder();
    folders.desktop = desktop.empty() ? HomeFolder() / "Desktop" : fs::path(desktop);

    if (systemWide) {
        std::string dataDirs = Environment("XDG_DATA_DIRS");
        const std::string first = dataDirs.substr(0, dataDirs.find(':'));
        folders.applications =
            (first.empty() ? fs::path("/usr/share") : fs::path(first)) / "applications";
    } else {
        const std::string dataHome = Environment("XDG_DATA_HOME");
        folders.applications =
            (dataHome.empty() ? HomeFolder() / ".local" / "share" : fs::path(dataHome)) /
            "applications";
    }
    return folders;
}

bool RunsAsRoot() {
    return ::geteuid() == 0;
}

std::string DesktopEntryText(const std::filesystem::path& installFolder) {
    const fs::path program = installFolder / "speaker.exe";
    std::string workingFolder = installFolder.string();
    if (workingFolder.empty() || workingFolder.back() != '/')
        workingFolder += '/';
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Version=1.0\n"
           "Name=Sonvela\n"
           // %f: a file the desktop opens with the program ("open with",
           // a file dropped on the icon) is named on its command line.
           "Exec=" +
           QuoteExecArgument(program.string()) +
           " %f\n"
           "Path=" +
           EscapeString(workingFolder) +
           "\n"
           "Terminal=false\n"
           "Categories=AudioVideo;Audio;Utility;\n"
           "MimeType=text/plain;\n";
}

std::vector<std::filesystem::path> WriteDesktopEntries(const std::filesystem::path& installFolder,
                                                       const ShortcutFolders& folders,
                                                       bool startMenu) {
    const std::string text = DesktopEntryText(installFolder);
    std::vector<fs::path> written;
    if (WriteEntry(folders.desktop, text))
        written.push_back(folders.desktop / kDesktopEntryName);
    if (startMenu && WriteEntry(folders.applications, text))
        written.push_back(folders.applications / kDesktopEntryName);
    return written;
}

} // namespace sonvela
