// A hand-driven pair of clocks for the timetable: the wall clock and the
// monotonic clock move together, unless a test sets the wall clock or
// suspends the machine (the monotonic clock stands still through a sleep).
#pragma once

#include "Timetable.h"

#include <chrono>
#include <cstdint>

namespace sonvela::test {

class FakeScheduleClock {
public:
    explicit FakeScheduleClock(const LocalMoment& start) : wallMs_(LocalSeconds(start) * 1000) {}

    ScheduleClock Clock() {
        return {[this] { return MomentFromLocalSeconds(wallMs_ / 1000); },
                [this] { return std::chrono::steady_clock::time_point(monotonic_); }};
    }

    void Advance(std::chrono::milliseconds step) {
        wallMs_ += step.count();
        monotonic_ += step;
    }
    void SetWall(const LocalMoment& moment) { wallMs_ = LocalSeconds(moment) * 1000; }
    void ShiftWall(std::chrono::seconds shift) { wallMs_ += shift.count() * 1000; }
    void Suspend(std::chrono::seconds length) { ShiftWall(length); }

    std::int64_t WallMs() const { return wallMs_; }

private:
    std::int64_t wallMs_;
    std::chrono::steady_clock::duration monotonic_{std::chrono::hours(1000)};
};

// 2026-12-07 is a Monday.
inline LocalMoment At(int day, int hour, int minute, int second = 0) {
    return MomentFromLocalSeconds(LocalSeconds({2026, 12, day, 1, 0, 0, 0}) + hour * 3600 +
                                  minute * 60 + second);
}

} // namespace sonvela::test
