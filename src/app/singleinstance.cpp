// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/singleinstance.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDataStream>
#include <QDebug>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QPointer>
#include <QStandardPaths>
#include <QTimer>

#include <functional>

#ifdef Q_OS_UNIX
#include <sys/un.h>
#include <unistd.h>
#endif

namespace {

enum RecordKind : quint8 { MessageKind = 1, CopyDataKind = 2, CommandKind = 3, ReplyKind = 4 };
constexpr char Ack = 'A';
// A peer that connects and says nothing is dropped after this long.
constexpr int IdleTimeoutMs = 5000;
#ifdef Q_OS_UNIX
// Longest path a local socket address holds (the terminating NUL takes the last byte).
constexpr qsizetype MaxSocketPath = sizeof(sockaddr_un::sun_path) - 1;
#endif

QString userTag()
{
#ifdef Q_OS_UNIX
    return QString::number(::getuid());
#else
    return qEnvironmentVariable("USERNAME");
#endif
}

// Frame: 32-bit big-endian length, then the record (kind byte and its fields, QDataStream).
QByteArray frame(const QByteArray &record)
{
    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);
    s << quint32(record.size());
    out.append(record);
    return out;
}

// Reads one peer's frame and acknowledges it (a command is answered instead, once it has run);
// lives as long as the connection.
class Connection : public QObject
{
public:
    using Deliver = std::function<void(const QByteArray &, QLocalSocket *)>;
    Connection(QLocalSocket *socket, Deliver deliver)
        : QObject(socket), m_socket(socket), m_deliver(std::move(deliver))
    {
        connect(socket, &QLocalSocket::readyRead, this, [this] { readMore(); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        m_idle.setSingleShot(true);
        connect(&m_idle, &QTimer::timeout, socket, [socket] { socket->abort(); socket->deleteLater(); });
        m_idle.start(IdleTimeoutMs);
        readMore();
    }

private:
    void readMore()
    {
        if (m_done)
            return;
        m_buffer.append(m_socket->readAll());
        QByteArray record;
        const SingleInstance::Frame frame = SingleInstance::unframe(m_buffer, record);
        if (frame == SingleInstance::Frame::Incomplete)
            return;
        if (frame == SingleInstance::Frame::Refused) {
            drop();
            return;
        }
        m_done = true;
        m_idle.stop();
        m_buffer.clear();
        if (record.isEmpty() || quint8(record.at(0)) != CommandKind) {
            m_socket->write(&Ack, 1);
            m_socket->flush();
            m_socket->disconnectFromServer();
        }
        // Delivered after this handler returns: a receiver may open a modal box.
        QTimer::singleShot(0, m_socket->parent(), [deliver = m_deliver, record, socket = QPointer<QLocalSocket>(m_socket)] {
            deliver(record, socket);
        });
    }

    void drop()
    {
        m_done = true;
        m_idle.stop();
        m_socket->abort();
        m_socket->deleteLater();
    }

    QLocalSocket *m_socket;
    Deliver m_deliver;
    QByteArray m_buffer;
    QTimer m_idle;
    bool m_done = false;
};

} // namespace

SingleInstance::SingleInstance(const QString &id, QObject *parent)
    : QObject(parent)
    , m_id(id.isEmpty() ? idForExecutable(QCoreApplication::applicationFilePath()) : id)
{
    QString problem;
    m_serverName = serverNameFor(m_id, &problem);
    if (!problem.isEmpty())
        note(problem);
}

void SingleInstance::note(const QString &problem)
{
    qDebug().noquote() << "Single instance:" << problem;
    m_problem += (m_problem.isEmpty() ? QString() : QStringLiteral("; ")) + problem;
}

QString SingleInstance::serverNameFor(const QString &id, QString *problem)
{
#ifdef Q_OS_UNIX
    // A name in the shared temporary folder could be taken by any local user first: each folder
    // tried is this user's alone. A long home can make a path too long for a socket address,
    // hence the short last resort.
    QStringList folders;
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        folders << QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (!data.isEmpty())
        folders << data + QStringLiteral("/mousecfg");
    folders << QDir::tempPath() + QStringLiteral("/mousecfg-") + userTag();
    const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther
        | QFile::WriteOther | QFile::ExeOther;
    QStringList tried;
    for (const QString &folder : std::as_const(folders)) {
        if (folder.isEmpty())
            continue;
        const QString name = folder + QLatin1Char('/') + id;
        if (QFile::encodeName(name).size() > MaxSocketPath) {
            tried << name + QStringLiteral(" is too long for a socket");
            continue;
        }
        QDir().mkpath(folder);
        QFileInfo info(folder);
        if (info.isDir() && !info.isSymLink() && info.ownerId() == ::getuid()) {
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            info.refresh();
            if (!(info.permissions() & others))
                return name;
        }
        tried << folder + QStringLiteral(" is not this user's alone");
    }
    if (problem)
        *problem = QStringLiteral("no folder for the socket (") + tried.join(QStringLiteral("; ")) + QLatin1Char(')');
    return QString();
#else
    Q_UNUSED(problem);
    return id;
#endif
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::idForExecutable(const QString &executablePath)
{
    QString path = QFileInfo(executablePath).absoluteFilePath();
#ifdef Q_OS_WIN
    path = path.toLower();
#endif
    const QByteArray key = (path + QLatin1Char('\n') + userTag()).toUtf8();
    const QByteArray hash = QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().left(20);
    return QStringLiteral("mousecfg-") + QString::fromLatin1(hash);
}

bool SingleInstance::isRunning()
{
    if (m_state != 0)
        return m_state == 2;

    // Without a socket this instance cannot be found: it runs, as the only one it knows of.
    if (m_serverName.isEmpty()) {
        m_state = 1;
        return false;
    }
    // Two starts at the same moment must not both decide to be first. The lock lies beside the
    // socket (where the name is a pipe, in the temporary folder).
    const QString lockName = m_serverName.contains(QLatin1Char('/')) ? m_serverName
                                                                      : QDir(QDir::tempPath()).filePath(m_id);
    QLockFile lock(lockName + QStringLiteral(".lock"));
    if (!lock.tryLock(5000))
        note(QStringLiteral("the start-up lock %1.lock could not be taken (error %2)")
                 .arg(lockName)
                 .arg(int(lock.error())));

    QLocalSocket probe;
    probe.connectToServer(m_serverName);
    if (probe.waitForConnected(1000)) {
        probe.abort();
        m_state = 2;
        return true;
    }

    // Nobody answers: whatever is left under our name belongs to a crashed instance.
    QLocalServer::removeServer(m_serverName);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_serverName))
        note(QStringLiteral("listening on %1 failed (%2)").arg(m_serverName, m_server->errorString()));
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
    m_state = 1;
    return false;
}

