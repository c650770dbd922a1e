// Start-up of the program: single instance, data module, main window.
#include "ChimePlayer.h"
#include "DataModule.h"
#include "Desktop.h"
#include "EditorDialogs.h"
#include "FunctionUnit.h"
#include "GlobalHotKeys.h"
#include "InitBass.h"
#include "PowerControl.h"
#include "QtDesktop.h"
#include "SessionEnd.h"
#include "SingleInstance.h"
#include "SpVoice.h"
#include "Tf_speaker.h"

#include <QApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <bass.h>

using namespace sonvela;

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // The program speaks Chinese whatever the machine's locale: the common
    // dialogs (font, colour, files) take Qt's own Chinese translation.
    QTranslator qtTranslation;
    if (qtTranslation.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                           QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslation);
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
    } catch (const DataConnectionError& fault) {
        WarnBox("数据连接失败!\n" + fault.Reason());
        return 1;
    }

    // The window hides on its close box: the program ends only through the
    // exit command, never because its last window was hidden.
    QApplication::setQuitOnLastWindowClosed(false);

    int exitCode = 0;
    {
        // The voice outlives the window: the window's reader host stops and
        // joins every reader before the voice it speaks through is gone.
        SpVoice voice;
        QtEditorDialogs dialogs;
        Tf_speaker mainWindow({AppDir(), dataModule.get(), &voice, &dialogs, true});
        QFile chimeFile(QStringLiteral(":/clock_wav"));
        const QByteArray chimeBytes =
            chimeFile.open(QIODevice::ReadOnly) ? chimeFile.readAll() : QByteArray();
        ChimePlayer chime(
            ParseWav({chimeBytes.constData(), static_cast<std::size_t>(chimeBytes.size())})
                .value_or(WavSound{}));
        const auto hotKeys = MakeDesktopHotKeys();
        const auto power = MakeSystemPowerControl();
        const auto sessionEnd = MakeSessionEndWatcher();
        mainWindow.SetMusicToggle([&mainWindow] { mainWindow.bj_playing(); });
        mainWindow.StartPlatformServices(
            {hotKeys.get(), power.get(), sessionEnd.get(), [&chime] { chime.Play(); }});
        mainWindow.showMaximized();
        // The audio library starts once the window is on the screen: its
        // device probing can take a tenth of a second, which the operator
        // should not spend looking at nothing. Its result is not looked at:
        // speech and music report their own errors.
        QCoreApplication::processEvents();
        initbass();
        exitCode = QApplication::exec();
    }
    BASS_Free();
    InstallDesktop(nullptr);
    return exitCode;
}
