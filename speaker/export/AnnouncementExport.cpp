#include "AnnouncementExport.h"

#include "AudioFileWriter.h"
#include "RateConverter.h"
#include "SegmentPlan.h"
#include "SpeechSource.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace sonvela {

namespace {

using Pcm = std::shared_ptr<const std::vector<short>>;
using SteadyClock = std::chrono::steady_clock;

// One step of the announcement's time line.
struct Step {
    enum class Kind { Pause, Speech, PassStart, PassEnd } kind = Kind::Pause;
    std::int64_t milliseconds = 0;
    Pcm pcm;
    double fraction = 0; // of the whole work, once this step is done
};

// Synthesis runs on a thread of its own, ahead of the mixing and encoding,
// so the two take two cores; a bounded queue keeps memory flat.
class StepQueue {
public:
    static constexpr std::size_t kLimit = 256;

    void Push(Step step) {
        std::unique_lock lock(mutex_);
        space_.wait(lock, [&] { return steps_.size() < kLimit || closed_; });
        if (closed_)
            return;
        steps_.push_back(std::move(step));
        ready_.notify_one();
    }
    // Nothing once the producer has finished and the queue is empty.
    std::optional<Step> Pop() {
        std::unique_lock lock(mutex_);
        ready_.wait(lock, [&] { return !steps_.empty() || finished_; });
        if (steps_.empty())
            return std::nullopt;
        Step step = std::move(steps_.front());
        steps_.pop_front();
        space_.notify_one();
        return step;
    }
    void Finish(std::string error = {}) {
        std::lock_guard lock(mutex_);
        finished_ = true;
        error_ = std::move(error);
        ready_.notify_all();
    }
    // The consumer gives up: the producer stops at its next push.
    void Close() {
        std::lock_guard lock(mutex_);
        closed_ = true;
        space_.notify_all();
    }
    bool Closed() {
        std::lock_guard lock(mutex_);
        return closed_;
    }
    std::string Error() {
        std::lock_guard lock(mutex_);
        return error_;
    }

private:
    std::mutex mutex_;
    std::condition_variable ready_;
    std::condition_variable space_;
    std::deque<Step> steps_;
    bool finished_ = false;
    bool closed_ = false;
    std::string error_;
};

void Produce(const AnnouncementSettings& settings, SpeechSource& speech,
             const std::atomic<bool>& cancel, StepQueue& queue) {
    const int passes = std::max(settings.passes, 1);
    const bool rangeMode = settings.loop || passes > 1;
    const double textBytes = std::max<double>(static_cast<double>(settings.text.size()), 1.0);
    // A segment repeated (in every pass, or within the text) is synthesised
    // once: the engine says the same text with the same samples.
    std::map<std::string, Pcm> said;
    try {
        for (int pass = 0; pass < passes; ++pass) {
            if (pass > 0)
                queue.Push({Step::Kind::Pause, settings.intervalSeconds * 1000LL, nullptr,
                            static_cast<double>(pass) / passes});
            queue.Push({Step::Kind::PassStart, 0, nullptr, static_cast<double>(pass) / passes});
            // The placeholder is filled in per pass, as each pass reads the
            // clock afresh.
            const auto segments =
                PlanSegments(settings.text, rangeMode, settings.symbols, settings.datetimetype,
                             settings.signdelay, settings.clock);
            for (const PlannedSegment& segment : segments) {
                if (cancel.load() || queue.Closed()) {
                    queue.Finish();
                    return;
                }
                const double fraction =
                    (pass + static_cast<double>(segment.end) / textBytes) / passes;
                if (segment.signPause > 0)
                    queue.Push({Step::Kind::Pause, segment.signPause, nullptr, fraction});
                const std::string key = speech.KeyOf(segment.spoken);
                Pcm& pcm = said[key];
                if (!pcm)
                    pcm = std::make_shared<const std::vector<short>>(speech.Say(segment.spoken));
                queue.Push({Step::Kind::Speech, 0, pcm, fraction});
                if (segment.segdelay > 0)
                    queue.Push({Step::Kind::Pause, segment.segdelay, nullptr, fraction});
            }
            queue.Push({Step::Kind::PassEnd, 0, nullptr, static_cast<double>(pass + 1) / passes});
        }
        queue.Finish();
    } catch (const std::exception& fault) {
        queue.Finish(std::string("语音引擎无法朗读这段文字（") + fault.what() + "）。");
    }
}

} // namespace

