#include "InstanceChannel.h"

#include "FunctionUnit.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>
#include <memory>

namespace sonvela {
namespace {

// A path ends at a NUL byte, which no path can hold; the receiver answers
// with one byte once it has the whole path.
constexpr char kEnd = '\0';
constexpr char kReceived = '+';

QString SocketPath(const std::string& folder, const std::string& name) {
    return QString::fromStdString(WithBackslash(folder) + name + ".socket");
}

} // namespace

std::unique_ptr<InstanceChannel>
InstanceChannel::Listen(const std::string& folder, const std::string& name, FileHandler onFile) {
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
    return std::unique_ptr<InstanceChannel>(new InstanceChannel(server, std::move(onFile)));
}

InstanceChannel::InstanceChannel(QLocalServer* server, FileHandler onFile)
    : server_(server), onFile_(std::move(onFile)) {
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
            if (end < 0)
                return;
            const std::string path = pending->left(end).toStdString();
            pending->clear();
            socket->putChar(kReceived);
            socket->flush();
            QTimer::singleShot(0, this, [this, path] {
                if (onFile_)
                    onFile_(path);
            });
        });
    }
}

bool InstanceChannel::SendFile(const std::string& folder, const std::string& name,
                               const std::string& path, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(SocketPath(folder, name));
    if (!socket.waitForConnected(timeoutMs))
        return false;
    QByteArray message = QByteArray::fromStdString(path);
    message.append(kEnd);
    socket.write(message);
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    while (socket.bytesAvailable() < 1)
        if (!socket.waitForReadyRead(timeoutMs))
            return false;
    char answer = 0;
    return socket.getChar(&answer) && answer == kReceived;
}

} // namespace sonvela
