// MP3 encoding spread over the processor's cores. The sound is cut into
// pieces of some seconds, each encoded by an encoder of its own on a worker
// thread, and the frames are joined in order into one stream that decodes
// without a seam:
// - every piece starts on a frame boundary of the whole, so a piece's frame
//   i is the stream's frame (start / 1152 + i);
// - an encoder starts some frames before its piece and reads some frames
//   past its end, so its filters and its model of the ear have the same
//   history and foresight at the piece's edges as one encoder would have,
//   and only the frames of the piece itself are kept;
// - the bit reservoir is off, so no frame borrows bytes from the frame
//   before it, which may come from another encoder.
// The last piece's encoder writes the information frame (delay, padding,
// seek table), which is made to describe the whole stream and goes first.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace sonvela {

struct Mp3EncoderShape {
    int rate = 44100;
    int channels = 2;
    // Frames (of 1152 samples) per piece, before and after it.
    std::size_t pieceFrames = 384;
    std::size_t leadFrames = 16;
    std::size_t tailFrames = 8;
    // 0: one per core.
    unsigned workers = 0;
};

class Mp3Encoder {
public:
    // Takes the encoded stream in order, the information frame's place
    // first; false stops the encoding.
    using Sink = std::function<bool(const std::uint8_t* bytes, std::size_t size)>;

    Mp3Encoder(const Mp3EncoderShape& shape, Sink sink);
    ~Mp3Encoder();
    Mp3Encoder(const Mp3Encoder&) = delete;
    Mp3Encoder& operator=(const Mp3Encoder&) = delete;

    // Sends the information frame's place to the sink. False with Error().
    bool Start();
    // Interleaved float frames in -1..1; may wait for the workers.
    bool Put(const float* frames, std::size_t count);
    // Encodes the rest and sends it; `informationFrame` receives the frame
    // to write over the place sent by Start.
    bool Finish(std::vector<std::uint8_t>& informationFrame);

    // Why the encoding stopped, in words for the operator (Chinese), or
    // empty when the sink refused.
    const std::string& Error() const { return error_; }

private:
    struct Piece;
    struct Encoded;

    void Work();
    std::unique_ptr<Encoded> Encode(const Piece& piece) const;
    void Dispatch(bool last);
    bool Drain(bool wait, std::size_t keepInFlight);
    bool Fail(const std::string& why);

    Mp3EncoderShape shape_;
    Sink sink_;
    std::string error_;
    std::size_t placeLength_ = 0;

    // Samples not yet in a dispatched piece, with the lead of the next one;
    // buffered_ holds the stream's frame where they start.
    std::vector<float> buffered_;
    std::uint64_t bufferedStart_ = 0;
    std::uint64_t nextPiece_ = 0;   // index of the next piece to dispatch
    std::uint64_t nextToWrite_ = 0; // index of the next piece the sink gets
    std::uint64_t pieceStart_ = 0;  // the stream's frame where the next piece starts

    std::vector<std::uint32_t> frameLengths_;
    std::uint32_t musicBytes_ = 0;
    std::uint16_t musicCrc_ = 0;
    std::vector<std::uint8_t> informationFrame_;
    std::uint32_t lastPieceFrames_ = 0;
    std::uint32_t lastPieceBytes_ = 0;

    std::mutex mutex_;
    std::condition_variable work_;
    std::condition_variable done_;
    std::deque<std::unique_ptr<Piece>> queue_;
    std::map<std::uint64_t, std::unique_ptr<Encoded>> encoded_;
    bool stopping_ = false;
    std::vector<std::thread> workers_;
};

} // namespace sonvela
