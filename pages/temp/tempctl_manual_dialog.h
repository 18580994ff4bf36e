#ifndef TEMPCTL_MANUAL_DIALOG_H
#define TEMPCTL_MANUAL_DIALOG_H

#include "modulebase.h"
#include "tempctldebugblocks.h"

#include <QDialog>
#include <QMap>
#include <QPointer>
#include <QStringList>

class DeviceRequest;
class QTableWidget;

namespace Ui {
class Tempctl_Manual_Dialog;
}

// The live debug window of a temperature controller: polls the status of the eight channels
// every 500 ms and, in debug mode, overrides their mode, control register, PID terms, target and
// manual output. Every exchange runs on a worker, one at a time; the window keeps the module's
// address and connection type, never the module itself.
class Tempctl_Manual_Dialog : public QDialog
{
    Q_OBJECT

public:
    static constexpr int plug = 19;
    static constexpr int statusSubplug = 19;
    static constexpr int debugSubplug = 20;
    static constexpr int pollMs = 500;
    // Failed status reads in a row that end the connection.
    static constexpr int maxFailedReads = 4;

    Tempctl_Manual_Dialog(modulebase *owner, QWidget *parent = nullptr);
    ~Tempctl_Manual_Dialog() override;

    void setModule(modulebase *owner);
    // The module is going away: polling ends, nothing more is sent to it and the window closes.
    void ownerGone();
    // Shows every text in the language now installed; the window follows a language switch
    // by itself.
    void retranslate();

    // Starts one status read; -1 when none can be made.
    int readStatus();
    void parseStatus(QByteArray block);
    // Starts sending debugBlock; -1 when it cannot be sent.
    int writeDebugBlock();
    int disconnectLink();

    QStringList monitorRowNames;
    QStringList debugRowNames;
    int failedReads = 0;
    int timerId = -1;
    QMap<int, QString> identStateTexts;
    QMap<int, QString> modeTexts;
    TempCtlDebugBlock debugBlock;
    bool seeded = false;
    bool debugPending = false;
    bool connected = false;

signals:
    void closeDialog();

public slots:
    void modfiyctrlreg(uint16_t value);
    void modechanged(int index);
    void ModfiyValue(double index);
    void on_pushButton_clicked(bool checked);
    void on_comboBox_currentIndexChanged(int index);
    void on_tableWidget_cellActivated(int row, int column);
    void on_pushButton_clicked();

    void reject() override;

protected:
    void timerEvent(QTimerEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // The title, the row names and the texts of modes and states, through the translation.
    void setTexts();
    void buildMonitorTable();
    void buildDebugTable();
    // counts: a failure of this read counts toward the disconnect.
    int startRead(bool counts);
    void statusRead(int result, const QByteArray &data, bool counts);
    void countFailedRead();
    void setAllEnable(quint16 enable);
    // Channel record (0-based) of the debug-table column holding widget, or -1; row receives
    // the widget's row.
    int channelOf(QObject *widget, int *row) const;

    Ui::Tempctl_Manual_Dialog *ui;
    QString m_ip;
    modulebase::CONNEST_TYPE m_connType = modulebase::CONNEST_NONE;
    // Exchanges of this window still out; a tick starts no other meanwhile.
    int m_inFlight = 0;
    QPointer<DeviceRequest> m_read;
    // Counts connects, so that a read of an earlier connection is not taken for this one's.
    int m_generation = 0;
    bool m_ownerGone = false;
};

#endif
