#include "DocImportProgress.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>
#include <atomic>
#include <thread>

namespace sonvela {

ImportOutcome ImportDocShowingProgress(const std::string& path, const DocConverters& converters,
                                       QWidget* parent, std::chrono::milliseconds showAfter) {
    ImportOutcome outcome;
    std::atomic<bool> done{false};
    std::optional<std::u16string> text;
    std::jthread worker([&](std::stop_token stop) {
        text = ImportDoc(path, converters, stop);
        done = true;
    });

    QProgressDialog busy(QStringLiteral("正在导入 Word 文档，请稍候……"), QStringLiteral("取消"), 0,
                         0, parent);
    busy.setObjectName(QStringLiteral("DocImportProgress"));
    busy.setWindowTitle(QStringLiteral("Sonvela"));
    busy.setWindowModality(Qt::WindowModal);
    busy.setAutoClose(false);
    busy.setAutoReset(false);

    QEventLoop loop;
    QObject::connect(&busy, &QProgressDialog::canceled, &loop, [&] {
        outcome.cancelled = true;
        worker.request_stop();
    });
    // The worker is polled rather than posting to the loop: a post made
    // before the loop runs would be lost, and polling costs nothing here.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done)
            loop.quit();
    });
    poll.start(20);
    QTimer::singleShot(showAfter, &busy, [&] {
        if (!done)
            busy.show();
    });
    if (!done)
        loop.exec();
    // The loop also ends when the whole program is told to end (the
    // session's end quits every running loop): the converter goes with it.
    if (!done) {
        outcome.cancelled = true;
        worker.request_stop();
    }
    worker.join();
    busy.hide();
    if (!outcome.cancelled)
        outcome.text = std::move(text);
    return outcome;
}

} // namespace sonvela
