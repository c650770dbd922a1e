#include "SpeakerBus.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>

namespace sonvela {

std::unique_ptr<SpeakerBus> SpeakerBus::Register(InstanceChannel::RequestHandler handler) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return nullptr;
    std::unique_ptr<SpeakerBus> service(new SpeakerBus(std::move(handler)));
    if (!bus.registerObject(QString::fromLatin1(kSpeakerBusPath), service.get(),
                            QDBusConnection::ExportScriptableSlots))
        return nullptr;
    // Only one instance runs, so the name is ours unless another program
    // holds it: then the requests reach us over the local channel only.
    if (!bus.registerService(QString::fromLatin1(kSpeakerBusService))) {
        bus.unregisterObject(QString::fromLatin1(kSpeakerBusPath));
        return nullptr;
    }
    return service;
}

SpeakerBus::SpeakerBus(InstanceChannel::RequestHandler handler) : handler_(std::move(handler)) {}

SpeakerBus::~SpeakerBus() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterService(QString::fromLatin1(kSpeakerBusService));
    bus.unregisterObject(QString::fromLatin1(kSpeakerBusPath));
}

void SpeakerBus::Say(const QString& text) {
    Hand(InstanceRequest::Kind::Say, text);
}

void SpeakerBus::ReadDraft(const QString& nameOrId) {
    Hand(InstanceRequest::Kind::ReadDraft, nameOrId);
}

void SpeakerBus::Stop() {
    Hand(InstanceRequest::Kind::Stop, {});
}

void SpeakerBus::Hand(InstanceRequest::Kind kind, const QString& argument) {
    const RequestAnswer answer = handler_ ? handler_({kind, argument.toStdString()})
                                          : RequestAnswer::Refused("运行中的程序不接受这个请求");
    if (!answer.accepted && calledFromDBus())
        sendErrorReply(QString::fromLatin1(kSpeakerBusRefused),
                       QString::fromStdString(answer.reason));
}

} // namespace sonvela
