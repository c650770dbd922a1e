// Start-up of the program: single instance, data module, main window.
#include "ChimePlayer.h"
#include "DataModule.h"
#include "Desktop.h"
#include "EditorDialogs.h"
#include "ExportCommand.h"
#include "FrontEndVoice.h"
#include "FunctionUnit.h"
#include "GlobalHotKeys.h"
#include "InitBass.h"
#include "InstanceChannel.h"
#include "PowerControl.h"
#include "PronounceCommand.h"
#include "PronunciationTable.h"
#include "QtDesktop.h"
#include "SessionEnd.h"
#include "SingleInstance.h"
#include "SpVoice.h"
#include "SpeakerBus.h"
#include "Tf_speaker.h"
#include "Utf8.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QProcess>
#include <QThread>
#include <QTimer>
#include <QTranslator>
#include <bass.h>
#include <exception>
#include <iostream>
#include <optional>
#include <signal.h>

using namespace sonvela;

namespace {

// Command-line operations that need no window run before any part of the
// window system is touched, so they work without a display.
std::optional<int> RunCommandLineOperation(int argc, char* argv[]) {
    if (argc < 2)
        return std::nullopt;
    const std::string_view operation = argv[1];
    const std::vector<std::string> arguments(argv + 2, argv + argc);
    if (operation == "--pronounce")
        return RunPronounceCommand(arguments, AppDir(), std::cin, std::cout, std::cerr);
    if (operation == "--export")
        return RunExportCommand(arguments, AppDir(), std::cerr);
    return std::nullopt;
}

// How long a request waits for an instance it had to start: a loaded
// machine may take a good while to bring the window up.
constexpr int kStartWaitMs = 90000;
constexpr int kRetryMs = 200;

// Exit codes of a request: refused by the running instance, malformed,
// no instance could be reached.
constexpr int kRefused = 1;
constexpr int kMalformed = 2;
constexpr int kUnreachable = 3;

int HandOver(const InstanceRequest& request) {
    const std::string folder = SingleInstanceLock::DefaultFolder();
    std::optional<RequestAnswer> answer = InstanceChannel::Send(folder, "Sonvela", request);
    if (!answer) {
        // Nobody listens. Unless an instance is on its way up (it holds the
        // lock before it listens), start one, and hand the request to it.
        qint64 started = 0;
        if (auto lock = SingleInstanceLock::Acquire(folder, "Sonvela")) {
            lock.reset();
            // Nothing runs, so nothing speaks: a stop is done already.
            if (request.kind == InstanceRequest::Kind::Stop)
                return 0;
            // The program runs on after this request has ended: it must not
            // hold the caller's output open (a script reading it would wait
            // for the program's end).
            QProcess program;
            program.setProgram(QCoreApplication::applicationFilePath());
            program.setStandardInputFile(QProcess::nullDevice());
            program.setStandardOutputFile(QProcess::nullDevice());
            program.setStandardErrorFile(QProcess::nullDevice());
            if (!program.startDetached(&started)) {
                std::cerr << "speaker: 无法启动程序，请求未能送达\n";
                return kUnreachable;
            }
        }
        QElapsedTimer waited;
        waited.start();
        while (!answer && waited.elapsed() < kStartWaitMs) {
            // A program that ended on its way up (no display, no data)
            // will not answer.
            if (started > 0 && kill(static_cast<pid_t>(started), 0) != 0) {
                std::cerr << "speaker: 程序未能启动，请求未能送达\n";
                return kUnreachable;
            }
            QThread::msleep(kRetryMs);
            answer = InstanceChannel::Send(folder, "Sonvela", request);
        }
    }
    if (!answer) {
        std::cerr << "speaker: 运行中的程序没有回应，请求未能送达\n";
        return kUnreachable;
    }
    if (!answer->accepted) {
        std::cerr << "speaker: " << answer->reason << '\n';
        return kRefused;
    }
    return 0;
}

// --say, --read-draft and --stop go to the running instance and need no
// display here.
std::optional<int> RunRequest(int argc, char* argv[]) {
    const auto parsed = ParseRequestArguments(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed)
        return std::nullopt;
    if (!parsed->request) {
        std::cerr << "speaker: " << parsed->problem << '\n';
        return kMalformed;
    }
    QCoreApplication app(argc, argv);
    return HandOver(*parsed->request);
}

frontend::PronunciationList StoredPronunciations(const TDM& dataModule) {
    std::vector<frontend::Pronunciation> entries;
    for (const PronunciationRow& row : PronunciationTable(dataModule.Conn1).Rows())
        entries.push_back({row.word, row.reading});
    return frontend::PronunciationList(std::move(entries));
}

// The file named on the command line, as a desktop's "open with" passes it:
// the first argument, unless it is an option. Made absolute here, since a
// running instance that receives it has a working folder of its own.
std::optional<std::string> NamedFile() {
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 2 || arguments[1].startsWith(QLatin1Char('-')))
        return std::nullopt;
    return QFileInfo(arguments[1]).absoluteFilePath().toStdString();
}

