#include "ReadingState.h"

#include "SettingsFile.h"
#include "SettingsKeys.h"

namespace sonvela {

bool ReadLock::TryAcquire() {
    std::lock_guard lock(mutex_);
    if (held_)
        return false;
    held_ = true;
    return true;
}

void ReadLock::Release() {
    {
        std::lock_guard lock(mutex_);
        held_ = false;
    }
    released_.notify_one();
}

ReadingState::Clock::time_point ReadingState::lastendtime() const {
    return Clock::time_point(Clock::duration(lastEndTicks_.load()));
}

void ReadingState::SetLastendtime(Clock::time_point moment) {
    lastEndTicks_.store(moment.time_since_epoch().count());
}

std::shared_ptr<const DelaySymbols> ReadingState::delaySymbols() const {
    std::lock_guard lock(symbolsMutex_);
    return symbols_;
}

void ReadingState::SetDelaySymbols(DelaySymbols symbols) {
    auto replacement = std::make_shared<const DelaySymbols>(std::move(symbols));
    std::lock_guard lock(symbolsMutex_);
    symbols_ = std::move(replacement);
}

void getdelaystring(ReadingState& state, const std::vector<DelaySymbolRow>& rows) {
    state.SetDelaySymbols(DelaySymbols::FromRows(rows));
}

void LoadReadingSettings(ReadingState& state, const SettingsFile& file) {
    namespace keys = sonvela::settings;
    state.datetimetype = file.ReadInteger(keys::Speaker::kSection, keys::Speaker::Datetimetype,
                                          keys::Speaker::kDatetimetypeDefault);
    state.signdelay = file.ReadInteger(keys::System::kSection, keys::System::Delay2,
                                       keys::System::kDelay2Default);
}

} // namespace sonvela
