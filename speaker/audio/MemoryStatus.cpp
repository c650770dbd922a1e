#include "MemoryStatus.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <sys/sysinfo.h>

namespace sonvela {

int MemoryLoad(std::uint64_t totalBytes, std::uint64_t availableBytes) {
    if (totalBytes == 0 || availableBytes >= totalBytes) {
        return 0;
    }
    return static_cast<int>((totalBytes - availableBytes) * 100 / totalBytes);
}

MemoryStatus ReadMemoryStatus() {
    MemoryStatus status;
    std::ifstream meminfo("/proc/meminfo");
    std::string line;
    while (std::getline(meminfo, line)) {
        std::istringstream fields(line);
        std::string key;
        std::uint64_t kilobytes = 0;
        if (!(fields >> key >> kilobytes)) {
            continue;
        }
        if (key == "MemTotal:") {
            status.totalBytes = kilobytes * 1024;
        } else if (key == "MemAvailable:") {
            status.availableBytes = kilobytes * 1024;
        }
    }
    if (status.totalBytes == 0) {
        struct sysinfo info {};
        if (sysinfo(&info) == 0) {
            status.totalBytes = static_cast<std::uint64_t>(info.totalram) * info.mem_unit;
            status.availableBytes =
                static_cast<std::uint64_t>(info.freeram + info.bufferram) * info.mem_unit;
        }
    }
    status.loadPercent = MemoryLoad(status.totalBytes, status.availableBytes);
    return status;
}

std::string FormatPhysMem(std::uint64_t totalBytes) {
    const std::uint64_t kilobytes = (totalBytes + 512) / 1024;
    // "#" shows no digit for zero: the pattern of nothing is empty.
    std::string digits = kilobytes == 0 ? std::string() : std::to_string(kilobytes);
    std::string grouped;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) {
            grouped += ',';
        }
        grouped += digits[i];
    }
    return grouped + " KB";
}

std::string FormatMemoryLoad(int percent) {
    char text[32];
    std::snprintf(text, sizeof text, "%d %%", percent);
    return text;
}

} // namespace sonvela
