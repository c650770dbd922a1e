// The running program on the session bus: the same three requests as the
// command line's --say, --read-draft and --stop, for programs that speak
// D-Bus (org.sonvela.Speaker1.xml describes the interface). Without a
// session bus, or with the name taken, the program runs without it.
#pragma once

#include "InstanceChannel.h"

#include <QDBusContext>
#include <QObject>
#include <QString>
#include <memory>

namespace sonvela {

inline constexpr char kSpeakerBusService[] = "org.sonvela.Speaker";
inline constexpr char kSpeakerBusPath[] = "/Speaker";
inline constexpr char kSpeakerBusRefused[] = "org.sonvela.Speaker1.Error.Refused";

class SpeakerBus final : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.sonvela.Speaker1")

public:
    // Registers on the session bus; nothing when that is not possible.
    static std::unique_ptr<SpeakerBus> Register(InstanceChannel::RequestHandler handler);
    ~SpeakerBus() override;

public Q_SLOTS:
    Q_SCRIPTABLE void Say(const QString& text);
    Q_SCRIPTABLE void ReadDraft(const QString& nameOrId);
    Q_SCRIPTABLE void Stop();

private:
    explicit SpeakerBus(InstanceChannel::RequestHandler handler);
    void Hand(InstanceRequest::Kind kind, const QString& argument);

    InstanceChannel::RequestHandler handler_;
};

} // namespace sonvela
