#include "FunctionUnit.h"

#include "Desktop.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace sonvela;

namespace {

class RecordingDesktop final : public Desktop {
public:
    void ShowMessage(const MessageRequest& request) override { shown.push_back(request); }
    bool AskYesNo(const MessageRequest& request) override {
        shown.push_back(request);
        return answer;
    }
    void ProcessPendingEvents(std::chrono::milliseconds budget) override {
        ++pumps;
        pumped += budget;
    }

    std::vector<MessageRequest> shown;
    bool answer = true;
    int pumps = 0;
    std::chrono::milliseconds pumped{0};
};

class FunctionUnitTest : public ::testing::Test {
protected:
    void SetUp() override { previous_ = InstallDesktop(&desktop_); }
    void TearDown() override { InstallDesktop(previous_); }

    RecordingDesktop desktop_;

private:
    Desktop* previous_ = nullptr;
};

} // namespace

TEST_F(FunctionUnitTest, MessageBoxesHaveTheirCaptionsAndIcons) {
    WarnBox("数据连接失败!");
    InfoBox("保存成功!");
    desktop_.answer = false;
    EXPECT_FALSE(ConfirmBox("文章已被修改，要保存吗？"));
    desktop_.answer = true;
    EXPECT_TRUE(ConfirmBox("q"));
    ASSERT_EQ(desktop_.shown.size(), 4u);
    EXPECT_EQ(desktop_.shown[0].caption, "Warning");
    EXPECT_EQ(desktop_.shown[0].icon, MessageIcon::Warning);
    EXPECT_EQ(desktop_.shown[0].text, "数据连接失败!");
    EXPECT_EQ(desktop_.shown[1].caption, "Information");
    EXPECT_EQ(desktop_.shown[1].icon, MessageIcon::Information);
    EXPECT_EQ(desktop_.shown[2].caption, "Confirm");
    EXPECT_EQ(desktop_.shown[2].icon, MessageIcon::Question);
}

TEST_F(FunctionUnitTest, ErrorReportAddsAFullStopOnlyAfterBytesAbove) {
    EXPECT_EQ(ErrorReportText("Disk full"), "Disk full.");
    EXPECT_EQ(ErrorReportText("Disk full."), "Disk full.");
    EXPECT_EQ(ErrorReportText("code -"), "code -"); // '-' sorts before '.'
    EXPECT_EQ(ErrorReportText("文件错误"), "文件错误.");
    EXPECT_EQ(ErrorReportText(""), "");
}

TEST_F(FunctionUnitTest, RunCommandReportsAFaultAndGoesOn) {
    int doneBeforeFault = 0;
    EXPECT_FALSE(RunCommand([&] {
        doneBeforeFault = 1;
        throw std::runtime_error("Cannot open file");
    }));
    EXPECT_EQ(doneBeforeFault, 1);
    ASSERT_EQ(desktop_.shown.size(), 1u);
    EXPECT_EQ(desktop_.shown[0].caption, "Sonvela");
    EXPECT_EQ(desktop_.shown[0].icon, MessageIcon::Error);
    EXPECT_EQ(desktop_.shown[0].text, "Cannot open file.");
    EXPECT_TRUE(RunCommand([] {}));
}

TEST_F(FunctionUnitTest, WaitPumpingKeepsHandlingEventsUntilTheTimeHasPassed) {
    InstallDesktop(nullptr); // the console desktop really sleeps
    const auto start = std::chrono::steady_clock::now();
    WaitPumping(std::chrono::milliseconds(60));
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GE(elapsed, std::chrono::milliseconds(60));
    EXPECT_LT(elapsed, std::chrono::milliseconds(500));

    InstallDesktop(&desktop_); // a desktop whose pumping takes no time
    WaitPumping(std::chrono::milliseconds(5));
    EXPECT_GT(desktop_.pumps, 0);
    EXPECT_LE(desktop_.pumped.count(), 10 * desktop_.pumps);
}

TEST(FunctionUnit, PathHelpers) {
    EXPECT_EQ(WithBackslash(""), "");
    EXPECT_EQ(WithBackslash("/opt/sonvela"), "/opt/sonvela/");
    EXPECT_EQ(WithBackslash("/opt/sonvela/"), "/opt/sonvela/");
    const std::string app = AppDir();
    EXPECT_EQ(app.back(), '/');
    EXPECT_EQ(::access((app + "data_tests").c_str(), X_OK), 0) << app;
}

TEST(FunctionUnit, TempDirIsPrivateToTheUser) {
    const std::string temp = TempDir();
    ASSERT_EQ(temp.back(), '/');
    struct stat st {};
    ASSERT_EQ(::lstat(temp.substr(0, temp.size() - 1).c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_uid, ::getuid());
    EXPECT_EQ(st.st_mode & 077, 0u);
}
