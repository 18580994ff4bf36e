#ifndef FAKEFACTORYTOOL_H
#define FAKEFACTORYTOOL_H

#include "factorycodec.h"
#include "fakeservice.h"

#include <QStringList>

// The factory-tool port of a fake module: answers the broadcast query with its 80-byte record,
// takes new addresses for its own MAC ("IPSET#..."), restores its factory record and restarts.
class FakeFactoryTool : public FakeUdpService
{
public:
    // Starts with record as the module's own and as its factory record.
    explicit FakeFactoryTool(const ModuleNetInfo &record);

    quint16 port() const override;
    bool wantsBroadcast() const override { return true; }
    void datagram(FakeUdpContext &ctx, const QByteArray &data, const QHostAddress &from, quint16 fromPort) override;

    // Answers the query with these bytes instead of the record (short or odd replies).
    void setQueryReply(const QByteArray &bytes);
    // Whether an address order for this module is answered with the new record (default yes).
    void setAnswerIpSet(bool answer);

    ModuleNetInfo record() const;
    int restores() const;
    int restarts() const;

private:
    ModuleNetInfo m_record;
    ModuleNetInfo m_factory;
    QByteArray m_queryReply;
    bool m_answerIpSet = true;
    int m_restores = 0;
    int m_restarts = 0;
};

#endif
