#include "SessionEnd.h"

#include <QDBusConnection>
#include <QGuiApplication>
#include <QObject>
#include <QSessionManager>
#include <QSocketNotifier>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace sonvela {
namespace {

// The signal handler may only write a byte; the notifier turns that byte
// into a call on the user-interface thread.
int gSignalPipe[2] = {-1, -1};

void OnTerminationSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(gSignalPipe[0], &byte, 1);
}

class DesktopSessionEnd final : public QObject, public SessionEndWatcher {
    Q_OBJECT

public:
    DesktopSessionEnd() {
        connect(qGuiApp, &QGuiApplication::commitDataRequest, this,
                [this](QSessionManager&) { Fire(); });
        QDBusConnection::systemBus().connect(
            QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
            QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForShutdown"),
            this, SLOT(PrepareForShutdown(bool)));
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, gSignalPipe) == 0) {
            notifier_ = new QSocketNotifier(gSignalPipe[1], QSocketNotifier::Read, this);
            connect(notifier_, &QSocketNotifier::activated, this, [this] {
                char byte = 0;
                [[maybe_unused]] const auto got = ::read(gSignalPipe[1], &byte, 1);
                Fire();
            });
            struct sigaction action = {};
            action.sa_handler = OnTerminationSignal;
            sigemptyset(&action.sa_mask);
            action.sa_flags = SA_RESTART;
            sigaction(SIGTERM, &action, nullptr);
            sigaction(SIGHUP, &action, nullptr);
        }
    }

    ~DesktopSessionEnd() override {
        std::signal(SIGTERM, SIG_DFL);
        std::signal(SIGHUP, SIG_DFL);
    }

    void SetHandler(std::function<void()> handler) override { handler_ = std::move(handler); }

public Q_SLOTS:
    // logind's announcement; false is sent when a shutdown was called off.
    void PrepareForShutdown(bool starting) {
        if (starting)
            Fire();
    }

private:
    void Fire() {
        if (fired_ || !handler_)
            return;
        fired_ = true;
        handler_();
    }

    std::function<void()> handler_;
    QSocketNotifier* notifier_ = nullptr;
    bool fired_ = false;
};

} // namespace

std::unique_ptr<SessionEndWatcher> MakeSessionEndWatcher() {
    return std::make_unique<DesktopSessionEnd>();
}

} // namespace sonvela

#include "SessionEnd.moc"
