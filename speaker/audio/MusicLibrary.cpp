#include "MusicLibrary.h"

#include "bass.h"

namespace sonvela {

StreamHandle BassMusicLibrary::StreamCreateFile(const std::string& path) {
    return BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, 0);
}

void BassMusicLibrary::StreamFree(StreamHandle stream) {
    BASS_StreamFree(stream);
}

void BassMusicLibrary::ChannelPlay(StreamHandle stream) {
    BASS_ChannelPlay(stream, FALSE);
}

void BassMusicLibrary::ChannelStop(StreamHandle stream) {
    BASS_ChannelStop(stream);
}

void BassMusicLibrary::SetVolume(StreamHandle stream, float volume) {
    BASS_ChannelSetAttribute(stream, BASS_ATTRIB_VOL, volume);
}

std::uint64_t BassMusicLibrary::LengthBytes(StreamHandle stream) {
    return BASS_ChannelGetLength(stream, BASS_POS_BYTE);
}

std::uint64_t BassMusicLibrary::PositionBytes(StreamHandle stream) {
    return BASS_ChannelGetPosition(stream, BASS_POS_BYTE);
}

double BassMusicLibrary::Bytes2Seconds(StreamHandle stream, std::uint64_t bytes) {
    return BASS_ChannelBytes2Seconds(stream, bytes);
}

} // namespace sonvela
