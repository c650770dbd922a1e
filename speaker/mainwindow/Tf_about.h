// The about box: the product and its version, links, the computer's memory
// as it was when the box was created, and the spoken introduction.
#pragma once

#include "MemoryStatus.h"
#include "MusicLibrary.h"

#include <QDialog>
#include <QUrl>
#include <functional>
#include <string>

class QLabel;

namespace sonvela {

struct AboutServices {
    MusicLibrary* library = nullptr;
    // The program folder, ending in the separator: "introduce.mp3" is there.
    std::string programFolder;
    std::function<void(const QUrl&)> openLink;
    // The memory figures; the system's own unless a test gives others.
    std::function<MemoryStatus()> memory = ReadMemoryStatus;
};

class Tf_about final : public QDialog {
    Q_OBJECT

public:
    explicit Tf_about(AboutServices services, QWidget* parent = nullptr);
    ~Tf_about() override;

    // "声音效果 ( 男女音 )": plays the introduction when the file exists.
    void Label8Click();
    StreamHandle IntroductionStream() const { return introduction_; }

    static QUrl HomePage();
    static QUrl ContactMail();

private:
    AboutServices services_;
    // The introduction keeps playing after the box is closed; a second
    // click starts it again from the beginning.
    StreamHandle introduction_ = 0;
};

} // namespace sonvela
