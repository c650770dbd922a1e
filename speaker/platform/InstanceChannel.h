// The single instance's local channel: the running instance listens on a
// socket beside its lock, and a later start hands over what it was given and
// ends: a file (as a desktop's "open with" passes it), or another program's
// request (say these words, read that draft, stop), which the running
// instance accepts or refuses with a reason. The bytes on the socket are
// described in InstanceRequest.h.
#pragma once

#include "InstanceRequest.h"

#include <QObject>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QLocalServer;

namespace sonvela {

class InstanceChannel final : public QObject {
public:
    using FileHandler = std::function<void(const std::string& path)>;
    using RequestHandler = std::function<RequestAnswer(const InstanceRequest& request)>;

    // Listens as `name` in `folder` (the lock's folder). Nothing when the
    // socket cannot be made: the program then runs without the channel.
    // Each path received is handed to `onFile` from the event loop, after
    // the sender has been answered, so a question the handler asks never
    // keeps the sender waiting. Every other request is answered with what
    // `onRequest` decides, at once (it must not ask the operator anything);
    // without it they are refused.
    static std::unique_ptr<InstanceChannel> Listen(const std::string& folder,
                                                   const std::string& name, FileHandler onFile,
                                                   RequestHandler onRequest = {});
    // Hands `path` to the running instance; true once it confirmed receipt.
    static bool SendFile(const std::string& folder, const std::string& name,
                         const std::string& path, int timeoutMs = 5000);
    // Hands `request` over and returns the running instance's answer;
    // nothing when no instance listens or it did not answer in time.
    static std::optional<RequestAnswer> Send(const std::string& folder, const std::string& name,
                                             const InstanceRequest& request, int timeoutMs = 5000);

    ~InstanceChannel() override;

private:
    InstanceChannel(QLocalServer* server, FileHandler onFile, RequestHandler onRequest);
    void Accept();
    RequestAnswer Answer(const std::string& message);

    QLocalServer* server_;
    FileHandler onFile_;
    RequestHandler onRequest_;
};

} // namespace sonvela
