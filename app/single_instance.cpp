#include "app/single_instance.h"

#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

namespace {

// A path longer than this is no path.
constexpr qint64 kMaxMessage = 64 * 1024;

} // namespace

CSingleInstance::CSingleInstance(QObject* parent) : QObject(parent), m_server(new QLocalServer(this))
{
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (socket->bytesAvailable() > kMaxMessage) {
                    socket->abort();
                    return;
                }
                if (!socket->canReadLine()) return;
                const QString path = QString::fromUtf8(socket->readLine()).trimmed();
                socket->write("ok\n");
                socket->flush();
                if (!path.isEmpty()) emit openRequested(path);
            });
        }
    });
}

CSingleInstance::~CSingleInstance() = default;

QString CSingleInstance::DefaultName()
{
    const QByteArray env = qgetenv("WB_INSTANCE_NAME");
    if (!env.isEmpty()) return QString::fromLocal8Bit(env);
    return QStringLiteral("marrowgate-%1").arg(getuid());
}

bool CSingleInstance::SendToRunning(const QString& name, const QString& path, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(timeoutMs)) return false;
    socket.write(path.toUtf8() + '\n');
    if (!socket.waitForBytesWritten(timeoutMs)) return false;
    // The running copy answers once it has the path.
    return socket.waitForReadyRead(timeoutMs) && socket.readLine().startsWith("ok");
}

bool CSingleInstance::Listen(const QString& name)
{
    if (m_server->listen(name)) return true;
    QLocalServer::removeServer(name);
    return m_server->listen(name);
}
