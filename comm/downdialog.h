#ifndef DOWNDIALOG_H
#define DOWNDIALOG_H

#include <QByteArray>
#include <QDialog>
#include <QList>
#include <QPointer>
#include <QString>
#include <atomic>
#include <memory>

class DeviceRequest;
class QCheckBox;
class QThread;
class module;

namespace Ui {
class DownDialog;
}

// One row of the download table.
struct DownItem
{
    QCheckBox *checkBox = nullptr; // owned by the table
    module *mod = nullptr;
    int row = 0;
};

// Downloads the parameter bytes of the ticked modules and shows each module's status.
class DownDialog : public QDialog
{
    Q_OBJECT

public:
    explicit DownDialog(QWidget *parent = nullptr);
    ~DownDialog() override;

    void setModuleList(QList<module *> modules);
    void startDownload();

    Ui::DownDialog *form() const { return ui; }

    void done(int result) override;

    // Longest the dialog waits, when it closes, for running downloads to stop.
    static constexpr int stopWaitMs = 3000;

    QList<module *> targetList;
    QString comPort;
    QList<DownItem> items;

signals:
    void startdownsignal();
    void startdownsignal(QByteArray Parame);

public slots:
    void on_pushButton_clicked();
    void SetCurScanIP(QString moduleinfo);
    void Sancefinished();

private:
    // Asks running downloads to stop and waits for them (bounded).
    void stopWork();
    void jobDone();

    Ui::DownDialog *ui;
    QPointer<QThread> m_thread;
    std::shared_ptr<std::atomic<bool>> m_stop;
    QPointer<DeviceRequest> m_serial;
    int m_running = 0;

    // The address text a row is known by: the COM port name or the module's address.
    static QString rowAddress(const QString &text);
};

#endif
