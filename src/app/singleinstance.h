// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/copydata.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class QLocalServer;
class QLocalSocket;

// The running instance's answer to a command of the command line.
struct CommandReply
{
    int exitCode = 0;
    QString out;  // for standard output
    QString err;  // for standard error
};
// Hands the answer back to the command's sender; called once, when the command has run.
using CommandAnswer = std::function<void(const CommandReply &)>;

// One running instance per executable and user. The first instance listens on a local socket
// that only the same user may open; a later start finds it, hands over a message and quits.
// The channel carries three kinds of records: a text message, a copy-data record and a command
// of the command line, which the running instance answers once it has run it.
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
    // Hands a command (its arguments, and the folder its file names are relative to) to the
    // running instance and waits up to timeout ms for the answer; false without one.
    bool sendCommand(const QStringList &arguments, const QString &workingDir, int timeout, CommandReply *reply);

    // Largest record accepted on the channel; a peer announcing more is dropped.
    static constexpr quint32 MaxRecordSize = 64 * 1024;

    // What a connection has sent so far: a whole frame (its record in `record`), the start of
    // one, or something to drop (too long, or more than one record).
    enum class Frame { Incomplete, Complete, Refused };
    static Frame unframe(const QByteArray &buffer, QByteArray &record);
    // Decodes one received record and emits what it carries; a malformed record emits nothing.
    // A command is answered on `socket` and dropped without one.
    void dispatch(const QByteArray &record, QLocalSocket *socket = nullptr);

signals:
    void messageReceived(const QString &message);
    void copyDataReceived(const copydata::Record &record);
    void commandReceived(const QStringList &arguments, const QString &workingDir, const CommandAnswer &answer);

private:
    // Sends a record; true once it is acknowledged or, when answer is given, answered.
    bool send(const QByteArray &record, int timeout, QByteArray *answer = nullptr);
    void acceptConnections();
    void note(const QString &problem);

    QString m_id;
    QString m_problem;
    QString m_serverName;
    QLocalServer *m_server = nullptr;
    int m_state = 0;  // 0 undecided, 1 we own the id, 2 another instance runs
};
