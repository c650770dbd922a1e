// The computer's memory figures the about box shows.
#pragma once

#include <cstdint>
#include <string>

namespace sonvela {

struct MemoryStatus {
    std::uint64_t totalBytes = 0;
    std::uint64_t availableBytes = 0;
    // The share of physical memory in use, 0 to 100.
    int loadPercent = 0;
};

// Reads the system's figures: total and available memory from
// /proc/meminfo (available counts the caches the system gives back), or
// from sysinfo() when that file cannot be read.
MemoryStatus ReadMemoryStatus();

// The load from the two figures, rounded down as a whole percentage.
int MemoryLoad(std::uint64_t totalBytes, std::uint64_t availableBytes);

// "#,### KB": total bytes / 1024 rounded to the nearest whole number, with
// commas between groups of three digits ("2,096,632 KB").
std::string FormatPhysMem(std::uint64_t totalBytes);
// "%d %%": "37 %".
std::string FormatMemoryLoad(int percent);

} // namespace sonvela
