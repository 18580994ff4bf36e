#ifndef IOLINKPORTSETFRAME_CTRL_H
#define IOLINKPORTSETFRAME_CTRL_H

#include "channel_ctrl.h"

#include <QByteArray>
#include <QString>

class QLineEdit;

namespace Ui {
class IoLinkPortSetFrame_Ctrl;
}

// One master port on the port set-up page: I/O parameters, the port's IO-Link configuration,
// one ISDU read or write, and a log of the master's answers. Requests go out through the link
// and never wait; each answer updates the frame whenever it arrives.
class IoLinkPortSetFrame_Ctrl : public Channel_Ctrl
{
    Q_OBJECT

public:
    explicit IoLinkPortSetFrame_Ctrl(QWidget *parent = nullptr);
    ~IoLinkPortSetFrame_Ctrl() override;

    void retranslate(int language);

    // The link hands these the payload of an answer for this frame's port.
    void appendLog(QString text, bool failed);
    void showIoParams(const QByteArray &payload);
    void showPortConfig(const QByteArray &payload);
    void showIsduRead(const QByteArray &payload);

protected:
    void buildFrame() override;

private slots:
    void on_pushButtonSetInput_clicked();
    void on_pushButtonRefresInput_clicked();
    void on_btnSetLinkPort_clicked();
    void on_pushButtonRefreshLinkPort_clicked();
    void on_btnIsDURead_clicked();
    void on_btnIsDUWrite_clicked();
    void on_comboBox_Fun_currentIndexChanged(int index);
    void on_lineEditInputLength_textChanged(QString);
    void on_lineEditOutputLength_textChanged(QString);

private:
    void warn(const QString &text);
    // The number in line, trimmed; false, after the warning and with the line's text selected,
    // when it is empty, not a number in base, or above max.
    bool readNumber(QLineEdit *line, int base, quint32 max, const QString &warning, quint32 *value);
    void showInputLength();
    void showOutputLength();

    Ui::IoLinkPortSetFrame_Ctrl *ui;
};

#endif
