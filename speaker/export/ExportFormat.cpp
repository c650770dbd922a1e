#include "ExportFormat.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace sonvela {

namespace {

struct Kind {
    ExportFormat format;
    std::string_view extension;
    std::string_view name;
};

constexpr std::array kKinds{
    Kind{ExportFormat::Wav, ".wav", "WAV"},
    Kind{ExportFormat::Mp3, ".mp3", "MP3"},
    Kind{ExportFormat::Opus, ".opus", "Ogg Opus"},
    Kind{ExportFormat::Flac, ".flac", "FLAC"},
};

const Kind& KindOf(ExportFormat format) {
    return *std::find_if(kKinds.begin(), kKinds.end(),
                         [format](const Kind& kind) { return kind.format == format; });
}

} // namespace

std::optional<ExportFormat> ExportFormatOfPath(std::string_view path) {
    const auto dot = path.rfind('.');
    const auto slash = path.rfind('/');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && slash > dot))
        return std::nullopt;
    std::string extension(path.substr(dot));
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const Kind& kind : kKinds) {
        if (kind.extension == extension)
            return kind.format;
    }
    return std::nullopt;
}

std::string_view ExtensionOf(ExportFormat format) {
    return KindOf(format).extension;
}

std::string_view DisplayNameOf(ExportFormat format) {
    return KindOf(format).name;
}

int FileRateOf(ExportFormat format) {
    return format == ExportFormat::Opus ? 48000 : kLiveMixRate;
}

} // namespace sonvela
