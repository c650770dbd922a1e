// Opening a file and saving it untouched gives back the very same bytes,
// whatever it holds; names that are no regular file are refused at once.
#include "DocumentTestSupport.h"
#include "GbkText.h"

#include <QPlainTextEdit>
#include <chrono>
#include <filesystem>
#include <sys/stat.h>

namespace sonvela {
namespace {

using test::Q;

class SaveAsTypedTest : public test::DocumentWindowTest {
protected:
    void OpenFile(Tf_speaker& window, const std::string& path) {
        dialogs.openAnswer = Q(path);
        window.SB_openClick();
    }
};

std::string Utf16Bytes(const std::u16string& text, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t unit : text) {
        const char hi = static_cast<char>(unit >> 8);
        const char lo = static_cast<char>(unit & 0xFF);
        out += bigEndian ? hi : lo;
        out += bigEndian ? lo : hi;
    }
    return out;
}

TEST_F(SaveAsTypedTest, UntouchedFilesSaveByteForByte) {
    const std::string nbsp = "\xC2\xA0";
    const std::string lineSeparator = "\xE2\x80\xA8";
    const std::pair<const char*, std::string> files[] = {
        {"gbk.txt", Utf8ToGbk("一元\r\n营业\r\n谢谢")},
        {"gbk-lf.txt", Utf8ToGbk("苹果每斤六元\n香蕉四元\n")},
        {"utf8-lf.txt", "第一行\n第二行\n"},
        {"utf8-nbsp.txt", "价格" + nbsp + "100" + nbsp + "元\r\n"},
        {"utf8-line-separator.txt", "上一句" + lineSeparator + "下一句"},
        {"utf8-bom.txt", "\xEF\xBB\xBF"
                         "欢迎" +
                             nbsp + "光临\r\n"},
        {"utf16le.txt", Utf16Bytes(u"第一行\r\n第二行\u00A0\u2028", false)},
        {"utf16be.txt", Utf16Bytes(u"第一行\r\n第二行\u00A0", true)},
    };
    auto window = Open();
    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(name);
        const std::string path = Write(name, bytes);
        OpenFile(*window, path);
        ASSERT_EQ(window->CurrentFileName(), path);
        window->SB_saveClick();
        EXPECT_EQ(Read(path), bytes);
    }
    // The short GBK text shows as the Chinese it is.
    OpenFile(*window, folder.File("gbk.txt"));
    EXPECT_TRUE(window->Memo1()->toPlainText().startsWith(Q("一元")));
    EXPECT_TRUE(desktop.messages.empty());
}

TEST_F(SaveAsTypedTest, AFifoOrAFolderAsADocumentGetsTheErrorReportAtOnce) {
    const std::string fifo = folder.File("x.txt");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    std::filesystem::create_directory(folder.File("folder.txt"));
    auto window = Open();
    for (const std::string& path : {fifo, folder.File("folder.txt")}) {
        desktop.messages.clear();
        const auto start = std::chrono::steady_clock::now();
        OpenFile(*window, path);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
        ASSERT_EQ(desktop.messages.size(), 1u) << path;
        EXPECT_EQ(desktop.messages[0].icon, MessageIcon::Error);
        EXPECT_NE(desktop.messages[0].text.find(path), std::string::npos);
        EXPECT_TRUE(window->CurrentFileName().empty());
    }
    EXPECT_NE(desktop.messages[0].text.find("是文件夹"), std::string::npos);
}

TEST_F(SaveAsTypedTest, AnUnusableSettingsFileIsToldOnceAtStartAndLeftAsItIs) {
    const std::string ini = folder.File("setinfo.ini");
    ASSERT_EQ(::mkfifo(ini.c_str(), 0644), 0);
    auto window = Open();
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0].icon, MessageIcon::Warning);
    EXPECT_NE(desktop.messages[0].text.find("setinfo.ini"), std::string::npos);
    window.reset();
    EXPECT_EQ(desktop.messages.size(), 1u);
    EXPECT_TRUE(std::filesystem::is_fifo(ini));
}

} // namespace
} // namespace sonvela
