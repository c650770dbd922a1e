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
    const bool nameIsUsable = section.find_first_of("[]\r\n") == std::string::npos &&
                              key.find_first_of("=\r\n[;") == std::string::npos &&
                              !key.empty() && key.front() != ' ' && key.back() != ' ' &&
                              key.front() != '\t' && key.back() != '\t' &&
                              section.find_first_not_of(" \t") != std::string::npos &&
                              section.front() != ' ' && section.back() != ' ';
    if (nameIsUsable) {
        doc.Set(section, key, "written");
        const IniDocument reread = IniDocument::Parse(doc.Serialize());
        if (reread.Find(section, key) != std::optional<std::string>("written"))
            __builtin_trap();
    }
    return 0;
}
