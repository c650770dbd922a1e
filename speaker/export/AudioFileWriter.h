// Writes the rendered announcement to an audio file that appears complete or
// not at all: the sound goes to a hidden temporary file in the target's
// folder, which is renamed over the target only once it has been written,
// closed and flushed to the disk. Abandoning, a failure or destruction
// before Commit removes the temporary file; the target is never touched.
#pragma once

#include "ExportFormat.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

struct sf_private_tag;

namespace sonvela {

class Mp3Encoder;

class AudioFileWriter {
public:
    AudioFileWriter();
    ~AudioFileWriter();
    AudioFileWriter(const AudioFileWriter&) = delete;
    AudioFileWriter& operator=(const AudioFileWriter&) = delete;

    // Creates the temporary file for `target` (UTF-8 path). False with
    // Error() on failure.
    bool Open(const std::string& target, ExportFormat format, int rate, int channels);
    // Interleaved float frames in -1..1.
    bool Write(const float* frames, std::size_t count);
    // Closes, flushes and renames into place.
    bool Commit();
    // Removes the temporary file.
    void Abandon();

    // Why the last call failed, in words for the operator (Chinese).
    const std::string& Error() const { return error_; }
    const std::string& TemporaryPath() const { return temporary_; }

private:
    bool Fail(const std::string& what, int error);
    bool FailMp3();
    bool Flush();
    void CloseFile();

    std::string target_;
    std::string temporary_;
    int fd_ = -1;
    sf_private_tag* file_ = nullptr; // WAV, Opus, FLAC
    std::unique_ptr<Mp3Encoder> mp3_;
    int sinkError_ = 0; // errno of the MP3 stream's last failed write
    std::string error_;
    // Frames go to the encoder in large, even pieces: some encoders pad a
    // short piece out to a whole packet.
    std::vector<float> pending_;
    int channels_ = 2;
};

// Words for a system error number, for the operator.
std::string FileErrorWords(int error);

} // namespace sonvela
