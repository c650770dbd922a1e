#include "Mp3Encoder.h"

#include "Mp3Frames.h"

#include <algorithm>
#include <lame/lame.h>
#include <limits>

namespace sonvela {
namespace {

constexpr std::size_t kFrameSamples = 1152;
// Samples handed to the encoder per call.
constexpr std::size_t kFeedSamples = kFrameSamples * 32;
constexpr char kEncoderFailed[] = "MP3 编码器无法工作";

// One LAME encoder set as every piece's encoder is set: variable bit rate
// at quality 4, no bit reservoir (see the header), the information frame
// only where it is wanted.
// LAME fills some tables of its own the first time an encoder is set up;
// encoders are set up one at a time.
std::mutex lameSetUp;

struct Lame {
    lame_t handle = nullptr;
    Lame(int rate, int channels, bool informationFrame) {
        std::lock_guard lock(lameSetUp);
        handle = lame_init();
        if (handle == nullptr)
            return;
        lame_set_in_samplerate(handle, rate);
        lame_set_out_samplerate(handle, rate);
        lame_set_num_channels(handle, channels);
        lame_set_mode(handle, channels == 1 ? MONO : JOINT_STEREO);
        lame_set_VBR(handle, vbr_mtrh);
        lame_set_VBR_quality(handle, 4.0f);
        lame_set_disable_reservoir(handle, 1);
        lame_set_bWriteVbrTag(handle, informationFrame ? 1 : 0);
        if (lame_init_params(handle) < 0) {
            lame_close(handle);
            handle = nullptr;
        }
    }
    ~Lame() {
        if (handle != nullptr)
            lame_close(handle);
    }
    Lame(const Lame&) = delete;
    Lame& operator=(const Lame&) = delete;

    // Appends what the encoder gives for `samples` (interleaved); false on
    // an encoder error.
    bool Encode(const float* samples, std::size_t count, int channels,
                std::vector<std::uint8_t>& out) {
        std::vector<std::uint8_t> buffer(kFeedSamples * 5 / 4 + 7200);
        for (std::size_t done = 0; done < count;) {
            const std::size_t now = std::min(kFeedSamples, count - done);
            const float* at = samples + done * static_cast<std::size_t>(channels);
            const int n = static_cast<int>(now);
            const int size = static_cast<int>(buffer.size());
            const int got =
                channels == 1
                    ? lame_encode_buffer_ieee_float(handle, at, at, n, buffer.data(), size)
                    : lame_encode_buffer_interleaved_ieee_float(handle, at, n, buffer.data(), size);
            if (got < 0)
                return false;
            out.insert(out.end(), buffer.begin(), buffer.begin() + got);
            done += now;
        }
        return true;
    }

    bool Flush(std::vector<std::uint8_t>& out) {
        std::vector<std::uint8_t> buffer(7200 + kFrameSamples * 4);
        const int got = lame_encode_flush(handle, buffer.data(), static_cast<int>(buffer.size()));
        if (got < 0)
            return false;
        out.insert(out.end(), buffer.begin(), buffer.begin() + got);
        return true;
    }

    std::vector<std::uint8_t> InformationFrame() {
        std::vector<std::uint8_t> frame(lame_get_lametag_frame(handle, nullptr, 0));
        frame.resize(lame_get_lametag_frame(handle, frame.data(), frame.size()));
        return frame;
    }
};

} // namespace

struct Mp3Encoder::Piece {
    std::uint64_t index = 0;
    std::vector<float> samples;
    std::size_t leadFrames = 0;                                       // encoded, not kept
    std::size_t keepFrames = std::numeric_limits<std::size_t>::max(); // then kept
    bool last = false;
};

struct Mp3Encoder::Encoded {
    std::vector<std::uint8_t> bytes;         // the kept frames
    std::vector<std::uint32_t> frameLengths; // of the kept frames
    std::string error;
    // The last piece's information frame, and the frames and bytes that
    // encoder made (kept or not), which the frame counts.
    std::vector<std::uint8_t> informationFrame;
    std::uint32_t encoderFrames = 0;
    std::uint32_t encoderBytes = 0;
};

Mp3Encoder::Mp3Encoder(const Mp3EncoderShape& shape, Sink sink)
    : shape_(shape), sink_(std::move(sink)) {
    unsigned workers = shape_.workers != 0 ? shape_.workers : std::thread::hardware_concurrency();
    workers = std::clamp(workers, 1u, 8u);
    for (unsigned i = 0; i < workers; ++i)
        workers_.emplace_back([this] { Work(); });
}

Mp3Encoder::~Mp3Encoder() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        queue_.clear();
    }
    work_.notify_all();
    for (auto& worker : workers_)
        worker.join();
}

