// MP3 encoded in pieces on several threads: the pieces join without a seam,
// the information frame describes the whole stream so that decoders drop
// exactly the encoder's delay and padding, and it is the frame LAME itself
// would write.
#include "Mp3Encoder.h"

#include "ExportTestSupport.h"
#include "Mp3Frames.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <numbers>

namespace sonvela {
namespace {

using testing::ReadSound;

using testing::ScratchFolder;
using testing::Sound;

constexpr int kRate = 44100;

// Two tones, one of them swelling and fading: steady enough to compare
// sample by sample after decoding, changing enough to keep the encoder's
// model of the ear at work.
std::vector<float> Tones(double seconds, int channels) {
    const auto frames = static_cast<std::size_t>(seconds * kRate);
    std::vector<float> samples(frames * static_cast<std::size_t>(channels));
    for (std::size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double swell = 0.6 + 0.4 * std::sin(2 * std::numbers::pi * 0.7 * t);
        samples[i * channels] =
            static_cast<float>(0.4 * swell * std::sin(2 * std::numbers::pi * 440 * t));
        if (channels == 2)
            samples[i * 2 + 1] =
                static_cast<float>(0.3 * std::sin(2 * std::numbers::pi * 1000 * t));
    }
    return samples;
}

struct Encoding {
    bool ok = false;
    std::vector<std::uint8_t> file;
    std::string error;
};

Encoding Encode(const std::vector<float>& samples, const Mp3EncoderShape& shape,
                std::size_t refuseAfter = std::string::npos) {
    Encoding encoding;
    Mp3Encoder encoder(shape, [&](const std::uint8_t* bytes, std::size_t size) {
        if (encoding.file.size() + size > refuseAfter)
            return false;
        encoding.file.insert(encoding.file.end(), bytes, bytes + size);
        return true;
    });
    if (!encoder.Start())
        return encoding;
    // Uneven blocks, as the mixer hands them over.
    const auto channels = static_cast<std::size_t>(shape.channels);
    const std::size_t frames = samples.size() / channels;
    for (std::size_t at = 0; at < frames;) {
        const std::size_t now = std::min<std::size_t>(3001, frames - at);
        if (!encoder.Put(samples.data() + at * channels, now)) {
            encoding.error = encoder.Error();
            return encoding;
        }
        at += now;
    }
    std::vector<std::uint8_t> informationFrame;
    if (!encoder.Finish(informationFrame)) {
        encoding.error = encoder.Error();
        return encoding;
    }
    std::copy(informationFrame.begin(), informationFrame.end(), encoding.file.begin());
    encoding.ok = true;
    return encoding;
}

Sound Decode(const ScratchFolder& folder, const std::string& name,
             const std::vector<std::uint8_t>& file) {
    const std::string mp3 = folder.File(name + ".mp3");
    std::ofstream(mp3, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()),
               static_cast<std::streamsize>(file.size()));
    const std::string wav = folder.File(name + ".wav");
    EXPECT_EQ(testing::Run("mpg123 -q -w '" + wav + "' '" + mp3 + "'"), 0);
    return ReadSound(wav);
}

// The largest root-mean-square difference between the decoded sound and
// the original over any 10 ms of the given channel.
double WorstWindowError(const Sound& decoded, const std::vector<float>& original, int channel) {
    const auto channels = static_cast<std::size_t>(decoded.channels);
    const std::size_t frames = std::min(decoded.Frames(), original.size() / channels);
    const std::size_t window = kRate / 100;
    double worst = 0;
    for (std::size_t start = 0; start + window <= frames; start += window / 2) {
        double sum = 0;
        for (std::size_t i = start; i < start + window; ++i) {
            const double d =
                decoded.samples[i * channels + channel] - original[i * channels + channel];
            sum += d * d;
        }
        worst = std::max(worst, std::sqrt(sum / static_cast<double>(window)));
    }
    return worst;
}

TEST(Mp3Encoder, PiecesFromSeveralThreadsJoinWithoutASeam) {
    ScratchFolder folder;
    for (const int channels : {2, 1}) {
        SCOPED_TRACE(channels == 2 ? "stereo" : "mono");
        const std::vector<float> original = Tones(9.3, channels);
        Mp3EncoderShape whole;
        whole.channels = channels;
        whole.pieceFrames = 100000; // one piece
        Mp3EncoderShape pieces = whole;
        pieces.pieceFrames = 23; // about 0.6 s: fifteen seams
        pieces.workers = 3;

        const Encoding one = Encode(original, whole);
        const Encoding many = Encode(original, pieces);
        ASSERT_TRUE(one.ok) << one.error;
        ASSERT_TRUE(many.ok) << many.error;
        const Sound fromOne = Decode(folder, "one", one.file);
        const Sound fromMany = Decode(folder, "many", many.file);
        ASSERT_EQ(fromMany.channels, channels);
        // The delay and the padding are dropped exactly, however the
        // stream was cut.
        EXPECT_EQ(fromOne.Frames(), original.size() / channels);
        EXPECT_EQ(fromMany.Frames(), original.size() / channels);
        // A lost, doubled or shifted frame at a seam, or a click, would
        // stand far above the encoder's own error.
        for (int channel = 0; channel < channels; ++channel) {
            const double alone = WorstWindowError(fromOne, original, channel);
            const double joined = WorstWindowError(fromMany, original, channel);
            EXPECT_LT(alone, 0.02) << "channel " << channel;
            EXPECT_LT(joined, 2 * alone + 0.002) << "channel " << channel;
        }
    }
}

TEST(Mp3Encoder, ARefusedWriteStopsTheEncodingAndSaysNothingOfItsOwn) {
    Mp3EncoderShape shape;
    shape.pieceFrames = 10;
    const Encoding refused = Encode(Tones(5, 2), shape, 20000);
    EXPECT_FALSE(refused.ok);
    EXPECT_TRUE(refused.error.empty()); // the writer knows why: it refused
}

// LAME's own command line as the witness: the checksum, the offsets of the
// counts and the music's checksum are read the way LAME wrote them.
TEST(Mp3Frames, TheInformationFrameIsRetotalledAsLameWouldWriteIt) {
    ScratchFolder folder;
    const std::vector<float> tones = Tones(3.1, 2);
    {
        std::vector<short> shorts(tones.size());
        std::transform(tones.begin(), tones.end(), shorts.begin(),
                       [](float s) { return static_cast<short>(std::lround(s * 32767)); });
        std::ofstream raw(folder.File("tones.raw"), std::ios::binary);
        raw.write(reinterpret_cast<const char*>(shorts.data()),
                  static_cast<std::streamsize>(shorts.size() * sizeof(short)));
    }
    ASSERT_EQ(testing::Run(std::string(SONVELA_LAME) + " --quiet -r -s 44.1 --bitwidth 16 -V 4 '" +
                           folder.File("tones.raw") + "' '" + folder.File("tones.mp3") + "'"),
              0);
    std::ifstream in(folder.File("tones.mp3"), std::ios::binary);
    const std::vector<std::uint8_t> file((std::istreambuf_iterator<char>(in)),
                                         std::istreambuf_iterator<char>());
    ASSERT_GT(file.size(), 1000u);
    const auto infoLength = Mp3FrameLength(file.data());
    ASSERT_TRUE(infoLength);
    const std::vector<std::uint8_t> lames(file.begin(),
                                          file.begin() + static_cast<long>(*infoLength));
    const auto lengths = SplitMp3Frames(file.data() + *infoLength, file.size() - *infoLength);
    ASSERT_TRUE(lengths) << "the audio frames follow one another";

    Mp3StreamTotals totals;
    totals.frames = static_cast<std::uint32_t>(lengths->size());
    totals.musicBytes = static_cast<std::uint32_t>(file.size() - *infoLength);
    totals.musicCrc = LameCrc16(file.data() + *infoLength, file.size() - *infoLength);
    totals.frameLengths = &*lengths;
    std::vector<std::uint8_t> ours = lames;
    ASSERT_TRUE(RetotalLameFrame(ours, totals, totals));
    ASSERT_EQ(ours.size(), lames.size());
    // Stereo at 44.1 kHz: the Xing header at 36, its seek table at 52..151,
    // the LAME extension at 156 with the music's checksum at 188 and the
    // frame's own at 190.
    // LAME's seek table points at the end of the frame at each percent of
    // the time, ours at its start, where a player can begin decoding; on
    // this short file a frame is a few 256ths.
    EXPECT_EQ(ours[52], 0);
    for (std::size_t i = 0; i < ours.size(); ++i) {
        if (i >= 52 && i < 152) {
            EXPECT_NEAR(ours[i], lames[i], 8) << "seek table entry " << i - 52;
            if (i > 52) {
                EXPECT_GE(ours[i], ours[i - 1]) << "seek table entry " << i - 52;
            }
        } else if (i < 190 || i >= 192) {
            EXPECT_EQ(ours[i], lames[i]) << "byte " << i;
        }
    }
    EXPECT_EQ(LameCrc16(lames.data(), 190), (lames[190] << 8) | lames[191]);
    EXPECT_EQ(LameCrc16(ours.data(), 190), (ours[190] << 8) | ours[191]);

    // A part's counts moved to a larger whole.
    Mp3StreamTotals whole = totals;
    whole.frames += 1000;
    whole.musicBytes += 400000;
    std::vector<std::uint8_t> grown = lames;
    ASSERT_TRUE(RetotalLameFrame(grown, totals, whole));
    const auto big32 = [](const std::vector<std::uint8_t>& f, std::size_t at) {
        return (std::uint32_t{f[at]} << 24) | (std::uint32_t{f[at + 1]} << 16) |
               (std::uint32_t{f[at + 2]} << 8) | f[at + 3];
    };
    EXPECT_EQ(big32(grown, 44), big32(lames, 44) + 1000);     // frames
    EXPECT_EQ(big32(grown, 48), big32(lames, 48) + 400000);   // bytes
    EXPECT_EQ(big32(grown, 184), big32(lames, 184) + 400000); // music length

    std::vector<std::uint8_t> notOne(lames.begin(), lames.begin() + 100);
    EXPECT_FALSE(RetotalLameFrame(notOne, totals, totals));
}

} // namespace
} // namespace sonvela