void SingleInstance::acceptConnections()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        socket->setParent(this);
        QPointer<SingleInstance> self(this);
        new Connection(socket, [self](const QByteArray &record, QLocalSocket *peer) {
            if (self)
                self->dispatch(record, peer);
        });
    }
}

SingleInstance::Frame SingleInstance::unframe(const QByteArray &buffer, QByteArray &record)
{
    if (buffer.size() < 4)
        return Frame::Incomplete;
    QDataStream s(buffer);
    quint32 length = 0;
    s >> length;
    if (length > MaxRecordSize)
        return Frame::Refused;
    if (buffer.size() < qsizetype(4 + length))
        return Frame::Incomplete;
    if (buffer.size() > qsizetype(4 + length))  // one record per connection
        return Frame::Refused;
    record = buffer.mid(4);
    return Frame::Complete;
}

void SingleInstance::dispatch(const QByteArray &record, QLocalSocket *socket)
{
    QDataStream s(record);
    s.setVersion(QDataStream::Qt_6_0);
    quint8 kind = 0;
    s >> kind;
    if (kind == MessageKind) {
        QString message;
        s >> message;
        if (s.status() == QDataStream::Ok && s.atEnd())
            emit messageReceived(message);
    } else if (kind == CopyDataKind) {
        copydata::Record r;
        s >> r.dwData >> r.cbData >> r.bytes;
        if (s.status() == QDataStream::Ok && s.atEnd())
            emit copyDataReceived(r);
    } else if (kind == CommandKind) {
        QStringList arguments;
        QString workingDir;
        s >> arguments >> workingDir;
        if (s.status() != QDataStream::Ok || !s.atEnd() || !socket) {
            if (socket)
                socket->abort();
            return;
        }
        // The sender may have given up meanwhile: the answer then goes nowhere.
        QPointer<QLocalSocket> peer(socket);
        emit commandReceived(arguments, workingDir, [peer](const CommandReply &reply) {
            if (!peer)
                return;
            QByteArray answer;
            QDataStream a(&answer, QIODevice::WriteOnly);
            a.setVersion(QDataStream::Qt_6_0);
            a << quint8(ReplyKind) << qint32(reply.exitCode) << reply.out << reply.err;
            peer->write(frame(answer));
            peer->flush();
            peer->disconnectFromServer();
        });
    }
}

