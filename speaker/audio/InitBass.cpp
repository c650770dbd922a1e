#include "InitBass.h"

#include "Desktop.h"
#include "bass.h"

namespace sonvela {
namespace {

constexpr DWORD kExpectedVersionHigh = 0x0204;

void ShowAudioError(const char* text) {
    // An error box without a title of its own.
    CurrentDesktop().ShowMessage({MessageIcon::Error, "", text});
}

} // namespace

bool initbass() {
    bool result = true;
    if ((BASS_GetVersion() >> 16) != kExpectedVersionHigh) {
        ShowAudioError("\"Bass.dll\" 文件版本不合适! ");
        result = false;
    }
    if (!BASS_Init(-1, 44100, 0, nullptr, nullptr)) {
        ShowAudioError("初始化错误");
        result = false;
    }
    return result;
}

} // namespace sonvela
