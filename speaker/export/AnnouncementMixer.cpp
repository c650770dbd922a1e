#include "AnnouncementMixer.h"

#include "FileChannel.h"
#include "Mix.h"
#include "MusicPlayer.h"

#include <algorithm>

namespace sonvela {

namespace {

// The live device's period: the mixer is asked for at most this much at a
// time.
constexpr std::size_t kBlockFrames = 1024;

} // namespace

AnnouncementMixer::AnnouncementMixer(int mixRate, int speechRate, MusicBed music, Sink sink)
    : rate_(mixRate), music_(std::move(music)), sink_(std::move(sink)),
      speech_(std::make_shared<audio::PushChannel>(speechRate, 1, false, mixRate)),
      // A reading starts with the music at its own volume; the fade lowers it.
      level_(music_.musicVolume),
      tickFrames_(static_cast<std::size_t>(mixRate) * kFadeTickMilliseconds / 1000),
      toTick_(tickFrames_), block_(kBlockFrames * audio::kMixChannels) {
    speech_->playing = true;
    channels_.push_back(speech_);
    NextTrack();
}

AnnouncementMixer::~AnnouncementMixer() = default;

void AnnouncementMixer::SetMusicVolume() {
    if (!track_)
        return;
    std::lock_guard lock(track_->mutex);
    track_->volume = static_cast<float>(level_) / 100.0f;
}

void AnnouncementMixer::NextTrack() {
    if (track_) {
        std::erase(channels_, track_);
        track_.reset();
    }
    // One round over the list at most: a list of files that all fail to
    // open plays nothing rather than trying for ever.
    for (std::size_t tried = 0; tried < music_.files.size(); ++tried) {
        const std::string& path = music_.files[nextTrack_];
        nextTrack_ = (nextTrack_ + 1) % music_.files.size();
        auto track = std::make_shared<audio::FileChannel>(path, rate_);
        if (track->Fault() != audio::FileFault::None || track->LengthFrames() <= 0) {
            if (std::find(unplayable_.begin(), unplayable_.end(), path) == unplayable_.end())
                unplayable_.push_back(path);
            continue;
        }
        track->playing = true;
        track_ = std::move(track);
        channels_.push_back(track_);
        SetMusicVolume();
        return;
    }
}

bool AnnouncementMixer::Render(std::size_t frames) {
    while (frames > 0) {
        const std::size_t count = std::min({frames, toTick_, kBlockFrames});
        audio::MixChannels(channels_, block_.data(), count);
        if (!sink_(block_.data(), count))
            return false;
        written_ += count;
        frames -= count;
        toTick_ -= count;
        if (toTick_ == 0) {
            toTick_ = tickFrames_;
            level_ = NextFadeLevel(level_, reading_, music_.musicVolume, music_.readingVolume);
            SetMusicVolume();
        }
        if (track_) {
            bool ended = false;
            {
                std::lock_guard lock(track_->mutex);
                ended = track_->Ended();
            }
            if (ended)
                NextTrack();
        }
    }
    return true;
}

bool AnnouncementMixer::Pause(std::int64_t milliseconds) {
    if (milliseconds <= 0)
        return true;
    return Render(static_cast<std::size_t>(milliseconds * rate_ / 1000));
}

bool AnnouncementMixer::Speak(const std::vector<short>& pcm) {
    if (pcm.empty())
        return true;
    // Each segment starts from a purged stream, as each live segment does.
    speech_->Purge();
    speech_->Put(pcm.data(), pcm.size() * sizeof(short), true);
    for (std::size_t queued = speech_->QueuedFrames(); queued > 0;
         queued = speech_->QueuedFrames()) {
        if (!Render(std::min(queued, kBlockFrames)))
            return false;
    }
    return true;
}

} // namespace sonvela
