#include "mqtt_subscribe_dialog.h"
#include "ui_mqtt_subscribe_dialog.h"

#include "jsonhighlighter.h"
#include "mqttblocks.h"
#include "mqtttemplate.h"
#include "prompts.h"

#include <QFile>
#include <QFontMetricsF>
#include <QHeaderView>
#include <QIntValidator>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTextCursor>
#include <QtDebug>

namespace {

const char addressStyle[] = "QLineEdit{border-width:0;border-style:outset}";
const char emptyAddressStyle[] = "background-color:rgb(238,99,99);";
// The address an editor showed when the template last took it.
const char shownAddress[] = "shownAddress";
// Member value as printed JSON text.
constexpr int valueRole = Qt::UserRole;

QString desktop()
{
    return Prompts::defaultFolder();
}

} // namespace

Mqtt_Subscribe_Dialog::Mqtt_Subscribe_Dialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::Mqtt_Subscribe_Dialog)
{
    setup();
}

Mqtt_Subscribe_Dialog::Mqtt_Subscribe_Dialog(const MqttTopicConfig &entry, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::Mqtt_Subscribe_Dialog)
{
    setup();
    loadConfig(entry);
}

Mqtt_Subscribe_Dialog::~Mqtt_Subscribe_Dialog()
{
    delete ui;
}

