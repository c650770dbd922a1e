// Runs the Qt event loop until a condition holds: the tests of windows wait
// for conditions, never for fixed times. The deadline is generous, as these
// tests also run on loaded machines and under sanitizers; a wait that is
// meant to run out (letting time pass) gives its own.
#pragma once

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <chrono>
#include <functional>

namespace sonvela::testing {

inline bool PumpUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds timeout = std::chrono::seconds(60)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    return true;
}

} // namespace sonvela::testing
