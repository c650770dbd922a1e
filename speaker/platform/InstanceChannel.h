// The single instance's local channel: the running instance listens on a
// socket beside its lock, and a later start that was given a file (as a
// desktop's "open with" does) hands the file's path over and ends.
#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <string>

class QLocalServer;

namespace sonvela {

class InstanceChannel final : public QObject {
public:
    using FileHandler = std::function<void(const std::string& path)>;

    // Listens as `name` in `folder` (the lock's folder). Nothing when the
    // socket cannot be made: the program then runs without the channel.
    // Each path received is handed to `onFile` from the event loop, after
    // the sender has been answered, so a question the handler asks never
    // keeps the sender waiting.
    static std::unique_ptr<InstanceChannel> Listen(const std::string& folder,
                                                   const std::string& name, FileHandler onFile);
    // Hands `path` to the running instance; true once it confirmed receipt.
    static bool SendFile(const std::string& folder, const std::string& name,
                         const std::string& path, int timeoutMs = 5000);

    ~InstanceChannel() override;

private:
    InstanceChannel(QLocalServer* server, FileHandler onFile);
    void Accept();

    QLocalServer* server_;
    FileHandler onFile_;
};

} // namespace sonvela