int RunProgram(const std::optional<std::string>& namedFile);

} // namespace

int main(int argc, char* argv[]) {
    if (const auto status = RunCommandLineOperation(argc, argv))
        return *status;
    if (const auto status = RunRequest(argc, argv))
        return *status;
    QApplication app(argc, argv);
    // The program speaks Chinese whatever the machine's locale: the common
    // dialogs (font, colour, files) take Qt's own Chinese translation.
    QTranslator qtTranslation;
    if (qtTranslation.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                           QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslation);
    QtDesktop desktop;
    InstallDesktop(&desktop);
    int exitCode = 1;
    // Whatever fails on the way up ends in words the operator can act on and
    // a failure code, never in an abort.
    try {
        exitCode = RunProgram(NamedFile());
    } catch (const std::exception& error) {
        CurrentDesktop().ShowMessage(
            {MessageIcon::Error, "Sonvela", std::string("程序无法启动:\n") + error.what()});
    } catch (...) {
        CurrentDesktop().ShowMessage({MessageIcon::Error, "Sonvela", "程序无法启动。"});
    }
    InstallDesktop(nullptr);
    return exitCode;
}

namespace {

int RunProgram(const std::optional<std::string>& namedFile) {
    const std::string lockFolder = SingleInstanceLock::DefaultFolder();
    auto instance = SingleInstanceLock::Acquire(lockFolder, "Sonvela");
    if (!instance) {
        // A file for the running instance is handed over; a plain second
        // start leaves the running instance as it is: neither shown nor
        // raised.
        if (namedFile && InstanceChannel::SendFile(lockFolder, "Sonvela", *namedFile))
            return 0;
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
        SpVoice engine;
        // Everything the program says passes the Chinese front-end, with the
        // operator's pronunciation list as stored.
        frontend::FrontEnd frontEnd;
        frontEnd.SetPronunciations(StoredPronunciations(*dataModule));
        FrontEndVoice voice(engine, frontEnd);
        QtEditorDialogs dialogs;
        const auto tryPronunciation = [&engine, &voice](const std::string& word,
                                                        const std::string& reading, int index) {
            voice.SetVoice(index);
            // The word as the page has it, before the list is saved: the
            // trial reading goes first, and the engine gets the result as is.
            frontend::PronunciationList trial;
            if (!reading.empty())
                trial = frontend::PronunciationList({{word, reading}});
            engine.SpeakAsync(voice.Prepare(frontend::Utf8ToUtf16(word), &trial));
        };
        Tf_speaker mainWindow(
            {AppDir(), dataModule.get(), &voice, &dialogs, true, &frontEnd, tryPronunciation});
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
        // Requests are taken once there is sound to answer them with.
        const auto handleRequest = [&mainWindow](const InstanceRequest& request) {
            return mainWindow.HandleRequest(request);
        };
        const auto channel = InstanceChannel::Listen(
            lockFolder, "Sonvela",
            [&mainWindow](const std::string& path) { mainWindow.OpenNamedFile(path); },
            handleRequest);
        const auto bus = SpeakerBus::Register(handleRequest);
        if (namedFile)
            QTimer::singleShot(0, &mainWindow,
                               [&mainWindow, &namedFile] { mainWindow.OpenNamedFile(*namedFile); });
        exitCode = QApplication::exec();
    }
    BASS_Free();
    return exitCode;
}

} // namespace