ExportResult ExportAnnouncement(const AnnouncementSettings& settings, SpeechSource& speech,
                                const std::string& target, ExportFormat format,
                                const std::atomic<bool>& cancel,
                                const ExportProgressCallback& progress) {
    ExportResult result;
    // Mixed at the live output's rate, so the file holds what the speakers
    // would get; a format that needs another rate gets the finished mix
    // converted.
    const int rate = kLiveMixRate;
    const int fileRate = FileRateOf(format);
    AudioFileWriter writer;
    // Speech alone is the same on both sides (the mixer doubles the mono
    // voice): the file is mono then, which halves an encoder's work. Music
    // makes it stereo.
    const MusicBed music = settings.withMusic ? settings.music : MusicBed{};
    const int channels = music.files.empty() ? 1 : 2;
    if (!writer.Open(target, format, fileRate, channels)) {
        result.message = writer.Error();
        return result;
    }
    std::unique_ptr<RateConverter> converter;
    std::vector<float> converted;
    if (fileRate != rate) {
        try {
            converter = std::make_unique<RateConverter>(rate, fileRate, channels);
        } catch (const std::exception&) {
            result.message = "无法转换采样率，请选择其他格式。";
            return result;
        }
    }
    std::vector<float> left;
    const auto write = [&](const float* frames, std::size_t count) {
        if (cancel.load())
            return false;
        if (channels == 1) {
            left.resize(count);
            for (std::size_t i = 0; i < count; ++i)
                left[i] = frames[2 * i];
            frames = left.data();
        }
        if (!converter)
            return writer.Write(frames, count);
        converted.clear();
        return converter->Put(frames, count, converted) &&
               writer.Write(converted.data(),
                            converted.size() / static_cast<std::size_t>(channels));
    };

    AnnouncementMixer mixer(rate, speech.SampleRate(), music, write);

    StepQueue queue;
    std::thread producer([&] { Produce(settings, speech, cancel, queue); });
    // Whatever ends the mixing, the producer is stopped and joined first.
    struct ProducerStop {
        StepQueue& queue;
        std::thread& producer;
        ~ProducerStop() {
            queue.Close();
            if (producer.joinable())
                producer.join();
        }
    } producerStop{queue, producer};

    const auto started = SteadyClock::now();
    auto lastReport = started;
    bool mixed = true;
    while (const auto step = queue.Pop()) {
        switch (step->kind) {
        case Step::Kind::Pause:
            mixed = mixer.Pause(step->milliseconds);
            break;
        case Step::Kind::Speech:
            mixed = mixer.Speak(*step->pcm);
            break;
        case Step::Kind::PassStart:
            mixer.SetReading(true);
            break;
        case Step::Kind::PassEnd:
            mixer.SetReading(false);
            break;
        }
        if (!mixed || cancel.load())
            break;
        const auto now = SteadyClock::now();
        if (progress && now - lastReport >= std::chrono::milliseconds(200)) {
            lastReport = now;
            const double elapsed = std::chrono::duration<double>(now - started).count();
            ExportProgress report;
            report.fraction = step->fraction;
            report.remainingSeconds =
                step->fraction > 0.01 ? elapsed * (1 - step->fraction) / step->fraction : -1;
            report.audioSeconds = static_cast<double>(mixer.FramesWritten()) / rate;
            progress(report);
        }
    }
    queue.Close();
    producer.join();

    result.unplayableMusic = mixer.UnplayableMusic();
    result.audioSeconds = static_cast<double>(mixer.FramesWritten()) / rate;
    if (cancel.load()) {
        writer.Abandon();
        result.cancelled = true;
        result.message = "导出已取消，没有生成文件。";
        return result;
    }
    if (!mixed) {
        writer.Abandon();
        result.message = writer.Error().empty() ? "写入音频文件失败。" : writer.Error();
        return result;
    }
    if (const std::string error = queue.Error(); !error.empty()) {
        writer.Abandon();
        result.message = error;
        return result;
    }
    if (converter) {
        converted.clear();
        if (!converter->Finish(converted) ||
            !writer.Write(converted.data(),
                          converted.size() / static_cast<std::size_t>(channels))) {
            writer.Abandon();
            result.message = writer.Error().empty() ? "写入音频文件失败。" : writer.Error();
            return result;
        }
    }
    if (!writer.Commit()) {
        result.message = writer.Error();
        return result;
    }
    if (progress) {
        ExportProgress report;
        report.fraction = 1;
        report.remainingSeconds = 0;
        report.audioSeconds = result.audioSeconds;
        progress(report);
    }
    result.ok = true;
    return result;
}

} // namespace sonvela