bool Mp3Encoder::Fail(const std::string& why) {
    if (error_.empty())
        error_ = why;
    return false;
}

bool Mp3Encoder::Start() {
    // The information frame's length does not depend on the sound; an
    // encoder that has made a few frames tells it.
    Lame probe(shape_.rate, shape_.channels, true);
    std::vector<std::uint8_t> ignored;
    const std::vector<float> silence(kFrameSamples * 4 * static_cast<std::size_t>(shape_.channels));
    if (probe.handle == nullptr ||
        !probe.Encode(silence.data(), kFrameSamples * 4, shape_.channels, ignored) ||
        !probe.Flush(ignored))
        return Fail(kEncoderFailed);
    placeLength_ = probe.InformationFrame().size();
    if (placeLength_ == 0)
        return Fail(kEncoderFailed);
    const std::vector<std::uint8_t> place(placeLength_, 0);
    return sink_(place.data(), place.size());
}

bool Mp3Encoder::Put(const float* frames, std::size_t count) {
    if (!error_.empty())
        return false;
    buffered_.insert(buffered_.end(), frames,
                     frames + count * static_cast<std::size_t>(shape_.channels));
    const std::uint64_t pieceSamples = shape_.pieceFrames * kFrameSamples;
    const std::uint64_t tailSamples = shape_.tailFrames * kFrameSamples;
    const auto bufferedEnd = [&] {
        return bufferedStart_ + buffered_.size() / static_cast<std::size_t>(shape_.channels);
    };
    while (bufferedEnd() >= pieceStart_ + pieceSamples + tailSamples)
        Dispatch(false);
    // Enough pieces in hand keep every worker busy; more would only hold
    // memory while the sink is slower than the encoders.
    return Drain(false, 2 * workers_.size());
}

void Mp3Encoder::Dispatch(bool last) {
    const auto channels = static_cast<std::size_t>(shape_.channels);
    const std::uint64_t leadSamples =
        std::min<std::uint64_t>(pieceStart_, shape_.leadFrames * kFrameSamples);
    const std::uint64_t inputStart = pieceStart_ - leadSamples;
    const std::uint64_t pieceSamples = shape_.pieceFrames * kFrameSamples;
    const std::uint64_t bufferedEnd = bufferedStart_ + buffered_.size() / channels;
    const std::uint64_t inputEnd =
        last ? bufferedEnd : pieceStart_ + pieceSamples + shape_.tailFrames * kFrameSamples;

    auto piece = std::make_unique<Piece>();
    piece->index = nextPiece_++;
    piece->leadFrames = leadSamples / kFrameSamples;
    piece->last = last;
    if (!last)
        piece->keepFrames = shape_.pieceFrames;
    const auto from =
        buffered_.begin() + static_cast<std::ptrdiff_t>((inputStart - bufferedStart_) * channels);
    const auto to =
        buffered_.begin() + static_cast<std::ptrdiff_t>((inputEnd - bufferedStart_) * channels);
    piece->samples.assign(from, to);

    pieceStart_ += pieceSamples;
    // Keep what the next piece reads: its lead and everything after.
    const std::uint64_t keepFrom =
        pieceStart_ - std::min<std::uint64_t>(pieceStart_, shape_.leadFrames * kFrameSamples);
    if (!last && keepFrom > bufferedStart_) {
        buffered_.erase(buffered_.begin(),
                        buffered_.begin() +
                            static_cast<std::ptrdiff_t>((keepFrom - bufferedStart_) * channels));
        bufferedStart_ = keepFrom;
    }
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(piece));
    }
    work_.notify_one();
}

void Mp3Encoder::Work() {
    for (;;) {
        std::unique_ptr<Piece> piece;
        {
            std::unique_lock lock(mutex_);
            work_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
            if (stopping_)
                return;
            piece = std::move(queue_.front());
            queue_.pop_front();
        }
        std::unique_ptr<Encoded> encoded;
        try {
            encoded = Encode(*piece);
        } catch (const std::exception&) { // out of memory
            encoded = std::make_unique<Encoded>();
            encoded->error = kEncoderFailed;
        }
        {
            std::lock_guard lock(mutex_);
            encoded_[piece->index] = std::move(encoded);
        }
        done_.notify_all();
    }
}

