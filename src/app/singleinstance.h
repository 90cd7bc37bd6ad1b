#pragma once

#include "app/copydata.h"

#include <QObject>
#include <QString>

class QLocalServer;

// One running instance per executable and user. The first instance listens on a local socket
// that only the same user may open; a later start finds it, hands over a message and quits.
// The channel carries two kinds of records: a text message and a copy-data record.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    // An empty id means the default one, derived from this executable's path and the user.
    explicit SingleInstance(const QString &id = QString(), QObject *parent = nullptr);
    ~SingleInstance() override;

    // The id of the program at `executablePath` for the current user.
    static QString idForExecutable(const QString &executablePath);
    QString id() const { return m_id; }
    // The local socket the owner of `id` listens on: in a folder only this user can write to, so
    // no other user can occupy the name, and short enough for a socket address. The runtime
    // folder (XDG_RUNTIME_DIR), else the user's data folder, else a folder of the user's own in
    // the temporary folder. Empty, and why in `problem`, when none of them will do.
    static QString serverNameFor(const QString &id, QString *problem = nullptr);
    QString serverName() const { return m_serverName; }

    // True when another instance owns the id. Otherwise this instance becomes the owner (a socket
    // left behind by a crashed instance is removed first). Decided on the first call.
    bool isRunning();
    // What could not be set up (no socket folder, the start-up lock, listening): a later start
    // may then not find this instance. Empty when all is well; each part is also a debug line.
    QString problem() const { return m_problem; }
    // Hands a record to the running instance; true once it has confirmed receipt within timeout ms.
    bool sendMessage(const QString &message, int timeout);
    bool sendCopyData(const copydata::Record &record, int timeout);

    // Largest record accepted on the channel; a peer announcing more is dropped.
    static constexpr quint32 MaxRecordSize = 64 * 1024;

    // What a connection has sent so far: a whole frame (its record in `record`), the start of
    // one, or something to drop (too long, or more than one record).
    enum class Frame { Incomplete, Complete, Refused };
    static Frame unframe(const QByteArray &buffer, QByteArray &record);
    // Decodes one received record and emits what it carries; a malformed record emits nothing.
    void dispatch(const QByteArray &record);

signals:
    void messageReceived(const QString &message);
    void copyDataReceived(const copydata::Record &record);

private:
    bool send(const QByteArray &record, int timeout);
    void acceptConnections();
    void note(const QString &problem);

    QString m_id;
    QString m_problem;
    QString m_serverName;
    QLocalServer *m_server = nullptr;
    int m_state = 0;  // 0 undecided, 1 we own the id, 2 another instance runs
};
