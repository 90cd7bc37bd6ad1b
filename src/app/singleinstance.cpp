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
#include <QTimer>

#include <functional>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

enum RecordKind : quint8 { MessageKind = 1, CopyDataKind = 2 };
constexpr char Ack = 'A';
// A peer that connects and says nothing is dropped after this long.
constexpr int IdleTimeoutMs = 5000;

QString userTag()
{
#ifdef Q_OS_UNIX
    return QString::number(::getuid());
#else
    return qEnvironmentVariable("USERNAME");
#endif
}

// Taking the lock flushes its file to disk: the user's runtime folder (in memory on a systemd
// session) spares every start that wait, the temporary folder serves elsewhere.
QString lockFolder()
{
    const QFileInfo runtime(qEnvironmentVariable("XDG_RUNTIME_DIR"));
    return runtime.isDir() && runtime.isWritable() ? runtime.filePath() : QDir::tempPath();
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

// Reads one peer's frame and acknowledges it; lives as long as the connection.
class Connection : public QObject
{
public:
    Connection(QLocalSocket *socket, std::function<void(const QByteArray &)> deliver)
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
        if (m_buffer.size() < 4)
            return;
        QDataStream s(m_buffer);
        quint32 length = 0;
        s >> length;
        if (length > SingleInstance::MaxRecordSize) {
            drop();
            return;
        }
        if (m_buffer.size() < qsizetype(4 + length))
            return;
        if (m_buffer.size() > qsizetype(4 + length)) {  // one record per connection
            drop();
            return;
        }
        m_done = true;
        m_idle.stop();
        const QByteArray record = m_buffer.mid(4);
        m_buffer.clear();
        m_socket->write(&Ack, 1);
        m_socket->flush();
        m_socket->disconnectFromServer();
        // Delivered after this handler returns: a receiver may open a modal box.
        QTimer::singleShot(0, m_socket->parent(), [deliver = m_deliver, record] { deliver(record); });
    }

    void drop()
    {
        m_done = true;
        m_idle.stop();
        m_socket->abort();
        m_socket->deleteLater();
    }

    QLocalSocket *m_socket;
    std::function<void(const QByteArray &)> m_deliver;
    QByteArray m_buffer;
    QTimer m_idle;
    bool m_done = false;
};

} // namespace

SingleInstance::SingleInstance(const QString &id, QObject *parent)
    : QObject(parent)
    , m_id(id.isEmpty() ? idForExecutable(QCoreApplication::applicationFilePath()) : id)
{
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

    // Two starts at the same moment must not both decide to be first.
    QLockFile lock(QDir(lockFolder()).filePath(m_id + QStringLiteral(".lock")));
    lock.tryLock(5000);

    QLocalSocket probe;
    probe.connectToServer(m_id);
    if (probe.waitForConnected(1000)) {
        probe.abort();
        m_state = 2;
        return true;
    }

    // Nobody answers: whatever is left under our name belongs to a crashed instance.
    QLocalServer::removeServer(m_id);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_id))
        qDebug() << "Single instance listen failed" << m_server->errorString();
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
    m_state = 1;
    return false;
}

void SingleInstance::acceptConnections()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        socket->setParent(this);
        QPointer<SingleInstance> self(this);
        new Connection(socket, [self](const QByteArray &record) {
            if (self)
                self->dispatch(record);
        });
    }
}

void SingleInstance::dispatch(const QByteArray &record)
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

// Waits with a local event loop rather than the socket's blocking calls, so a receiver living in
// this same thread (as in tests) can still answer.
bool SingleInstance::send(const QByteArray &record, int timeout)
{
    if (quint32(record.size()) > MaxRecordSize)
        return false;
    QLocalSocket socket;
    QEventLoop loop;
    bool acknowledged = false;
    bool failed = false;
    connect(&socket, &QLocalSocket::connected, &loop, [&] { socket.write(frame(record)); });
    auto readAck = [&] {
        if (socket.bytesAvailable() > 0)
            acknowledged = socket.read(1) == QByteArray(1, Ack);
    };
    connect(&socket, &QLocalSocket::readyRead, &loop, [&] {
        readAck();
        loop.quit();
    });
    // The receiver closes right after its answer; the close may be reported first.
    connect(&socket, &QLocalSocket::errorOccurred, &loop, [&] {
        readAck();
        failed = true;
        loop.quit();
    });
    QTimer timer;
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(qMax(0, timeout));
    socket.connectToServer(m_id);
    if (!failed && !acknowledged)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    socket.abort();
    return acknowledged;
}
