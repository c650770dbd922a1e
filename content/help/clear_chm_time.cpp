// chmcmd stamps the help file with the time it compiled it, in two places:
// the container's header and the "#SYSTEM" file's time-stamp entry. Both
// are set to zero here, so the same pages always give the same bytes (the
// installer carries the file, and a build must not change it for nothing).
// No viewer reads either value.
// Usage: clear_chm_time <file.chm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace {

std::uint64_t Little(const std::string& bytes, std::size_t at, int size) {
    std::uint64_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value =
            (value << 8) | static_cast<unsigned char>(bytes.at(at + static_cast<std::size_t>(i)));
    return value;
}

// The directory's variable-length numbers: seven bits a byte, high first.
std::uint64_t EncInt(const std::string& bytes, std::size_t& at) {
    std::uint64_t value = 0;
    for (;;) {
        const auto byte = static_cast<unsigned char>(bytes.at(at++));
        value = (value << 7) | (byte & 0x7Fu);
        if (!(byte & 0x80u))
            return value;
    }
}

struct Entry {
    std::uint64_t section, offset, length;
};

// The directory entry of `wanted` (listing chunks "PMGL" only).
std::optional<Entry> FindFile(const std::string& chm, std::string_view wanted) {
    const std::uint64_t directory = Little(chm, 0x48, 8);
    const std::uint64_t directoryLength = Little(chm, 0x50, 8);
    const std::uint64_t headerLength = Little(chm, directory + 8, 4);
    const std::uint64_t chunkSize = Little(chm, directory + 0x10, 4);
    for (std::uint64_t chunk = directory + headerLength;
         chunk + chunkSize <= directory + directoryLength; chunk += chunkSize) {
        if (chm.compare(chunk, 4, "PMGL") != 0)
            continue;
        const std::uint64_t end = chunk + chunkSize - Little(chm, chunk + 4, 4);
        std::size_t at = chunk + 0x14;
        while (at < end) {
            const std::uint64_t nameLength = EncInt(chm, at);
            const std::string name = chm.substr(at, nameLength);
            at += nameLength;
            Entry entry{};
            entry.section = EncInt(chm, at);
            entry.offset = EncInt(chm, at);
            entry.length = EncInt(chm, at);
            if (name == wanted)
                return entry;
        }
    }
    return std::nullopt;
}

void Zero(std::string& bytes, std::size_t at, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
        bytes.at(at + i) = '\0';
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: clear_chm_time <file.chm>\n");
        return 2;
    }
    std::string chm;
    {
        std::ifstream in(argv[1], std::ios::binary);
        chm.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    try {
        if (chm.compare(0, 4, "ITSF") != 0 || Little(chm, 4, 4) != 3)
            throw std::runtime_error("not a version 3 help file");
        Zero(chm, 0x10, 4);
        const std::optional<Entry> system = FindFile(chm, "/#SYSTEM");
        if (!system || system->section != 0)
            throw std::runtime_error("no #SYSTEM file");
        const std::uint64_t content = Little(chm, 0x58, 8);
        const std::uint64_t begin = content + system->offset;
        const std::uint64_t end = begin + system->length;
        // A version number, then entries: code, length, data.
        for (std::uint64_t at = begin + 4; at + 4 <= end;) {
            const std::uint64_t code = Little(chm, at, 2);
            const std::uint64_t length = Little(chm, at + 2, 2);
            if (code == 10 && length >= 4)
                Zero(chm, at + 4, 4); // the compile time
            if (code == 4 && length >= 28)
                Zero(chm, at + 4 + 20, 8); // a file time, when one is written
            at += 4 + length;
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "clear_chm_time: %s: %s\n", argv[1], error.what());
        return 1;
    }
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out.write(chm.data(), static_cast<std::streamsize>(chm.size()));
    return out.good() ? 0 : 1;
}
