// The music panel's logic against a library of the test's own whose streams
// advance with a test clock; the clock fires the fade every 20 ms and the
// refresh every second while it is enabled, as the window's timers do.
#include "Mp3Maker.h"
#include "MusicFolder.h"
#include "MusicPlayer.h"
#include "SettingsFile.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <set>
#include <sstream>

namespace sonvela {
namespace {

using test::ScratchFolder;

constexpr std::uint64_t kBytesPerSecond = 352800; // float stereo at 44100 Hz
constexpr std::uint64_t kFailed = static_cast<std::uint64_t>(-1);

class TestLibrary final : public MusicLibrary {
public:
    struct Stream {
        std::string path;
        double length = 0;
        double position = 0;
        bool playing = false;
        float volume = 1.0f;
    };

    // Files the library can open, with their lengths in seconds.
    std::map<std::string, double> lengths;
    std::map<StreamHandle, Stream> streams; // live streams only
    std::vector<float> volumeCalls;
    int created = 0;

    StreamHandle StreamCreateFile(const std::string& path) override {
        const auto found = lengths.find(path);
        if (found == lengths.end()) {
            return 0;
        }
        const StreamHandle handle = nextHandle_++;
        streams[handle] = {path, found->second};
        ++created;
        return handle;
    }
    void StreamFree(StreamHandle stream) override { streams.erase(stream); }
    void ChannelPlay(StreamHandle stream) override {
        if (auto* s = Find(stream)) {
            s->playing = true;
        }
    }
    void ChannelStop(StreamHandle stream) override {
        if (auto* s = Find(stream)) {
            s->playing = false;
        }
    }
    void SetVolume(StreamHandle stream, float volume) override {
        volumeCalls.push_back(volume);
        if (auto* s = Find(stream)) {
            s->volume = volume;
        }
    }
    std::uint64_t LengthBytes(StreamHandle stream) override {
        auto* s = Find(stream);
        return s ? static_cast<std::uint64_t>(std::llround(s->length * kBytesPerSecond)) : kFailed;
    }
    std::uint64_t PositionBytes(StreamHandle stream) override {
        auto* s = Find(stream);
        return s ? static_cast<std::uint64_t>(std::llround(s->position * kBytesPerSecond))
                 : kFailed;
    }
    double Bytes2Seconds(StreamHandle stream, std::uint64_t bytes) override {
        if (!Find(stream) || bytes == kFailed) {
            return -1.0;
        }
        return static_cast<double>(bytes) / kBytesPerSecond;
    }

    void Advance(double seconds) {
        for (auto& [handle, s] : streams) {
            if (s.playing) {
                s.position = std::min(s.length, s.position + seconds);
                s.playing = s.position < s.length;
            }
        }
    }
    Stream* Find(StreamHandle handle) {
        const auto found = streams.find(handle);
        return found == streams.end() ? nullptr : &found->second;
    }

private:
    StreamHandle nextHandle_ = 45;
};

class MusicPanel : public ::testing::Test {
protected:
    MusicPanel() : folder_("music"), player_(library_, Hooks()) {}

    MusicPanelHooks Hooks() {
        MusicPanelHooks hooks;
        hooks.showFiles = [this](const std::vector<std::string>& files) { shownFiles_ = files; };
        hooks.selectEntry = [this](int row) { shownSelection_ = row; };
        hooks.showPosition = [this](const std::string& text) { display_ = text; };
        hooks.showTrackPath = [this](const std::string& path) { statusPath_ = path; };
        hooks.enableRefresh = [this](bool on) {
            // Switching on a running timer does not restart its second.
            if (on && !refreshOn_) {
                refreshPhaseMs_ = 0;
            }
            refreshOn_ = on;
        };
        hooks.isReading = [this] { return reading_; };
        hooks.randomPosition = [this](int count) {
            return std::uniform_int_distribution<int>(0, count - 1)(random_);
        };
        return hooks;
    }

    // Adds a file to the folder that the library can open (or not).
    std::string AddTrack(const std::string& name, double seconds, bool opens = true) {
        const auto path = folder_ / name;
        std::ofstream(path) << "mp3";
        if (opens) {
            library_.lengths[path.string()] = seconds;
        }
        return path.string();
    }

    void StartWith(const std::vector<std::pair<std::string, double>>& tracks,
                   PlayMode mode = PlayMode::InOrder) {
        for (const auto& [name, seconds] : tracks) {
            AddTrack(name, seconds);
        }
        player_.Start(folder_.Path().string(), 40, 10, mode);
    }

    // Runs the clock in steps of the fade's 20 ms.
    void Advance(int milliseconds) {
        for (int t = 0; t < milliseconds; t += 20) {
            library_.Advance(0.020);
            player_.bj_timer2Timer();
            if (refreshOn_) {
                refreshPhaseMs_ += 20;
                if (refreshPhaseMs_ >= 1000) {
                    refreshPhaseMs_ -= 1000;
                    player_.bj_timer1Timer();
                }
            }
        }
    }

