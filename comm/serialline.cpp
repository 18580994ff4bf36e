#include "serialline.h"

#include "plugframe.h"
#include "seriallink.h"
#include "serialportregistry.h"

#include <QDebug>
#include <QTimer>

SerialLine::SerialLine(const QString &portName, QObject *parent)
    : QObject(parent)
    , m_portName(portName)
{
    m_turnTimer = new QTimer(this);
    m_turnTimer->setSingleShot(true);
    connect(m_turnTimer, &QTimer::timeout, this, [this] { endTurn(true); });
    m_serveTimer = new QTimer(this);
    m_serveTimer->setSingleShot(true);
    connect(m_serveTimer, &QTimer::timeout, this, &SerialLine::serveNext);
    m_quiet.start();
}

SerialLine::~SerialLine()
{
    closePort();
}

QString SerialLine::portProblem(const QString &port, QSerialPort::SerialPortError error, const QString &reason)
{
    switch (error) {
    case QSerialPort::DeviceNotFoundError:
        return tr("串口%1不存在：%2").arg(port, reason);
    case QSerialPort::PermissionError:
    case QSerialPort::OpenError:
        return tr("串口%1被占用或无权访问：%2").arg(port, reason);
    case QSerialPort::ResourceError:
        return tr("串口%1已断开：%2").arg(port, reason);
    default:
        return tr("串口%1出错：%2").arg(port, reason);
    }
}

bool SerialLine::isOpen() const
{
    return m_port && m_port->isOpen();
}

bool SerialLine::open(QString *problem, QString *reason)
{
    if (isOpen() || isLentOut())
        return true;
    closePort();
    // A blocking worker that opened the port without lending it first holds it.
    if (!SerialPortRegistry::instance().acquire(m_portName, this)) {
        const QString why = tr("扫描或下载正在使用");
        if (problem)
            *problem = tr("串口%1被占用：%2").arg(m_portName, why);
        if (reason)
            *reason = why;
        return false;
    }
    // No parent: a user may detach (and the line close the port) inside the port's own signal.
    m_port = new QSerialPort;
    m_port->setPortName(m_portName);
    m_port->setBaudRate(QSerialPort::Baud115200);
    m_port->setDataBits(QSerialPort::Data8);
    m_port->setParity(QSerialPort::NoParity);
    m_port->setStopBits(QSerialPort::OneStop);
    m_port->setFlowControl(QSerialPort::NoFlowControl);
    if (!m_port->open(QIODevice::ReadWrite)) {
        if (problem)
            *problem = portProblem(m_portName, m_port->error(), m_port->errorString());
        if (reason)
            *reason = m_port->errorString();
        closePort();
        return false;
    }
    m_port->clear();
    m_rx.clear();
    SerialPortRegistry::instance().noteDevice(m_portName, this);
    connect(m_port, &QSerialPort::readyRead, this, &SerialLine::onReadyRead);
    connect(m_port, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError error) {
        if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError)
            return;
        // Closing inside the port's own signal would pull it from under its feet.
        QMetaObject::invokeMethod(this, &SerialLine::onPortError, Qt::QueuedConnection);
    });
    return true;
}

void SerialLine::closePort()
{
    m_turnTimer->stop();
    if (m_holder)
        m_last = m_holder;
    m_holder = nullptr;
    m_orphanTurn = false;
    m_rx.clear();
    if (m_port) {
        m_port->disconnect(this);
        // Bytes written just before closing (a last poll) still go out, without a wait.
        if (m_port->isOpen() && m_port->bytesToWrite() > 0)
            m_port->flush();
        if (m_port->isOpen())
            m_port->close();
        m_port->deleteLater();
        m_port = nullptr;
    }
    SerialPortRegistry::instance().release(m_portName, this);
}

