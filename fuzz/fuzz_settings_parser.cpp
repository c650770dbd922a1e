// Any bytes as a settings file: parsing, reading every value form and
// writing must never crash, and a value written must read back.
#include "IniDocument.h"
#include "SettingValues.h"

#include <cstdint>
#include <string>

using namespace sonvela;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    IniDocument doc = IniDocument::Parse(bytes);
    if (doc.Serialize() != bytes)
        __builtin_trap(); // parsing alone must keep every byte

    // Section and key names drawn from the input itself, so that the
    // fuzzer reaches lines that exist.
    const std::string section = bytes.substr(0, size % 7);
    const std::string key = bytes.substr(size / 2, 3);
    if (const auto value = doc.Find(section, key)) {
        (void)ParseIniInteger(*value);
        (void)StringToColor(*value);
        (void)StringToFontStyle(*value);
    }
    // Names are matched trimmed of blanks, so the harness only writes names
    // that a trimmed match can find again.
    const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    const auto usableName = [&](const std::string& name, const char* forbidden) {
        return !name.empty() && !isBlank(name.front()) && !isBlank(name.back()) &&
               name.find_first_of(forbidden) == std::string::npos;
    };
    const bool nameIsUsable = usableName(section, "[]\r\n") && usableName(key, "=\r\n[;");
    if (nameIsUsable) {
        doc.Set(section, key, "written");
        const IniDocument reread = IniDocument::Parse(doc.Serialize());
        if (reread.Find(section, key) != std::optional<std::string>("written"))
            __builtin_trap();
    }
    return 0;
}
