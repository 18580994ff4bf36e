#ifndef FAKEWEIGHING_H
#define FAKEWEIGHING_H

#include "serialpeer.h"

#include <QByteArray>
#include <QList>
#include <QPair>

// A weighing module with two channels on a serial peer: answers weight polls with its gross,
// tare and net weight (in tenths), takes tare, zero, filter and calibration requests, and answers
// the factory page's raw-value polls. Requests arrive as the prefix byte and a plug frame.
class FakeWeighing : public SerialPeer::Device
{
public:
    struct Request
    {
        int command;
        QByteArray payload;
    };

    // Weights of a channel in tenths; net is gross less tare.
    void setGross(int channel, qint32 tenths);
    // The result byte of every one-byte reply (non-zero: success).
    void setResult(quint8 result);
    // The factory page's raw values of both channels: each answer moves them by up to swing
    // (tenths) about these centres, in steps of one, and never past either end of their unsigned
    // 32 bits, as a loaded cell's readings do. A swing of 0 answers the centres as they are. At
    // first 1234 and 2345 (123.4 and 234.5 KG on the page) with a swing of 5.
    void setRawValues(quint32 first, quint32 second);
    void setRawSwing(quint32 swing);
    // Requests understood so far, in order.
    QList<Request> requests() const;
    qint32 tare(int channel) const;
    int filter(int channel) const;
    int unit(int channel) const;

    int consume(const QByteArray &pending, QList<SerialPeer::Reply> &replies) override;

private:
    struct Channel
    {
        qint32 gross = 0;
        qint32 tare = 0;
        int filter = 0;
        int unit = 0;
    };

    mutable std::mutex m_mutex;
    Channel m_channels[2];
    quint8 m_result = 1;
    quint32 m_raw[2] = { 1234, 2345 };
    quint32 m_rawSwing = 5;
    quint64 m_rawAnswers = 0;
    QList<Request> m_requests;
};

#endif