void SerialLine::onPortError()
{
    if (!m_port || m_port->error() == QSerialPort::NoError)
        return;
    const QString message = portProblem(m_portName, m_port->error(), m_port->errorString());
    // A port that vanished (a cable pulled, a simulator restarted): the next request opens it again.
    qDebug().noquote() << "serial line" << m_portName << "failed:" << message;
    closePort();
    const QList<SerialLink *> users = m_users;
    // A receiver may let its link go, and others with it: only links still here are told.
    for (SerialLink *user : users) {
        if (m_users.contains(user))
            emit user->linkError(message);
    }
}

void SerialLine::attach(SerialLink *link)
{
    if (!m_users.contains(link))
        m_users.append(link);
}

void SerialLine::detach(SerialLink *link)
{
    m_users.removeAll(link);
    // Requests already handed over still go out (a last poll before a link is given up); their
    // replies reach nobody.
    QByteArray last;
    for (Exchange &e : m_queue) {
        if (e.link == link || (!e.link && !e.orphan)) {
            e.link = nullptr;
            e.orphan = true;
            last += e.bytes;
        }
    }
    if (m_last == link)
        m_last = nullptr;
    if (m_holder == link) {
        m_holder = nullptr;
        m_orphanTurn = true;
    }
    if (m_users.isEmpty()) {
        if (m_port && m_port->isOpen() && !last.isEmpty())
            m_port->write(last);
        m_queue.clear();
        m_serveTimer->stop();
        m_unsettled = false;
        closePort();
    }
}

QList<SerialLink *> SerialLine::framedUsers() const
{
    QList<SerialLink *> framed;
    for (SerialLink *user : m_users) {
        if (user->isFramed())
            framed << user;
    }
    return framed;
}

bool SerialLine::enqueue(SerialLink *link, const QByteArray &bytes, QString *problem)
{
    if (!link || !m_users.contains(link)) {
        if (problem)
            *problem = tr("串口%1未打开").arg(m_portName);
        return false;
    }
    // Kept for when the port is back from a scan or a download.
    if (isLentOut()) {
        queue(link, bytes);
        return true;
    }
    if (!isOpen() && !open(problem))
        return false;
    // A plug frame says what it answers: it need not wait for anybody's reply.
    if (link->isFramed())
        return writeOut(link, bytes, problem);
    bool othersQueued = false;
    for (const Exchange &e : qAsConst(m_queue)) {
        if (e.orphan || (e.link && e.link != link && !e.link->isFramed()))
            othersQueued = true;
    }
    const bool lineFree = (m_holder == link || (!m_holder && !m_orphanTurn)) && !othersQueued;
    if (lineFree && settleLeft(link) == 0)
        return startTurn(link, bytes, false, problem);
    queue(link, bytes);
    scheduleServe(settleLeft(link));
    return true;
}

void SerialLine::queue(SerialLink *link, const QByteArray &bytes)
{
    // A turn-taking user's newer request stands in for its older one still waiting: a poll that
    // could not go out is not worth sending late.
    if (!link->isFramed()) {
        for (Exchange &e : m_queue) {
            if (e.link == link) {
                e.bytes = bytes;
                return;
            }
        }
    }
    m_queue.append({ link, bytes, false });
}

bool SerialLine::hasPending(const SerialLink *link) const
{
    if (m_holder == link)
        return true;
    for (const Exchange &e : m_queue) {
        if (e.link == link)
            return true;
    }
    return false;
}

bool SerialLine::writeOut(SerialLink *link, const QByteArray &bytes, QString *problem)
{
    if (!m_port || !m_port->isOpen()) {
        if (problem)
            *problem = tr("串口%1未打开").arg(m_portName);
        return false;
    }
    if (m_port->write(bytes) != bytes.size()) {
        if (problem)
            *problem = portProblem(m_portName, m_port->error(), m_port->errorString());
        return false;
    }
    ++m_sequence;
    if (link)
        link->noteRequest(bytes, m_sequence);
    SerialPortRegistry::instance().noteWrite(m_portName);
    return true;
}

bool SerialLine::startTurn(SerialLink *link, const QByteArray &bytes, bool orphan, QString *problem)
{
    if (!writeOut(orphan ? nullptr : link, bytes, problem))
        return false;
    m_unsettled = false;
    m_holder = orphan ? nullptr : link;
    m_orphanTurn = orphan;
    if (m_holder)
        m_holder->beginTurn();
    m_turnTimer->start(m_holder ? m_holder->replyWait() : SerialLink::defaultReplyWaitMs);
    return true;
}

