// Start-up of the program: single instance, data module, main window.
#include "DataModule.h"
#include "Desktop.h"
#include "FunctionUnit.h"
#include "QtDesktop.h"
#include "SingleInstance.h"
#include "Tf_speaker.h"

#include <QApplication>

using namespace sonvela;

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QtDesktop desktop;
    InstallDesktop(&desktop);

    auto instance = SingleInstanceLock::Acquire(SingleInstanceLock::DefaultFolder(), "Sonvela");
    if (!instance) {
        // The running instance is left as it is: neither shown nor raised.
        CurrentDesktop().ShowMessage({MessageIcon::Error, "Sonvela! !", "程序已经在运行中!"});
        return 0;
    }
    QApplication::setApplicationName(QStringLiteral("Sonvela"));

    std::unique_ptr<TDM> dataModule;
    try {
        dataModule = TDM::Connect(AppDir());
    } catch (const DataConnectionError&) {
        WarnBox("数据连接失败!");
        return 1;
    }

    Tf_speaker mainWindow;
    mainWindow.showMaximized();
    const int exitCode = QApplication::exec();
    InstallDesktop(nullptr);
    return exitCode;
}