    float Volume() { return library_.Find(player_.Stream())->volume; }
    std::string PlayingName() {
        auto* s = library_.Find(player_.Stream());
        return s ? std::filesystem::path(s->path).filename().string() : "";
    }

    ScratchFolder folder_;
    TestLibrary library_;
    MusicPlayer player_;
    std::mt19937 random_{12345};
    std::vector<std::string> shownFiles_;
    int shownSelection_ = -2;
    std::string display_;
    std::string statusPath_;
    bool refreshOn_ = false;
    int refreshPhaseMs_ = 0;
    bool reading_ = false;
};

TEST_F(MusicPanel, FadesDownInThreeTicksAndUpInThirty) {
    StartWith({{"a.mp3", 300}});
    EXPECT_EQ(player_.Level(), 10);
    player_.bj_playClick();
    // Started at the level the fade moves from, never at full volume.
    EXPECT_FLOAT_EQ(Volume(), 0.10f);
    Advance(20);
    EXPECT_FLOAT_EQ(Volume(), 0.11f);
    Advance(580);
    EXPECT_EQ(player_.Level(), 40);
    EXPECT_FLOAT_EQ(Volume(), 0.40f);
    Advance(200);
    EXPECT_FLOAT_EQ(Volume(), 0.40f) << "stays at the music volume";

    reading_ = true;
    const std::vector<float> down = {0.30f, 0.20f, 0.10f, 0.10f};
    for (float expected : down) {
        const std::size_t calls = library_.volumeCalls.size();
        Advance(20);
        EXPECT_FLOAT_EQ(Volume(), expected);
        // One volume call on every tick while reading, changed or not.
        EXPECT_EQ(library_.volumeCalls.size(), calls + 1);
    }

    reading_ = false;
    for (int tick = 1; tick <= 30; ++tick) {
        Advance(20);
        EXPECT_EQ(player_.Level(), 10 + tick);
    }
    const std::size_t calls = library_.volumeCalls.size();
    Advance(100);
    EXPECT_EQ(library_.volumeCalls.size(), calls) << "no calls once at the music volume";
}

TEST_F(MusicPanel, VolumeEditsWhileReading) {
    StartWith({{"a.mp3", 300}});
    player_.bj_playClick();
    Advance(1000);
    reading_ = true;
    Advance(100);
    EXPECT_FLOAT_EQ(Volume(), 0.10f);

    // The music volume waits for the end of the reading.
    player_.bj_vChange(70);
    Advance(100);
    EXPECT_FLOAT_EQ(Volume(), 0.10f);
    // The reading volume acts at once.
    player_.bj_v1Change(25);
    EXPECT_FLOAT_EQ(Volume(), 0.25f);
    Advance(100);
    EXPECT_FLOAT_EQ(Volume(), 0.25f);

    reading_ = false;
    Advance(20);
    EXPECT_FLOAT_EQ(Volume(), 0.26f);
    Advance(1000);
    EXPECT_FLOAT_EQ(Volume(), 0.70f);
    // Outside a reading the music volume acts at once, also downwards.
    player_.bj_vChange(30);
    EXPECT_FLOAT_EQ(Volume(), 0.30f);
    player_.bj_v1Change(5);
    EXPECT_FLOAT_EQ(Volume(), 0.30f);
}

TEST_F(MusicPanel, PlayWithoutSelectionInOrderAndAtRandom) {
    StartWith({{"b.mp3", 60}, {"A.mp3", 60}, {"c.mp3", 60}});
    EXPECT_EQ(shownFiles_, (std::vector<std::string>{"A.mp3", "b.mp3", "c.mp3"}));
    player_.bj_playClick();
    EXPECT_EQ(PlayingName(), "A.mp3");
    EXPECT_EQ(player_.Selected(), -1);
    EXPECT_EQ(statusPath_, (folder_ / "A.mp3").string());
    EXPECT_TRUE(refreshOn_);
    EXPECT_TRUE(player_.Playing());

    player_.ComBox1Change(1);
    std::set<int> tracks;
    for (int i = 0; i < 60; ++i) {
        player_.bj_playClick();
        tracks.insert(player_.Track());
        EXPECT_EQ(player_.Selected(), -1);
    }
    EXPECT_EQ(tracks, (std::set<int>{0, 1, 2}));
    EXPECT_EQ(library_.streams.size(), 1u) << "each Play releases the stream before";
}

TEST_F(MusicPanel, NextAndPreviousWrap) {
    StartWith({{"1.mp3", 60}, {"2.mp3", 60}, {"3.mp3", 60}});
    player_.bj_playClick();
    player_.bj_nextClick();
    EXPECT_EQ(PlayingName(), "2.mp3");
    EXPECT_EQ(shownSelection_, 1);
    player_.bj_nextClick();
    player_.bj_nextClick();
    EXPECT_EQ(PlayingName(), "1.mp3") << "the first follows the last";

    player_.bj_prevClick();
    EXPECT_EQ(PlayingName(), "1.mp3") << "Previous on the first plays it again";
    EXPECT_EQ(player_.Track(), 0);

    player_.bj_nextClick();
    player_.bj_nextClick();
    EXPECT_EQ(PlayingName(), "3.mp3");
    player_.bj_prevClick();
    EXPECT_EQ(PlayingName(), "2.mp3");

    // The operator clicks the third entry without playing it: Previous
    // starts the entry before the clicked one, not before the track.
    player_.bj_playClick();
    player_.bj_prevClick();
    EXPECT_EQ(PlayingName(), "1.mp3");
    player_.BJListBox1Change(2);
    EXPECT_EQ(PlayingName(), "1.mp3") << "selecting does not start an entry";
    player_.bj_nextClick();
    EXPECT_EQ(PlayingName(), "2.mp3") << "Next counts from the track";
    player_.BJListBox1Change(2);
    player_.bj_prevClick();
    EXPECT_EQ(PlayingName(), "2.mp3");
    EXPECT_EQ(player_.Track(), 1);
}

TEST_F(MusicPanel, TrackEndsAtTheFirstTickPastItsWholeSeconds) {
    StartWith({{"long.mp3", 245.7}, {"next.mp3", 10}});
    player_.bj_playClick();
    EXPECT_EQ(player_.Seconds(), 245);
    Advance(1000);
    EXPECT_EQ(display_, " 01 / 245 ");
    Advance(1000);
    EXPECT_EQ(display_, " 02 / 245 ");
    Advance(242000);
    EXPECT_EQ(display_, " 244 / 245 ");
    EXPECT_EQ(PlayingName(), "long.mp3");
    Advance(1000);
    EXPECT_EQ(display_, " 245 / 245 ");
    EXPECT_EQ(PlayingName(), "next.mp3") << "moves on at 245 s, cutting the last 0.7 s";
    EXPECT_EQ(shownSelection_, 1);
    Advance(10000);
    EXPECT_EQ(PlayingName(), "long.mp3") << "in order the first follows the last";
}

TEST_F(MusicPanel, RandomModeCanRepeatAndReachTheLast) {
    StartWith({{"1.mp3", 2}, {"2.mp3", 2}, {"3.mp3", 2}}, PlayMode::Random);
    player_.bj_playClick();
    std::set<int> chosen;
    int repeats = 0;
    for (int i = 0; i < 60; ++i) {
        const int before = player_.Track();
        Advance(2000);
        chosen.insert(player_.Track());
        repeats += player_.Track() == before ? 1 : 0;
    }
    EXPECT_EQ(chosen, (std::set<int>{0, 1, 2}));
    EXPECT_GT(repeats, 0);
    EXPECT_EQ(library_.created, 61);
}

TEST_F(MusicPanel, StopKeepsTheReleasedHandleAndNeverAdvances) {
    StartWith({{"1.mp3", 5}, {"2.mp3", 5}});
    player_.BJListBox1Change(1);
    player_.bj_playClick();
    const StreamHandle stream = player_.Stream();
    Advance(2000);
    player_.bj_stopClick();
    EXPECT_FALSE(player_.Playing());
    EXPECT_EQ(player_.Stream(), stream);
    EXPECT_TRUE(library_.streams.empty()) << "released";
    EXPECT_TRUE(refreshOn_) << "the refresh runs on";
    Advance(20000);
    EXPECT_EQ(library_.created, 1) << "never moves on after Stop";
    EXPECT_EQ(display_, " 00 / 05 ");
    // Volume edits and the fade on the released handle do nothing harmful.
    player_.bj_vChange(60);
    reading_ = true;
    Advance(100);

    // F5: plays again, with the selected entry.
    player_.TogglePlaying();
    EXPECT_TRUE(player_.Playing());
    EXPECT_EQ(PlayingName(), "2.mp3");
    player_.TogglePlaying();
    EXPECT_FALSE(player_.Playing());
}

TEST_F(MusicPanel, AnEmptyFolderStartsNothing) {
    StartWith({{"1.mp3", 30}});
    player_.bj_playClick();
    const StreamHandle stream = player_.Stream();
    ScratchFolder empty("empty-music");
    player_.SetFolder(empty.Path().string());
    EXPECT_TRUE(shownFiles_.empty());
    player_.bj_nextClick();
    player_.bj_prevClick();
    EXPECT_EQ(player_.Stream(), stream);
    EXPECT_TRUE(library_.streams.at(stream).playing) << "the old track plays on";
    player_.bj_playClick();
    EXPECT_FALSE(refreshOn_) << "Play stops the refresh";
    EXPECT_EQ(library_.created, 1);
    Advance(40000);
    EXPECT_EQ(library_.created, 1);
}

TEST_F(MusicPanel, FolderChangeKeepsTheTrackAndTheNextComesFromTheNewList) {
    StartWith({{"1.mp3", 3}, {"2.mp3", 3}, {"3.mp3", 3}});
    player_.BJListBox1Change(2);
    player_.bj_playClick();
    ScratchFolder other("other-music");
    std::ofstream(other / "x.mp3") << "mp3";
    library_.lengths[(other / "x.mp3").string()] = 3;
    player_.SetFolder(other.Path().string());
    EXPECT_EQ(PlayingName(), "3.mp3");
    EXPECT_EQ(player_.Track(), 2);
    // Next from a track beyond the new, shorter list takes its first entry.
    player_.bj_nextClick();
    EXPECT_EQ(PlayingName(), "x.mp3");
}

TEST_F(MusicPanel, AFileThatDoesNotOpenPlaysNothing) {
    AddTrack("2.mp3", 0, false);
    StartWith({{"1.mp3", 4}});
    player_.bj_playClick();
    Advance(2000);
    player_.bj_nextClick();
    EXPECT_FALSE(StreamExists(player_.Stream()));
    EXPECT_TRUE(player_.Playing()) << "set before the file is opened";
    EXPECT_EQ(statusPath_, (folder_ / "2.mp3").string());
    EXPECT_TRUE(library_.streams.empty());
    EXPECT_TRUE(refreshOn_) << "the refresh keeps its state";
    Advance(5000);
    EXPECT_EQ(display_, " 00 / 04 ") << "the previous track's length, never reached";
    EXPECT_EQ(library_.created, 1);
}

TEST_F(MusicPanel, AfterATrackShorterThanASecondAFailedFileIsPassedOver) {
    AddTrack("b.mp3", 0, false);
    StartWith({{"a.mp3", 0.5}, {"c.mp3", 4}});
    player_.bj_playClick();
    EXPECT_EQ(player_.Seconds(), 0);
    Advance(1000); // a ends; b fails to open, the length stays 0
    EXPECT_EQ(player_.Track(), 1);
    EXPECT_FALSE(StreamExists(player_.Stream()));
    Advance(1000);
    EXPECT_EQ(PlayingName(), "c.mp3");
}

TEST(MusicFolder, ListsOrdinaryMp3FilesByName) {
    ScratchFolder folder("listing");
    for (const char* name :
         {"b.mp3", "A.MP3", "c.Mp3", ".hidden.mp3", "notes.txt", "mp3", "a.mp3x"})
        std::ofstream(folder / name) << "x";
    std::filesystem::create_directory(folder / "d.mp3");
    EXPECT_EQ(ListMusicFiles(folder.Path().string()),
              (std::vector<std::string>{"A.MP3", "b.mp3", "c.Mp3"}));
    EXPECT_TRUE(ListMusicFiles((folder / "missing").string()).empty());
}

TEST(MusicFolder, AMissingStoredFolderFallsBackWithoutRewriting) {
    ScratchFolder program("program");
    const std::string programFolder = program.Path().string() + "/";
    const SettingsFile settings = SettingsFile::InFolder(programFolder);
    ScratchFolder chosen("chosen");
    WriteMusicFolder(settings, chosen.Path().string());
    EXPECT_EQ(MusicFolderAtStartup(settings, programFolder), chosen.Path().string());

    const std::string stored = (program / "gone").string();
    WriteMusicFolder(settings, stored);
    std::stringstream before;
    before << std::ifstream(settings.Path()).rdbuf();
    EXPECT_EQ(MusicFolderAtStartup(settings, programFolder), programFolder);
    std::filesystem::create_directory(program / "mp3files");
    EXPECT_EQ(MusicFolderAtStartup(settings, programFolder), (program / "mp3files").string());
    std::stringstream after;
    after << std::ifstream(settings.Path()).rdbuf();
    EXPECT_EQ(after.str(), before.str()) << "\"Mp3bj\" is not written back";

    // No key at all: the program folder.
    std::filesystem::remove(settings.Path());
    std::filesystem::remove(program / "mp3files");
    EXPECT_EQ(MusicFolderAtStartup(settings, programFolder), programFolder);
}

TEST(MusicFolder, PositionTextPadsToTwoDigits) {
    EXPECT_EQ(PositionText(7, 245), " 07 / 245 ");
    EXPECT_EQ(PositionText(0, 0), " 00 / 00 ");
}

} // namespace
} // namespace sonvela