int SerialLine::settleLeft(const SerialLink *link) const
{
    if (!m_unsettled || (link && link == m_last))
        return 0;
    return int(qMax<qint64>(0, settleMs - m_quiet.elapsed()));
}

void SerialLine::scheduleServe(int delayMs)
{
    // Never from inside a user's signal: the next request goes out from the event loop.
    if (m_serveTimer->isActive() && m_serveTimer->remainingTime() <= delayMs)
        return;
    m_serveTimer->start(qMax(0, delayMs));
}

void SerialLine::serveNext()
{
    if (isLentOut() || m_queue.isEmpty())
        return;
    // A port that vanished waits for the users' next writes, which say so.
    if (!isOpen() && !open())
        return;
    // Plug frames kept while the port was lent go out in their order.
    for (int i = 0; i < m_queue.size();) {
        const Exchange &e = m_queue.at(i);
        if (!e.orphan && (!e.link || !m_users.contains(e.link))) {
            m_queue.removeAt(i);
        } else if (!e.orphan && e.link->isFramed()) {
            const Exchange x = m_queue.takeAt(i);
            writeOut(x.link, x.bytes, nullptr);
        } else {
            ++i;
        }
    }
    while (!m_queue.isEmpty() && !m_holder && !m_orphanTurn) {
        const int wait = settleLeft(m_queue.first().link);
        if (wait > 0) {
            scheduleServe(wait);
            return;
        }
        const Exchange x = m_queue.takeFirst();
        startTurn(x.link, x.bytes, x.orphan, nullptr);
    }
}

void SerialLine::endTurn(bool timedOut)
{
    m_turnTimer->stop();
    if (m_holder)
        m_last = m_holder;
    else if (m_orphanTurn)
        m_last = nullptr;
    if (timedOut) {
        m_unsettled = true;
        m_quiet.restart();
    }
    m_holder = nullptr;
    m_orphanTurn = false;
    scheduleServe();
}

void SerialLine::onReadyRead()
{
    if (!m_port)
        return;
    const QByteArray data = m_port->readAll();
    if (data.isEmpty())
        return;
    m_rx.append(data);
    // A receiver that waits in a nested event loop leaves the new bytes to the loop below.
    if (!m_routing)
        route();
}

void SerialLine::route()
{
    m_routing = true;
    QPointer<SerialLine> self(this);
    for (;;) {
        const QList<SerialLink *> framed = framedUsers();
        QList<FrameClaim> claims;
        for (SerialLink *user : framed)
            claims << [user](const QByteArray &frameSoFar) { return user->claimSize(frameSoFar); };
        const Piece piece = takePiece(m_rx, claims);
        if (piece.kind == Piece::None)
            break;
        if (piece.kind == Piece::Bytes) {
            giveUnclaimed(piece.bytes);
        } else if (piece.kind == Piece::Unclaimed) {
            qDebug().noquote() << "serial line" << m_portName
                               << "dropped a frame nobody claims:" << piece.bytes.left(12).toHex(' ');
        } else {
            QList<SerialLink *> claimants;
            for (int i : piece.claimants)
                claimants << framed.at(i);
            ownerOf(piece.bytes, claimants)->takeFrame(piece.bytes);
        }
        if (!self)
            return;
    }
    m_routing = false;
}

