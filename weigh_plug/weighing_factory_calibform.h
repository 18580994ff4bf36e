#ifndef WEIGHING_FACTORY_CALIBFORM_H
#define WEIGHING_FACTORY_CALIBFORM_H

#include "menubase.h"

#include <QByteArray>
#include <QList>

class QPushButton;
class SerialLink;

namespace Ui {
class weighing_Factory_calibForm;
}

// Factory calibration of a weighing module: each channel is taken through no load and three
// input levels, then closed; while linked, the raw values of both channels are polled every
// 100 ms over the page's own serial link.
class weighing_Factory_calibForm : public menubase
{
    Q_OBJECT

public:
    explicit weighing_Factory_calibForm(QWidget *parent = nullptr);
    ~weighing_Factory_calibForm() override;

    void resetPage() override;
    void retranslate(int language) override;

    void buildFrame(int command, QByteArray payload);
    void sendCalibPoint(int channel, int value);
    bool checkSum(const QByteArray &frame) const;
    QByteArray _SplitData(QByteArray aryBuf);
    QByteArray SplitData();
    int dispatchFrame(QByteArray frame);
    void showRawValues(int command, QByteArray data);
    void connectLink();
    void disconnectLink();

    QByteArray residuedata;
    SerialLink *uart = nullptr;
    QList<QByteArray> sendQueue;
    int noReplyCount = 0;
    int timerId = -1;
    bool linkUp = false;

public slots:
    void eth_messageReceive();
    void com_messageReceive(const QByteArray &bytes);
    void pushButtonch1_0V_clicked(bool checked);
    void pushButtonch1_10mV_clicked(bool checked);
    void pushButtonch1_20mV_clicked(bool checked);
    void pushButtonch1_30mV_clicked(bool checked);
    void pushButtonch2_0V_clicked(bool checked);
    void pushButtonch2_10mV_clicked(bool checked);
    void pushButtonch2_20mV_clicked(bool checked);
    void pushButtonch2_30mV_clicked(bool checked);
    void on_pushButtonch1_end_clicked(bool checked);
    void on_pushButton2_end_clicked(bool checked);
    void on_pushButton_clicked(bool checked);

protected:
    void timerEvent(QTimerEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    struct Channel
    {
        int byte;
        QPushButton *levels[4];
        QPushButton *end;
        int values[4];
    };

    void levelClicked(Channel &channel, int level, bool checked);
    void endClicked(Channel &channel, bool checked);

    Ui::weighing_Factory_calibForm *ui;
    Channel m_channels[2];
};

#endif
