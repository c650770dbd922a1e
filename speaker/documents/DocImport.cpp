#include "DocImport.h"

#include "AtomicFile.h"
#include "GbkText.h"
#include "TextFileCodec.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace sonvela {
namespace {

std::string FindInPath(const char* program) {
    const char* path = std::getenv("PATH");
    if (!path)
        return {};
    std::string_view rest(path);
    while (!rest.empty()) {
        const std::size_t colon = rest.find(':');
        const std::string_view folder = rest.substr(0, colon);
        rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
        if (folder.empty())
            continue;
        const std::string candidate = std::string(folder) + "/" + program;
        if (::access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return {};
}

class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() { Reset(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int Get() const { return fd_; }
    void Reset() {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_;
};

std::optional<std::string> Antiword(const std::string& program, const std::string& path,
                                    std::chrono::seconds timeout, std::stop_token stop) {
    // UTF-8 output, one line per paragraph (no wrapping at 80 columns).
    return RunForOutput({program, "-m", "UTF-8.txt", "-w", "0", path}, timeout, stop);
}

std::optional<std::string> LibreOffice(const std::string& program, const std::string& path,
                                       std::chrono::seconds timeout, std::stop_token stop) {
    // LibreOffice writes "<name>.txt" into the output folder, so that folder
    // is a private one, never the document's (where such a file may exist).
    std::string scratch = (std::filesystem::temp_directory_path() / "sonvela-doc-XXXXXX").string();
    if (!::mkdtemp(scratch.data()))
        return std::nullopt;
    std::optional<std::string> text;
    const auto output =
        RunForOutput({program, "--headless", "--norestore",
                      "-env:UserInstallation=file://" + scratch + "/profile", "--convert-to",
                      "txt:Text (encoded):UTF8", "--outdir", scratch, path},
                     timeout, stop);
    if (output) {
        const std::string stem = std::filesystem::path(path).stem().string();
        text = ReadWholeFile(scratch + "/" + stem + ".txt");
        if (text && text->starts_with("\xEF\xBB\xBF"))
            text->erase(0, 3);
    }
    std::error_code ignored;
    std::filesystem::remove_all(scratch, ignored);
    return text;
}

} // namespace

DocConverters FindDocConverters() {
    DocConverters found;
    found.antiword = FindInPath("antiword");
    found.soffice = FindInPath("soffice");
    if (found.soffice.empty())
        found.soffice = FindInPath("libreoffice");
    return found;
}

std::optional<std::string> RunForOutput(const std::vector<std::string>& argv,
                                        std::chrono::seconds timeout, std::stop_token stop) {
    if (argv.empty())
        return std::nullopt;
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0)
        return std::nullopt;
    Fd readEnd(pipeFds[0]);
    Fd writeEnd(pipeFds[1]);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, writeEnd.Get(), 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    // A group of its own, so that ending it also ends what it started
    // (LibreOffice runs its real work in a child process).
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    pid_t pid = 0;
    const int spawned =
        ::posix_spawn(&pid, argv[0].c_str(), &actions, &attributes, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    writeEnd.Reset();
    if (spawned != 0)
        return std::nullopt;

    // Read until the program closes its output, the time is up or the
    // operator calls it off; a converter that hangs is ended rather than
    // left running. The wait is cut in short slices to hear a stop request.
    std::string output;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    bool timedOut = false;
    char buffer[65536];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || stop.stop_requested()) {
            timedOut = true;
            break;
        }
        pollfd poller{readEnd.Get(), POLLIN, 0};
        const int ready =
            ::poll(&poller, 1, static_cast<int>(std::min<long long>(left.count(), 50)));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready == 0)
            continue;
        if (ready < 0)
            break;
        const ssize_t got = ::read(readEnd.Get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        output.append(buffer, static_cast<std::size_t>(got));
    }
    if (timedOut)
        ::kill(-pid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (timedOut || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return output;
}

std::optional<std::string> ClaimTemporaryName(const std::string& documentPath) {
    const std::filesystem::path document(documentPath);
    const std::filesystem::path stem = document.parent_path() / document.stem();
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const std::string candidate =
            stem.string() + (attempt == 0 ? "" : "~" + std::to_string(attempt)) + ".rtf";
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0) {
            ::close(fd);
            return candidate;
        }
        if (errno != EEXIST)
            return std::nullopt;
    }
    return std::nullopt;
}

std::optional<std::u16string> ImportDoc(const std::string& path, const DocConverters& converters,
                                        std::stop_token stop) {
    if (converters.antiword.empty() && converters.soffice.empty())
        return std::nullopt;
    // A folder that is not there, or a path that is no file, fails here and
    // never creates a temporary file.
    if (!std::filesystem::is_regular_file(path))
        return std::nullopt;
    const std::optional<std::string> temporary = ClaimTemporaryName(path);
    if (!temporary)
        return std::nullopt;

    std::optional<std::string> utf8;
    if (!converters.antiword.empty())
        utf8 = Antiword(converters.antiword, path, converters.timeout, stop);
    if (!utf8 && !converters.soffice.empty() && !stop.stop_requested())
        utf8 = LibreOffice(converters.soffice, path, converters.timeout, stop);
    if (stop.stop_requested())
        utf8.reset();

    std::optional<std::u16string> text;
    if (utf8) {
        try {
            WriteFileAtomically(*temporary, Utf8ToGbk(*utf8));
            if (const auto gbk = ReadWholeFile(*temporary))
                text = NormalizeLineBreaks(GbkToUtf16(*gbk));
        } catch (const std::exception&) {
            text.reset();
        }
    }
    std::error_code ignored;
    std::filesystem::remove(*temporary, ignored);
    return text;
}

} // namespace sonvela
