#ifndef IOLINKINFOFRAME_CTRL_H
#define IOLINKINFOFRAME_CTRL_H

#include "channel_ctrl.h"

#include <QByteArray>

namespace Ui {
class IoLinkInfoFrame_Ctrl;
}

// Device information panel of one master port: while visible it asks the master for the port's
// device information on showing and then about every two seconds, and shows each reply.
class IoLinkInfoFrame_Ctrl : public Channel_Ctrl
{
    Q_OBJECT

public:
    static constexpr int pollMs = 2000;

    explicit IoLinkInfoFrame_Ctrl(QWidget *parent = nullptr);
    ~IoLinkInfoFrame_Ctrl() override;

    // Re-applies the texts (which empties the shown values) and rebuilds the event texts of all
    // device information panels in language (0 Chinese, else English).
    void retranslate(int language);
    // The reply payload the link hands over (port first).
    void showDeviceInfo(const QByteArray &payload);
    // A request did not go out, and why: said in the event box.
    void showUnsent(const QString &why);

protected:
    bool event(QEvent *e) override;
    void buildFrame() override;

private slots:
    void on_btnCopyDeviceID_clicked();
    void on_btnCopyVendorid_clicked();

private:
    Ui::IoLinkInfoFrame_Ctrl *ui;
    int timerId = 0;
};

#endif