bool SingleInstance::sendMessage(const QString &message, int timeout)
{
    QByteArray record;
    QDataStream s(&record, QIODevice::WriteOnly);
    s.setVersion(QDataStream::Qt_6_0);
    s << quint8(MessageKind) << message;
    return send(record, timeout);
}

bool SingleInstance::sendCopyData(const copydata::Record &r, int timeout)
{
    QByteArray record;
    QDataStream s(&record, QIODevice::WriteOnly);
    s.setVersion(QDataStream::Qt_6_0);
    s << quint8(CopyDataKind) << r.dwData << r.cbData << r.bytes;
    return send(record, timeout);
}

bool SingleInstance::sendCommand(const QStringList &arguments, const QString &workingDir, int timeout,
                                 CommandReply *reply)
{
    QByteArray record;
    QDataStream s(&record, QIODevice::WriteOnly);
    s.setVersion(QDataStream::Qt_6_0);
    s << quint8(CommandKind) << arguments << workingDir;
    QByteArray answer;
    if (!send(record, timeout, &answer))
        return false;
    QDataStream a(answer);
    a.setVersion(QDataStream::Qt_6_0);
    quint8 kind = 0;
    qint32 exitCode = 0;
    CommandReply r;
    a >> kind >> exitCode >> r.out >> r.err;
    if (kind != ReplyKind || a.status() != QDataStream::Ok)
        return false;
    r.exitCode = exitCode;
    if (reply)
        *reply = r;
    return true;
}

// Waits with a local event loop rather than the socket's blocking calls, so a receiver living in
// this same thread (as in tests) can still answer.
bool SingleInstance::send(const QByteArray &record, int timeout, QByteArray *answer)
{
    if (quint32(record.size()) > MaxRecordSize)
        return false;
    QLocalSocket socket;
    QEventLoop loop;
    QByteArray received;
    // An acknowledgement is one byte; an answer a whole frame.
    auto complete = [&] {
        if (!answer)
            return !received.isEmpty();
        QDataStream s(received);
        quint32 length = 0;
        s >> length;
        return s.status() == QDataStream::Ok && received.size() >= qsizetype(4) + qsizetype(length);
    };
    connect(&socket, &QLocalSocket::connected, &loop, [&] { socket.write(frame(record)); });
    connect(&socket, &QLocalSocket::readyRead, &loop, [&] {
        received += socket.readAll();
        if (complete())
            loop.quit();
    });
    // The receiver closes right after its answer; the close may be reported first.
    bool failed = false;
    connect(&socket, &QLocalSocket::errorOccurred, &loop, [&] {
        received += socket.readAll();
        failed = true;
        loop.quit();
    });
    QTimer timer;
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(qMax(0, timeout));
    socket.connectToServer(m_serverName);
    if (!failed && !complete())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    socket.abort();
    if (!answer)
        return received.startsWith(Ack);
    if (!complete())
        return false;
    *answer = received.mid(4);
    return true;
}
