#ifndef WEIGHING_FACTORY_CALIBFORM_H
#define WEIGHING_FACTORY_CALIBFORM_H

#include "weighlinkpage.h"

#include <QByteArray>

class QPushButton;

namespace Ui {
class weighing_Factory_calibForm;
}

// Factory calibration of a weighing module: each channel is taken through no load and three
// input levels, then closed; while linked, the raw values of both channels are polled every
// 100 ms over the page's own serial link.
class weighing_Factory_calibForm : public WeighLinkPage
{
    Q_OBJECT

public:
    explicit weighing_Factory_calibForm(QWidget *parent = nullptr);
    ~weighing_Factory_calibForm() override;

    void resetPage() override;
    void retranslate(int language) override;

    void buildFrame(int command, QByteArray payload);
    void sendCalibPoint(int channel, int value);
    int dispatchFrame(QByteArray frame) override;
    void showRawValues(int command, QByteArray data);
    void connectLink() override;
    void disconnectLink() override;

public slots:
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
    void buildPage() override;
    void hideEvent(QHideEvent *event) override;
    QByteArray pollFrame() override;
    void showLinkUp() override;
    int replySize(const QByteArray &frameSoFar) const override;

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
