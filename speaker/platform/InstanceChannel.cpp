#include "InstanceChannel.h"

#include "FunctionUnit.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>
#include <memory>

namespace sonvela {
namespace {

// A message ends at a NUL byte, which neither a path nor an argument can
// hold (InstanceRequest.h).
constexpr char kEnd = '\0';
// Far beyond any path or words a request carries.
constexpr qsizetype kLongestMessage = 1024 * 1024;

QString SocketPath(const std::string& folder, const std::string& name) {
    return QString::fromStdString(WithBackslash(folder) + name + ".socket");
}

} // namespace

std::unique_ptr<InstanceChannel> InstanceChannel::Listen(const std::string& folder,
                                                         const std::string& name,
                                                         FileHandler onFile,
                                                         RequestHandler onRequest) {
    auto* server = new QLocalServer;
    server->setSocketOptions(QLocalServer::UserAccessOption);
    const QString path = SocketPath(folder, name);
    // Only the lock's holder listens, so a socket file left there belongs to
    // an instance that died without removing it.
    QLocalServer::removeServer(path);
    if (!server->listen(path)) {
        delete server;
        return nullptr;
    }
    return std::unique_ptr<InstanceChannel>(
        new InstanceChannel(server, std::move(onFile), std::move(onRequest)));
}

InstanceChannel::InstanceChannel(QLocalServer* server, FileHandler onFile, RequestHandler onRequest)
    : server_(server), onFile_(std::move(onFile)), onRequest_(std::move(onRequest)) {
    server_->setParent(this);
    connect(server_, &QLocalServer::newConnection, this, &InstanceChannel::Accept);
}

InstanceChannel::~InstanceChannel() {
    server_->close();
}

void InstanceChannel::Accept() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        auto pending = std::make_shared<QByteArray>();
        connect(socket, &QLocalSocket::readyRead, this, [this, socket, pending] {
            pending->append(socket->readAll());
            const qsizetype end = pending->indexOf(kEnd);
            if (end < 0) {
                // A sender that never ends its message does not fill the
                // memory: it is answered and let go.
                if (pending->size() > kLongestMessage) {
                    pending->clear();
                    const std::string answer =
                        EncodeAnswer(RequestAnswer::Refused("请求太长，运行中的程序没有接受"));
                    socket->write(answer.data(), static_cast<qint64>(answer.size()));
                    socket->disconnectFromServer();
                }
                return;
            }
            const std::string message = pending->left(end).toStdString();
            pending->clear();
            const std::string answer = EncodeAnswer(Answer(message));
            socket->write(answer.data(), static_cast<qint64>(answer.size()));
            socket->flush();
        });
    }
}

RequestAnswer InstanceChannel::Answer(const std::string& message) {
    const std::optional<InstanceRequest> request = DecodeRequest(message);
    if (!request)
        return RequestAnswer::Refused("运行中的程序不认识这个请求，请使用同一版本的程序");
    if (request->kind == InstanceRequest::Kind::OpenFile) {
        QTimer::singleShot(0, this, [this, path = request->argument] {
            if (onFile_)
                onFile_(path);
        });
        return RequestAnswer::Accepted();
    }
    if (!onRequest_)
        return RequestAnswer::Refused("运行中的程序不接受这个请求");
    return onRequest_(*request);
}

bool InstanceChannel::SendFile(const std::string& folder, const std::string& name,
                               const std::string& path, int timeoutMs) {
    const auto answer = Send(folder, name, {InstanceRequest::Kind::OpenFile, path}, timeoutMs);
    return answer && answer->accepted;
}

std::optional<RequestAnswer> InstanceChannel::Send(const std::string& folder,
                                                   const std::string& name,
                                                   const InstanceRequest& request, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(SocketPath(folder, name));
    if (!socket.waitForConnected(timeoutMs))
        return std::nullopt;
    QByteArray message = QByteArray::fromStdString(EncodeRequest(request));
    message.append(kEnd);
    socket.write(message);
    if (!socket.waitForBytesWritten(timeoutMs))
        return std::nullopt;
    QByteArray received;
    for (;;) {
        received.append(socket.readAll());
        if (auto answer = DecodeAnswer(
                std::string_view(received.constData(), static_cast<std::size_t>(received.size()))))
            return answer;
        if (!socket.waitForReadyRead(timeoutMs))
            return std::nullopt;
    }
}

} // namespace sonvela