void Mqtt_Subscribe_Dialog::setup()
{
    ui->setupUi(this);
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    ui->widget->hideMaxButton();
    ui->widget->hideMinButton();
    ui->widget->setTitleIcon(QIcon(QStringLiteral(":/new/prefix1/img/json.png")));
    ui->widget->setWindow(this);
    ui->widget->setTitleText(tr("MQTT参数"));

    ui->tableWidget->setColumnCount(2);
    ui->tableWidget->setHorizontalHeaderLabels({ tr("参数名称"), tr("寄存器地址") });
    ui->tableWidget->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    ui->tableWidget->verticalHeader()->setVisible(false);
    ui->tableWidget->setMaximumWidth(200);

    m_highlighter = new jsonHighlighter(ui->textEdit->document());

    ui->spinBox_sendtime->setSuffix(QStringLiteral("S"));
    ui->spinBox_sendtime->setRange(1, 255);
    ui->spinBox_sendtime->setValue(5);

    ui->lineEdit_Topic->setText(QStringLiteral("testtopic"));
    ui->lineEdit_Topic->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[^#+]+")), ui->lineEdit_Topic));

    connect(ui->buttonBox, &QDialogButtonBox::accepted, this, &Mqtt_Subscribe_Dialog::accept);
    connect(ui->buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(ui->textEdit, &QTextEdit::textChanged, this, &Mqtt_Subscribe_Dialog::textEdit_textChanged);

    ui->textEdit->setTabStopDistance(4 * QFontMetricsF(ui->textEdit->font()).horizontalAdvance(QLatin1Char(' ')));
}

void Mqtt_Subscribe_Dialog::setTitleText(const QString &text)
{
    ui->widget->setTitleText(text);
}

void Mqtt_Subscribe_Dialog::setSendTimeEnabled(bool enabled)
{
    if (enabled)
        return;
    ui->spinBox_sendtime->setEnabled(false);
    ui->label_sendtime->setEnabled(false);
}

void Mqtt_Subscribe_Dialog::setRetainEnabled(bool enabled)
{
    if (enabled)
        return;
    ui->radioButton_Retain->setEnabled(false);
    ui->label_Retain->setEnabled(false);
}

void Mqtt_Subscribe_Dialog::loadConfig(const MqttTopicConfig &entry)
{
    ui->lineEdit_Topic->setText(entry.topic);
    ui->comboBox_Format->setCurrentIndex(entry.format);
    ui->comboBox_QoS->setCurrentIndex(entry.qos);
    ui->radioButton_Retain->setChecked(entry.retain);
    ui->spinBox_sendtime->setValue(entry.sendTime);
    setTemplateQuietly(entry.payload);
    for (int row = ui->tableWidget->rowCount() - 1; row >= 0; --row)
        ui->tableWidget->removeRow(row);
    for (const MqttParamMapping &mapping : entry.mappings)
        appendRow(mapping);
}

void Mqtt_Subscribe_Dialog::storeConfig(MqttTopicConfig *entry) const
{
    // The separator ends a field on the wire and a zero ends the block: neither may be typed in.
    entry->topic = mqttFieldText(ui->lineEdit_Topic->text());
    entry->format = ui->comboBox_Format->currentIndex();
    entry->qos = ui->comboBox_QoS->currentIndex();
    entry->retain = ui->radioButton_Retain->isChecked();
    entry->sendTime = ui->spinBox_sendtime->value();
    entry->payload = mqttFieldText(ui->textEdit->toPlainText());
    entry->mappings.clear();
    for (int row = 0; row < ui->tableWidget->rowCount(); ++row) {
        const QTableWidgetItem *item = ui->tableWidget->item(row, 0);
        const QLineEdit *editor = addressEditor(row);
        entry->mappings.append({ item ? item->data(valueRole).toString() : QString(), item ? item->text() : QString(),
            editor ? editor->text() : QString() });
    }
}

QLineEdit *Mqtt_Subscribe_Dialog::addressEditor(int row) const
{
    return qobject_cast<QLineEdit *>(ui->tableWidget->cellWidget(row, 1));
}

void Mqtt_Subscribe_Dialog::textEdit_textChanged()
{
    if (m_quiet)
        return;
    QString text = ui->textEdit->toPlainText();
    if (text.size() > mqttTemplateLimit) {
        int cursor = ui->textEdit->textCursor().position();
        text = mqttCutTemplate(text, mqttTemplateLimit, &cursor);
        setTemplateQuietly(text);
        QTextCursor at = ui->textEdit->textCursor();
        at.setPosition(cursor);
        ui->textEdit->setTextCursor(at);
        showInfo(tr("json 文本超过%1").arg(mqttTemplateLimit), Qt::red);
    }
    bool parsed = false;
    const QList<MqttParamMapping> rows = mqttTemplateMappings(text, &parsed);
    if (!parsed) {
        showInfo(QStringLiteral("Failed to parse the JSON document"), Qt::red);
        qCritical() << "Failed to parse the JSON document";
        return;
    }
    for (int row = ui->tableWidget->rowCount() - 1; row >= 0; --row)
        ui->tableWidget->removeRow(row);
    showInfo(QStringLiteral("JSON format OK"), Qt::green);
    buildMappingTable(rows);
}

void Mqtt_Subscribe_Dialog::buildMappingTable(const QList<MqttParamMapping> &rows)
{
    for (const MqttParamMapping &row : rows)
        appendRow(row);
}

void Mqtt_Subscribe_Dialog::appendRow(const MqttParamMapping &mapping)
{
    const int row = ui->tableWidget->rowCount();
    ui->tableWidget->insertRow(row);
    auto *item = new QTableWidgetItem(mapping.name);
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    item->setData(valueRole, mapping.value);
    ui->tableWidget->setItem(row, 0, item);
    auto *editor = new QLineEdit(mapping.address);
    editor->setValidator(new QIntValidator(editor));
    editor->setContextMenuPolicy(Qt::NoContextMenu);
    editor->setStyleSheet(QString::fromLatin1(addressStyle));
    editor->setProperty(shownAddress, mapping.address);
    connect(editor, &QLineEdit::textEdited, this, &Mqtt_Subscribe_Dialog::addess_Changed);
    ui->tableWidget->setCellWidget(row, 1, editor);
}

int Mqtt_Subscribe_Dialog::rowOf(const QObject *editor) const
{
    for (int row = 0; row < ui->tableWidget->rowCount(); ++row) {
        if (editor && ui->tableWidget->cellWidget(row, 1) == editor)
            return row;
    }
    return ui->tableWidget->currentRow();
}

void Mqtt_Subscribe_Dialog::addess_Changed(const QString &text)
{
    // The editor being typed in need not be in the current row: take the row that sent the edit.
    const int row = rowOf(sender());
    const QTableWidgetItem *item = ui->tableWidget->item(row, 0);
    if (!item)
        return;
    const QString changed = mqttTemplateWithAddress(ui->textEdit->toPlainText(), item->text(), text);
    if (changed.isNull())
        return;
    QLineEdit *editor = addressEditor(row);
    if (changed.size() > mqttTemplateLimit) {
        // cJSON's layout may make the template longer than the module takes: keep the last one.
        if (editor)
            editor->setText(editor->property(shownAddress).toString());
        showInfo(tr("json 文本超过%1").arg(mqttTemplateLimit), Qt::red);
        return;
    }
    if (editor)
        editor->setProperty(shownAddress, text);
    setTemplateQuietly(changed);
    ui->textEdit->update();
}

void Mqtt_Subscribe_Dialog::accept()
{
    // The module would get a payload it cannot read, and rows the user never saw mapped.
    bool parsed = false;
    mqttTemplateMappings(ui->textEdit->toPlainText(), &parsed);
    if (!parsed) {
        showInfo(QStringLiteral("Failed to parse the JSON document"), Qt::red);
        Prompts::warning(nullptr, tr("错误"), QStringLiteral("Failed to parse the JSON document"), QMessageBox::Ok);
        return;
    }
    for (int row = 0; row < ui->tableWidget->rowCount(); ++row) {
        QLineEdit *editor = addressEditor(row);
        if (!editor)
            continue;
        if (editor->text().isEmpty()) {
            ui->tableWidget->setCurrentCell(row, 1);
            editor->setStyleSheet(QString::fromLatin1(emptyAddressStyle));
            Prompts::warning(nullptr, tr("错误"), tr("寄存器地址不能为空"), QMessageBox::Ok);
            return;
        }
        editor->setStyleSheet(QString::fromLatin1(addressStyle));
    }
    QDialog::accept();
}

void Mqtt_Subscribe_Dialog::on_pushButton_clicked()
{
    const QString name = Prompts::getOpenFileName(this, tr("选择文件"), desktop());
    if (name.isEmpty())
        return;
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    const QString printed = mqttPrintTemplate(QString::fromUtf8(file.readAll()));
    // A file that is no JSON, or that cJSON lays out longer than the module takes, leaves the
    // template the user has.
    if (printed.isNull()) {
        showInfo(QStringLiteral("Failed to parse the JSON document"), Qt::red);
        qCritical() << "Failed to parse the JSON document";
        return;
    }
    if (printed.size() > mqttTemplateLimit) {
        showInfo(tr("json 文本超过%1").arg(mqttTemplateLimit), Qt::red);
        return;
    }
    ui->textEdit->setPlainText(printed);
}

void Mqtt_Subscribe_Dialog::on_pushButton_2_clicked()
{
    const QString name = Prompts::getSaveFileName(this, tr("json File"), desktop(), QStringLiteral("*.json"));
    if (name.isEmpty())
        return;
    // The old file stays until the new one is complete.
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly)) {
        Prompts::critical(this, tr("Error"), tr("Failed to open file \"%1\" for save!").arg(name));
        return;
    }
    file.write(ui->textEdit->toPlainText().toUtf8());
    if (!file.commit())
        Prompts::critical(this, tr("Error"), tr("Failed to open file \"%1\" for save!").arg(name));
}

void Mqtt_Subscribe_Dialog::setTemplateQuietly(const QString &text)
{
    m_quiet = true;
    ui->textEdit->setPlainText(text);
    m_quiet = false;
}

void Mqtt_Subscribe_Dialog::showInfo(const QString &text, const QColor &colour)
{
    QPalette palette = ui->label_info->palette();
    palette.setColor(QPalette::WindowText, colour);
    ui->label_info->setPalette(palette);
    ui->label_info->setText(text);
}
