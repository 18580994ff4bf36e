#include "fakefactorytool.h"

#include "endpoints.h"

#include <QRegularExpression>

namespace {

// "192.168.001.010" as the module reads it: each part decimal, zeros padded on the left.
bool readAddress(const QString &text, std::array<quint8, 4> &out)
{
    const QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() != 4)
        return false;
    std::array<quint8, 4> read {};
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        const uint v = parts[i].toUInt(&ok, 10);
        if (!ok || v > 255)
            return false;
        read[i] = quint8(v);
    }
    out = read;
    return true;
}

} // namespace

FakeFactoryTool::FakeFactoryTool(const ModuleNetInfo &record)
    : m_record(record)
    , m_factory(record)
{
}

quint16 FakeFactoryTool::port() const
{
    return Endpoints::current().factoryModulePort;
}

void FakeFactoryTool::datagram(FakeUdpContext &ctx, const QByteArray &data, const QHostAddress &from, quint16 fromPort)
{
    // The answer leaves after the lock is given back: replying reads the misbehaviour under it.
    QByteArray answer;
    {
        QMutexLocker lock(&mutex);
        if (data == factoryHello) {
            answer = m_queryReply.isNull() ? writeModuleNetInfo(m_record) : m_queryReply;
        } else if (data == factoryRestore) {
            ++m_restores;
            m_record = m_factory;
            answer = writeModuleNetInfo(m_record);
        } else if (data == factoryReset) {
            ++m_restarts;
        } else if (data.startsWith("IPSET#")) {
            static const QRegularExpression order(
                QStringLiteral("^IPSET#MAC:([0-9A-F-]{17}),IP([0-9.]+),MK([0-9.]+),GT([0-9.]+)$"));
            const QRegularExpressionMatch m = order.match(QString::fromLatin1(data));
            if (!m.hasMatch() || m.captured(1) != macToString(m_record.mac))
                return;
            ModuleNetInfo next = m_record;
            if (!readAddress(m.captured(2), next.ip) || !readAddress(m.captured(3), next.mask)
                || !readAddress(m.captured(4), next.gateway))
                return;
            m_record = next;
            if (m_answerIpSet)
                answer = writeModuleNetInfo(m_record);
        }
    }
    if (!answer.isNull())
        ctx.reply(answer, from, fromPort);
}

void FakeFactoryTool::setQueryReply(const QByteArray &bytes)
{
    QMutexLocker lock(&mutex);
    m_queryReply = bytes;
}

void FakeFactoryTool::setAnswerIpSet(bool answer)
{
    QMutexLocker lock(&mutex);
    m_answerIpSet = answer;
}

ModuleNetInfo FakeFactoryTool::record() const
{
    QMutexLocker lock(&mutex);
    return m_record;
}

int FakeFactoryTool::restores() const
{
    QMutexLocker lock(&mutex);
    return m_restores;
}

int FakeFactoryTool::restarts() const
{
    QMutexLocker lock(&mutex);
    return m_restarts;
}
