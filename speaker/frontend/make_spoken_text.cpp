// Build tool: writes what the voice is given for a text, so the recordings
// made at build time say numbers and polyphones as the program does.
// Usage: make_spoken_text ESPEAK_VOICE (TEXT | @FILE) OUTPUT
// A voice whose name starts with "yue" is Cantonese; any other is Mandarin.
#include "FrontEnd.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <string_view>

int main(int argc, char* argv[]) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: make_spoken_text VOICE (TEXT | @FILE) OUTPUT\n");
        return 2;
    }
    const std::string_view voice = argv[1];
    std::string text = argv[2];
    if (text.starts_with('@')) {
        std::ifstream in(text.substr(1), std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "cannot read %s\n", text.c_str() + 1);
            return 1;
        }
        text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    const auto dialect = voice.starts_with("yue") ? sonvela::frontend::Dialect::Cantonese
                                                  : sonvela::frontend::Dialect::Mandarin;
    const std::string spoken = sonvela::frontend::FrontEnd().Prepare(text, dialect);
    std::ofstream out(argv[3], std::ios::binary | std::ios::trunc);
    out << spoken << '\n';
    out.close();
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
