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

std::optional<GbkString> TakeRecoveryFile(const std::string& programFolder) {
    const std::string path = RecoveryFilePath(programFolder);
    std::optional<std::string> text = ReadWholeFile(path);
    if (text)
        std::remove(path.c_str());
    return text;
}

} // namespace sonvela
