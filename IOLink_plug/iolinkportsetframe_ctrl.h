#ifndef IOLINKPORTSETFRAME_CTRL_H
#define IOLINKPORTSETFRAME_CTRL_H

#include "channel_ctrl.h"

#include <QByteArray>
#include <QString>

// Port set-up panel of one master port: I/O parameters, port configuration, ISDU access, log.
class IoLinkPortSetFrame_Ctrl : public Channel_Ctrl
{
    Q_OBJECT

public:
    explicit IoLinkPortSetFrame_Ctrl(QWidget *parent = nullptr);
    ~IoLinkPortSetFrame_Ctrl() override;

    void retranslate(int language);

    // Replies the link hands over, each with its payload (port first).
    void appendLog(QString text, bool failed);
    void showIoParams(const QByteArray &payload);
    void showPortConfig(const QByteArray &payload);
    void showIsduRead(const QByteArray &payload);
};

#endif
