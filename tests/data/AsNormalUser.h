// Runs a check as a normal user. The tests run as root in CI, where mode
// 000 stops no read; the check then runs in a child process that has given
// up root for the user "nobody" (uid and gid 65534).
#pragma once

#include <functional>
#include <grp.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace sonvela::test {

constexpr uid_t kNobody = 65534;

// Runs `check`, which returns what went wrong (empty when nothing did).
inline std::string AsNormalUser(const std::function<std::string()>& check) {
    if (::geteuid() != 0)
        return check();
    int channel[2];
    if (::pipe(channel) != 0)
        return "no pipe";
    const pid_t child = ::fork();
    if (child < 0)
        return "no fork";
    if (child == 0) {
        ::close(channel[0]);
        std::string result;
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
            result = "cannot become nobody";
        else
            result = check();
        if (!result.empty() && ::write(channel[1], result.data(), result.size()) < 0)
            ::_exit(2);
        ::_exit(result.empty() ? 0 : 1);
    }
    ::close(channel[1]);
    std::string result;
    char buffer[512];
    for (ssize_t n; (n = ::read(channel[0], buffer, sizeof buffer)) > 0;)
        result.append(buffer, static_cast<std::size_t>(n));
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (result.empty() && !(WIFEXITED(status) && WEXITSTATUS(status) == 0))
        result = "the check's process ended abnormally";
    return result;
}

} // namespace sonvela::test
