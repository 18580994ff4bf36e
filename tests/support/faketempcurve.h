#ifndef FAKETEMPCURVE_H
#define FAKETEMPCURVE_H

#include "fakeservice.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QPair>
#include <functional>

// A temperature controller's curve port (Endpoints::current().tempModulePort at construction):
// each request (A5, curve, channel, kind, 0 per curve, 5A) is answered with one sample frame
// (A5, count, curve and 32-bit value in tenths per curve) and its end byte 5A. The stream
// commands ('T', period, on) of the command port are recorded.
class FakeTempCurve : public FakeUdpService
{
public:
    FakeTempCurve();

    // Tenths of a degree reported for a channel's value kind; by default
    // (channel + 1) * 100 + kind * 10.
    void setValue(int channel, int kind, qint32 tenths);
    qint32 value(int channel, int kind) const;
    // Applied to each answer before it leaves (to script odd answers); none: answers as built.
    void setReplyFilter(std::function<QByteArray(const QByteArray &answer)> filter);
    // Every 'T' command of the command port, in order.
    QList<QByteArray> streamCommands() const;
    bool streamOn() const;
    int requestCount() const;

    quint16 port() const override { return m_port; }
    void datagram(FakeUdpContext &ctx, const QByteArray &data, const QHostAddress &from, quint16 fromPort) override;
    void command(FakeUdpContext &, const QByteArray &bytes, const QHostAddress &) override;

private:
    quint16 m_port;
    QMap<QPair<int, int>, qint32> m_values;
    std::function<QByteArray(const QByteArray &)> m_filter;
    QList<QByteArray> m_streamCommands;
    bool m_streamOn = false;
    int m_requests = 0;
};

#endif
