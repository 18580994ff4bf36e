#ifndef MQTT_SUBSCRIBE_DIALOG_H
#define MQTT_SUBSCRIBE_DIALOG_H

#include "mqtttopicconfig.h"

#include <QColor>
#include <QDialog>

class QLineEdit;
class jsonHighlighter;

namespace Ui {
class Mqtt_Subscribe_Dialog;
}

// Edits one MQTT topic entry: topic, encoding, QoS, retain, send period and the JSON payload
// template, whose address-carrying members it lists in a mapping table kept in step with it.
class Mqtt_Subscribe_Dialog : public QDialog
{
    Q_OBJECT

public:
    explicit Mqtt_Subscribe_Dialog(QWidget *parent = nullptr);
    Mqtt_Subscribe_Dialog(const MqttTopicConfig &entry, QWidget *parent = nullptr);
    ~Mqtt_Subscribe_Dialog() override;

    void setTitleText(const QString &text);
    void setSendTimeEnabled(bool enabled);
    void setRetainEnabled(bool enabled);
    void loadConfig(const MqttTopicConfig &entry);
    void storeConfig(MqttTopicConfig *entry) const;

    // The address editor of a mapping row; null when there is none.
    QLineEdit *addressEditor(int row) const;

public slots:
    void textEdit_textChanged();
    // An address editor edited by the user; the row is the one of the editor that sent it.
    void addess_Changed(const QString &text);
    void accept() override;
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();

private:
    void setup();
    void buildMappingTable(const QList<MqttParamMapping> &rows);
    void appendRow(const MqttParamMapping &mapping);
    // Replaces the template without rebuilding the table.
    void setTemplateQuietly(const QString &text);
    void showInfo(const QString &text, const QColor &colour);
    int rowOf(const QObject *editor) const;

    Ui::Mqtt_Subscribe_Dialog *ui;
    jsonHighlighter *m_highlighter = nullptr;
    bool m_quiet = false;
};

#endif
