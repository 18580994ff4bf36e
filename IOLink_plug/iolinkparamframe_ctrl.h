#ifndef IOLINKPARAMFRAME_CTRL_H
#define IOLINKPARAMFRAME_CTRL_H

#include "channel_ctrl.h"

#include <QByteArray>

// Parameter table panel of one master port: 20 ISDU rows to test, save and read back.
class IoLinkParamFrame_Ctrl : public Channel_Ctrl
{
    Q_OBJECT

public:
    explicit IoLinkParamFrame_Ctrl(QWidget *parent = nullptr);
    ~IoLinkParamFrame_Ctrl() override;

    void retranslate(int language);

    // Replies the link hands over, each with its payload (port first).
    void showWriteResult(const QByteArray &payload);
    void showReadRow(const QByteArray &payload);
    void showSaveResult(const QByteArray &payload);
};

#endif