std::unique_ptr<Mp3Encoder::Encoded> Mp3Encoder::Encode(const Piece& piece) const {
    auto encoded = std::make_unique<Encoded>();
    encoded->error = kEncoderFailed; // until the piece is done
    Lame lame(shape_.rate, shape_.channels, piece.last);
    std::vector<std::uint8_t> stream;
    const std::size_t count = piece.samples.size() / static_cast<std::size_t>(shape_.channels);
    if (lame.handle == nullptr ||
        !lame.Encode(piece.samples.data(), count, shape_.channels, stream) ||
        (piece.last && !lame.Flush(stream)))
        return encoded;
    std::size_t at = 0;
    if (piece.last) {
        // The stream starts with the place LAME keeps for this frame.
        encoded->informationFrame = lame.InformationFrame();
        at = encoded->informationFrame.size();
        if (at == 0 || at > stream.size())
            return encoded;
    }
    const auto lengths = SplitMp3Frames(stream.data() + at, stream.size() - at);
    if (!lengths)
        return encoded;
    encoded->encoderFrames = static_cast<std::uint32_t>(lengths->size());
    encoded->encoderBytes = static_cast<std::uint32_t>(stream.size() - at);
    for (std::size_t i = 0; i < lengths->size(); ++i) {
        const std::uint32_t length = (*lengths)[i];
        if (i >= piece.leadFrames && i - piece.leadFrames < piece.keepFrames) {
            const auto from = stream.begin() + static_cast<std::ptrdiff_t>(at);
            encoded->bytes.insert(encoded->bytes.end(), from, from + length);
            encoded->frameLengths.push_back(length);
        }
        at += length;
    }
    // A piece that is not the last must yield all its frames.
    if (piece.last || encoded->frameLengths.size() == piece.keepFrames)
        encoded->error.clear();
    return encoded;
}

bool Mp3Encoder::Drain(bool wait, std::size_t keepInFlight) {
    for (;;) {
        std::unique_ptr<Encoded> encoded;
        {
            std::unique_lock lock(mutex_);
            const bool mustWait =
                wait ? nextToWrite_ < nextPiece_ : nextPiece_ - nextToWrite_ > keepInFlight;
            if (mustWait)
                done_.wait(lock, [&] { return encoded_.contains(nextToWrite_); });
            const auto found = encoded_.find(nextToWrite_);
            if (found == encoded_.end())
                return true;
            encoded = std::move(found->second);
            encoded_.erase(found);
        }
        ++nextToWrite_;
        if (!encoded->error.empty())
            return Fail(encoded->error);
        if (musicBytes_ > std::numeric_limits<std::uint32_t>::max() - encoded->bytes.size())
            return Fail("MP3 文件太大");
        if (!encoded->bytes.empty() && !sink_(encoded->bytes.data(), encoded->bytes.size()))
            return false;
        musicBytes_ += static_cast<std::uint32_t>(encoded->bytes.size());
        musicCrc_ = LameCrc16(encoded->bytes.data(), encoded->bytes.size(), musicCrc_);
        frameLengths_.insert(frameLengths_.end(), encoded->frameLengths.begin(),
                             encoded->frameLengths.end());
        if (!encoded->informationFrame.empty()) {
            informationFrame_ = std::move(encoded->informationFrame);
            lastPieceFrames_ = encoded->encoderFrames;
            lastPieceBytes_ = encoded->encoderBytes;
        }
    }
}

bool Mp3Encoder::Finish(std::vector<std::uint8_t>& informationFrame) {
    if (!error_.empty())
        return false;
    Dispatch(true);
    if (!Drain(true, 0))
        return false;
    Mp3StreamTotals part;
    part.frames = lastPieceFrames_;
    part.musicBytes = lastPieceBytes_;
    Mp3StreamTotals whole;
    whole.frames = static_cast<std::uint32_t>(frameLengths_.size());
    whole.musicBytes = musicBytes_;
    whole.musicCrc = musicCrc_;
    whole.frameLengths = &frameLengths_;
    if (informationFrame_.size() != placeLength_ ||
        !RetotalLameFrame(informationFrame_, part, whole))
        return Fail(kEncoderFailed);
    informationFrame = informationFrame_;
    return true;
}

} // namespace sonvela
