#include "SessionRecovery.h"

#include "AtomicFile.h"

#include <cstdio>

namespace sonvela {

std::string RecoveryFilePath(const std::string& programFolder) {
    return programFolder + "recovery.txt";
}

void WriteRecoveryFile(const std::string& programFolder, const GbkString& text) {
    WriteFileAtomically(RecoveryFilePath(programFolder), text);
}

std::optional<GbkString> ReadRecoveryFile(const std::string& programFolder) {
    return ReadWholeFile(RecoveryFilePath(programFolder));
}

void RemoveRecoveryFile(const std::string& programFolder) {
    std::remove(RecoveryFilePath(programFolder).c_str());
}

} // namespace sonvela
