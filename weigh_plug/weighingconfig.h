#ifndef WEIGHINGCONFIG_H
#define WEIGHINGCONFIG_H

#include <QByteArray>
#include <QWidget>

class modulebase;

namespace Ui {
class weighingconfig;
}

// The panel of one weighing channel: shows gross, tare and net weight and turns the user's
// actions into weighing requests, which the page queues and sends.
class weighingconfig : public QWidget
{
    Q_OBJECT

public:
    weighingconfig(int channel, modulebase *owner, QWidget *parent = nullptr);
    ~weighingconfig() override;

    // Builds the request frame and hands it to the page; nothing is sent from here.
    void sendCommand(int command, QByteArray payload);
    // A reply for this channel; 1 when a handler took it (and for 0xFF), else 0.
    int dispatchReply(int command, QByteArray data);
    void setConnected(bool connected);

    modulebase *owner = nullptr;
    int channel = 0;

signals:
    void weighSendMessage(QByteArray &data);

public slots:
    void on_pushButton_zeroset_clicked();
    void on_pushButton_sample_clicked();
    void on_pushButton_zerocorrection_clicked();
    void on_pushButton_free_cali_clicked();
    void on_checkBox_calib2_stateChanged(int state);
    void on_checkBox_calib3_stateChanged(int state);
    void on_checkBox_calib4_stateChanged(int state);
    void on_pushButton_calib1_clicked();
    void on_pushButton__calib2_clicked();
    void on_pushButton__calib3_clicked();
    void on_pushButton__calib4_clicked();
    void on_pushButton_set_tare_clicked();
    void on_pushButton_clr_tare_clicked();
    void weighgetMessage(QByteArray &data);
    void on_groupBox_freecali_clicked(bool checked);
    void on_groupBox_cailb_clicked(bool checked);
    void on_pushButton_end_clicked();
    void on_comboBox_unit_currentTextChanged(const QString &text);

private:
    void setRowEnabled(int row, bool enabled);
    void sendCalibPoint(int row);

    Ui::weighingconfig *ui;
};

#endif
