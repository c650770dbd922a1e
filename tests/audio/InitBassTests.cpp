// The start-up check of the audio library and its two messages.
#include "Desktop.h"
#include "InitBass.h"
#include "bass.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <vector>

namespace sonvela {
namespace {

class RecordingDesktop final : public Desktop {
public:
    RecordingDesktop() { previous_ = InstallDesktop(this); }
    ~RecordingDesktop() override { InstallDesktop(previous_); }
    RecordingDesktop(const RecordingDesktop&) = delete;
    RecordingDesktop& operator=(const RecordingDesktop&) = delete;
    void ShowMessage(const MessageRequest& request) override { messages.push_back(request); }
    bool AskYesNo(const MessageRequest&) override { return false; }
    void ProcessPendingEvents(std::chrono::milliseconds) override {}

    std::vector<MessageRequest> messages;

private:
    Desktop* previous_ = nullptr;
};

TEST(InitBass, OpensTheDefaultOutputAndReportsAFailedInitialisation) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    RecordingDesktop desktop;
    EXPECT_TRUE(initbass());
    EXPECT_TRUE(desktop.messages.empty());
    EXPECT_STREQ(BASS_GetDriverName(), "dummy");

    // Already open: the library refuses a second initialisation, which the
    // check reports with an error box without a title of its own.
    EXPECT_FALSE(initbass());
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(desktop.messages[0].caption, "");
    EXPECT_EQ(desktop.messages[0].text, "初始化错误");
    BASS_Free();
    unsetenv("SDL_AUDIODRIVER");
}

} // namespace
} // namespace sonvela
