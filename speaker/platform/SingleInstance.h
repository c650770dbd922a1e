// The program runs as a single instance: a lock named "Sonvela" held for the
// whole run. The kernel releases it when the holder dies, however it dies, so
// a killed instance never blocks the next start.
#pragma once

#include <optional>
#include <string>

namespace sonvela {

class SingleInstanceLock {
public:
    // Takes the lock `name` in `folder` (created when missing). Nothing when
    // another process holds it. When the lock cannot be had at all (an
    // unwritable folder) the program is not kept from starting: the lock is
    // then returned empty.
    static std::optional<SingleInstanceLock> Acquire(const std::string& folder,
                                                     const std::string& name);

    // The folder of the lock: the user's runtime folder, else the user's own
    // temporary folder.
    static std::string DefaultFolder();

    SingleInstanceLock(SingleInstanceLock&& other) noexcept;
    SingleInstanceLock& operator=(SingleInstanceLock&& other) noexcept;
    SingleInstanceLock(const SingleInstanceLock&) = delete;
    SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;
    ~SingleInstanceLock();

    bool Held() const { return fd_ >= 0; }

private:
    explicit SingleInstanceLock(int fd) : fd_(fd) {}
    int fd_ = -1;
};

} // namespace sonvela
