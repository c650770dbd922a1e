// The audio file kinds an announcement can be written as.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sonvela {

enum class ExportFormat { Wav, Mp3, Opus, Flac };

// The kind a file name asks for by its extension (any letter case).
std::optional<ExportFormat> ExportFormatOfPath(std::string_view path);
// ".wav", ".mp3", ".opus", ".flac".
std::string_view ExtensionOf(ExportFormat format);
// The name shown in the format list.
std::string_view DisplayNameOf(ExportFormat format);
// The rate the announcement is mixed at: the live output's.
inline constexpr int kLiveMixRate = 44100;
// The rate of the file: the mix's, except for Opus, which knows 48 kHz and
// its fractions only.
int FileRateOf(ExportFormat format);

} // namespace sonvela
