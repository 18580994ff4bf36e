#ifndef MQTTTRANSFERDIALOG_H
#define MQTTTRANSFERDIALOG_H

#include <QDialog>
#include <QList>
#include <QMap>
#include <QString>
#include <functional>

class QLabel;
class QPushButton;
class TitleForm;
class modulebase;

// What the MQTT download and upload dialogs share: their title bar, and transfers run as a chain
// of steps on workers, during which every button ignores clicks.
class MqttTransferDialog : public QDialog
{
    Q_OBJECT

public:
    explicit MqttTransferDialog(QWidget *parent = nullptr);

    // True while a transfer (or a chain of them) runs.
    bool isBusy() const { return m_busy; }

    // Takes the module's target; no transfer reads the module afterwards.
    void setOwner(modulebase *owner);

signals:
    // A chain of transfers has ended.
    void transfersDone();

public slots:
    // One block each (sub-plugs 16 to 19), and the general, last-will and publish blocks in a row.
    void on_pushButton_General_clicked();
    void on_pushButton_Lastwill_clicked();
    void on_pushButton_publish_clicked();
    void on_pushButton_subscribe_clicked();
    void on_pushButton_clicked();

protected:
    using Next = std::function<void()>;
    // One step of a chain; it calls next once it is over, from the event loop.
    using Step = std::function<void(Next next)>;

    // Title bar, and the form's rows: pushButton_<row> and label_<row> for General, Lastwill,
    // publish and subscribe, and pushButton for all. Buttons disabled by the form stay so.
    void setupForm(TitleForm *title, const QString &icon, const QString &text);
    // Runs the steps one after the other; nothing when a chain is running already.
    void runSteps(const QList<Step> &steps);
    Step pause(int msec);
    // The transfer of the block of a sub-plug.
    virtual Step blockStep(int subplug) = 0;
    // Pause between the blocks of a transfer of all.
    virtual int blockGapMs() const = 0;
    // The label that shows the result of the block of a sub-plug.
    QLabel *resultLabel(int subplug) const { return m_labels.value(subplug); }

    bool m_hasOwner = false;
    bool m_serial = false;
    QString m_ip;
    QString m_port;

private:
    void runFrom(QList<Step> steps);
    void setBusy(bool busy);

    QList<QPushButton *> m_buttons;
    QMap<int, QLabel *> m_labels;
    bool m_busy = false;
};

#endif
