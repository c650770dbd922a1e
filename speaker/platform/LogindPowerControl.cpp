#include "PowerControl.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>

namespace sonvela {
namespace {

class LogindPowerControl final : public PowerControl {
public:
    void PowerOff() override {
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
            QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PowerOff"));
        // Interactive: where the policy asks for it, the system may ask the
        // operator to authenticate instead of refusing outright.
        call << true;
        // Not waited for: the reply may come only as the session ends.
        QDBusConnection::systemBus().asyncCall(call);
    }
};

} // namespace

std::unique_ptr<PowerControl> MakeSystemPowerControl() {
    return std::make_unique<LogindPowerControl>();
}

} // namespace sonvela