SerialLine::Piece SerialLine::takePiece(QByteArray &rx, const QList<FrameClaim> &claims)
{
    Piece piece;
    const char *data = rx.constData();
    const int n = rx.size();
    const auto whole = [data, n](int head, qint64 size) {
        return size >= 9 && size <= maxFrameBytes && head + size < n && quint8(data[head + size]) == PlugFrame::split
            && PlugFrame::checkSum(QByteArray::fromRawData(data + head, int(size)));
    };
    const auto coming
        = [n](int head, qint64 size) { return size == 0 || (size >= 9 && size <= maxFrameBytes && head + size >= n); };
    int undecided = -1;
    for (int h = rx.indexOf(char(PlugFrame::head)); h >= 0; h = rx.indexOf(char(PlugFrame::head), h + 1)) {
        const QByteArray view = QByteArray::fromRawData(data + h, n - h);
        bool waiting = false;
        int size = 0;
        for (int i = 0; i < claims.size(); ++i) {
            const int s = claims.at(i)(view);
            if (coming(h, s)) {
                waiting = true;
            } else if (whole(h, s) && (piece.claimants.isEmpty() || s == size)) {
                size = s;
                piece.claimants << i;
            }
        }
        if (piece.claimants.isEmpty()) {
            // A whole frame of a type the program speaks, that none of the claims takes.
            const qint64 known = PlugFrame::sizeFromLength(view);
            if (coming(h, known))
                waiting = true;
            else if (whole(h, known))
                size = int(known);
        }
        if (size > 0) {
            // The bytes before the frame first; the frame on the next call.
            if (h > 0) {
                piece.kind = Piece::Bytes;
                piece.claimants.clear();
                piece.bytes = rx.left(h);
                rx.remove(0, h);
                return piece;
            }
            piece.kind = piece.claimants.isEmpty() ? Piece::Unclaimed : Piece::Frame;
            piece.bytes = rx.left(size);
            rx.remove(0, size + 1);
            return piece;
        }
        if (waiting && undecided < 0)
            undecided = h;
    }
    // Bytes that can no longer begin a claimed frame are decided now; a frame still coming keeps
    // the bytes from its head on.
    int decided = undecided < 0 ? n : undecided;
    if (decided == 0 && n > 4 * maxFrameBytes)
        decided = 1;
    if (decided > 0) {
        piece.kind = Piece::Bytes;
        piece.bytes = rx.left(decided);
        rx.remove(0, decided);
    }
    return piece;
}

SerialLink *SerialLine::ownerOf(const QByteArray &frame, const QList<SerialLink *> &claimants) const
{
    if (claimants.size() == 1)
        return claimants.first();
    SerialLink *best = nullptr;
    int bestScore = 0;
    quint64 bestSequence = 0;
    for (SerialLink *user : claimants) {
        quint64 sequence = 0;
        const int score = user->askedFor(frame, &sequence);
        if (score > bestScore || (score > 0 && score == bestScore && sequence < bestSequence)) {
            best = user;
            bestScore = score;
            bestSequence = sequence;
        }
    }
    if (best)
        return best;
    // Nobody asked for it: most likely the user that wrote last.
    for (SerialLink *user : claimants) {
        if (!best || user->m_lastWrite > best->m_lastWrite)
            best = user;
    }
    return best;
}

void SerialLine::giveUnclaimed(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return;
    if (m_holder) {
        SerialLink *holder = m_holder;
        const bool whole = holder->takeBytes(bytes);
        if (whole && m_holder == holder)
            endTurn(false);
        return;
    }
    m_quiet.restart();
    // The reply to a request whose user has gone.
    if (m_orphanTurn)
        return;
    if (m_last) {
        m_last->takeBytes(bytes);
        return;
    }
    if (m_unsettled)
        return;
    // Nobody asked: a sign of life to the framed users, and what a listener hears.
    QPointer<SerialLine> self(this);
    const QList<SerialLink *> users = m_users;
    for (SerialLink *user : users) {
        if (!self)
            return;
        if (!m_users.contains(user))
            continue;
        if (user->isFramed())
            emit user->bytesHeard(bytes.size());
        else
            user->takeBytes(bytes);
    }
}

void SerialLine::lendOut()
{
    if (m_lent++ > 0)
        return;
    m_unsettled = false;
    closePort();
    emit lentOutChanged(true);
}

void SerialLine::takeBack()
{
    if (m_lent <= 0 || --m_lent > 0)
        return;
    emit lentOutChanged(false);
    if (!m_queue.isEmpty())
        scheduleServe();
}
