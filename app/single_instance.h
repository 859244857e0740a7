// One running copy per user: the first copy listens on a local socket; a
// later start with a file hands the path to it and ends.  The message is
// the path as UTF-8, ended by a newline.
#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

class CSingleInstance : public QObject {
    Q_OBJECT
public:
    explicit CSingleInstance(QObject* parent = nullptr);
    ~CSingleInstance() override;

    // The socket name of this user's copy ($WB_INSTANCE_NAME names another).
    static QString DefaultName();
    // Hands the path to a running copy; true when one took it.
    static bool SendToRunning(const QString& name, const QString& path, int timeoutMs = 1000);
    // Starts listening (a stale socket of a copy that died is removed).
    bool Listen(const QString& name);

signals:
    void openRequested(const QString& path);

private:
    QLocalServer* m_server;
};
