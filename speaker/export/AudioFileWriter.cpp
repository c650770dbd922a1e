#include "AudioFileWriter.h"

#include "Mp3Encoder.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace sonvela {

namespace {

constexpr std::size_t kPieceFrames = 48000;

int SndfileFormatOf(ExportFormat format) {
    switch (format) {
    case ExportFormat::Wav:
        return SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    case ExportFormat::Mp3:
        return SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
    case ExportFormat::Opus:
        return SF_FORMAT_OGG | SF_FORMAT_OPUS;
    case ExportFormat::Flac:
        return SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
    }
    return 0;
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// False with errno set when the bytes could not all be written.
bool WriteAll(int fd, const std::uint8_t* bytes, std::size_t size) {
    while (size > 0) {
        const ssize_t written = write(fd, bytes, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = ENOSPC;
            return false;
        }
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

} // namespace

std::string FileErrorWords(int error) {
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return "磁盘空间不足";
    case EFBIG:
        return "文件超出了允许的大小";
    case EACCES:
    case EPERM:
        return "没有写入该文件夹的权限";
    case EROFS:
        return "该文件夹所在的磁盘是只读的";
    case ENOENT:
    case ENOTDIR:
        return "文件夹不存在";
    case ENAMETOOLONG:
        return "文件名太长";
    case EIO:
        return "磁盘读写出错";
    default:
        return "系统错误 " + std::to_string(error);
    }
}

AudioFileWriter::AudioFileWriter() = default;

AudioFileWriter::~AudioFileWriter() {
    Abandon();
}

bool AudioFileWriter::Fail(const std::string& what, int error) {
    error_ = error != 0 ? what + "：" + FileErrorWords(error) + "。" : what + "。";
    Abandon();
    return false;
}

bool AudioFileWriter::Open(const std::string& target, ExportFormat format, int rate, int channels) {
    Abandon();
    error_.clear();
    pending_.clear();
    channels_ = channels;
    target_ = target;
    // Hidden, beside the target: the rename stays on one file system.
    std::string pattern = FolderOf(target) + "/." + NameOf(target) + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    fd_ = mkostemp(name.data(), O_CLOEXEC);
    if (fd_ < 0)
        return Fail("无法在文件夹“" + FolderOf(target) + "”中写入文件", errno);
    temporary_ = name.data();
    // mkostemp makes the file private; an audio file is an ordinary file.
    fchmod(fd_, 0644);

    if (format == ExportFormat::Mp3) {
        // Our own MP3 encoding, on every core; libsndfile's runs on one.
        Mp3EncoderShape shape;
        shape.rate = rate;
        shape.channels = channels;
        mp3_ = std::make_unique<Mp3Encoder>(shape,
                                            [this](const std::uint8_t* bytes, std::size_t size) {
                                                if (WriteAll(fd_, bytes, size))
                                                    return true;
                                                sinkError_ = errno;
                                                return false;
                                            });
        sinkError_ = 0;
        if (!mp3_->Start())
            return FailMp3();
        return true;
    }

    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = SndfileFormatOf(format);
    if (!sf_format_check(&info))
        return Fail("不支持的音频格式", 0);
    file_ = sf_open_fd(fd_, SFM_WRITE, &info, SF_FALSE);
    if (file_ == nullptr) {
        const int error = errno;
        return Fail("无法创建音频文件（" + std::string(sf_strerror(nullptr)) + "）", error);
    }
    return true;
}

bool AudioFileWriter::FailMp3() {
    if (const std::string why = mp3_->Error(); !why.empty())
        return Fail(why, 0);
    return Fail("写入音频文件失败", sinkError_ != 0 ? sinkError_ : EIO);
}

bool AudioFileWriter::Write(const float* frames, std::size_t count) {
    if (mp3_)
        return mp3_->Put(frames, count) || FailMp3();
    if (file_ == nullptr)
        return false;
    pending_.insert(pending_.end(), frames, frames + count * static_cast<std::size_t>(channels_));
    if (pending_.size() >= kPieceFrames * static_cast<std::size_t>(channels_))
        return Flush();
    return true;
}

bool AudioFileWriter::Flush() {
    const auto count =
        static_cast<sf_count_t>(pending_.size() / static_cast<std::size_t>(channels_));
    if (count == 0)
        return true;
    errno = 0;
    const sf_count_t written = sf_writef_float(file_, pending_.data(), count);
    pending_.clear();
    if (written != count) {
        const int error = errno != 0 ? errno : ENOSPC;
        return Fail("写入音频文件失败", error);
    }
    return true;
}

void AudioFileWriter::CloseFile() {
    pending_.clear();
    mp3_.reset();
    if (file_ != nullptr) {
        sf_close(file_);
        file_ = nullptr;
    }
    if (fd_ >= 0) {
        close(fd_);
        fd_ = -1;
    }
}

bool AudioFileWriter::Commit() {
    if (mp3_) {
        std::vector<std::uint8_t> informationFrame;
        if (!mp3_->Finish(informationFrame))
            return FailMp3();
        mp3_.reset();
        // Over the place kept for it at the start.
        errno = 0;
        if (pwrite(fd_, informationFrame.data(), informationFrame.size(), 0) !=
            static_cast<ssize_t>(informationFrame.size()))
            return Fail("写入音频文件失败", errno != 0 ? errno : EIO);
    } else {
        if (file_ == nullptr)
            return false;
        if (!Flush())
            return false;
        // Encoders write their last frames and the headers when closed.
        errno = 0;
        const int closed = sf_close(file_);
        file_ = nullptr;
        if (closed != 0)
            return Fail("写入音频文件失败", errno != 0 ? errno : EIO);
    }
    if (fsync(fd_) != 0)
        return Fail("写入音频文件失败", errno);
    if (close(fd_) != 0) {
        fd_ = -1;
        return Fail("写入音频文件失败", errno);
    }
    fd_ = -1;
    if (std::rename(temporary_.c_str(), target_.c_str()) != 0)
        return Fail("无法保存为“" + target_ + "”", errno);
    temporary_.clear();
    return true;
}

void AudioFileWriter::Abandon() {
    CloseFile();
    if (!temporary_.empty()) {
        unlink(temporary_.c_str());
        temporary_.clear();
    }
}

} // namespace sonvela
