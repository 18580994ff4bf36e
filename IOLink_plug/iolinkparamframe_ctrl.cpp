#include "iolinkparamframe_ctrl.h"
#include "ui_iolinkparamframe_ctrl.h"

#include "iolink_module.h"
#include "iolinkhexpairs.h"
#include "iolinkparamtable.h"
#include "prompts.h"
#include "tohexstring.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScrollBar>

namespace {

enum Column { ResultColumn, TestColumn, IndexColumn, SubIndexColumn, DataColumn, ColumnCount };

constexpr int rowCount = IoLinkParamRow::rows;
constexpr int rowHeight = 30;
constexpr int readPeriodMs = 100;

} // namespace

IoLinkParamFrame_Ctrl::IoLinkParamFrame_Ctrl(QWidget *parent)
    : Channel_Ctrl(parent)
    , ui(new Ui::IoLinkParamFrame_Ctrl)
{
    m_readTimer.setInterval(readPeriodMs);
    connect(&m_readTimer, &QTimer::timeout, this, &IoLinkParamFrame_Ctrl::readNextRow);
    buildUnlessDeferred();
}

void IoLinkParamFrame_Ctrl::buildFrame()
{
    ui->setupUi(this);

    QTableWidget *table = ui->tableWidget;
    table->setColumnCount(ColumnCount);
    QHeaderView *header = table->horizontalHeader();
    for (int c = ResultColumn; c < DataColumn; ++c)
        header->setSectionResizeMode(c, QHeaderView::Interactive);
    header->setSectionResizeMode(DataColumn, QHeaderView::Stretch);
    header->setStretchLastSection(true);
    // On the header alone: a sheet on the table would send every cell widget through the
    // style-sheet machinery, which doubles what the table costs.
    header->setStyleSheet(QStringLiteral("QHeaderView::section { border-bottom: 1px solid black; }"));
    table->setColumnWidth(ResultColumn, 200);
    table->setColumnWidth(TestColumn, 100);
    table->setColumnWidth(IndexColumn, 100);
    table->setColumnWidth(SubIndexColumn, 100);
    table->setRowCount(rowCount);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);

    // One validator per column serves all rows (a validator does not belong to its editor).
    QValidator *validators[] = {
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("^[0-9a-fA-F]{1,4}$")), this),
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("^[0-9a-fA-F]{1,2}$")), this),
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("([0-9A-Fa-f]{2} )*[0-9A-Fa-f]{2}")), this),
    };
    QWidget *previous = nullptr;
    for (int row = 0; row < rowCount; ++row) {
        table->setRowHeight(row, rowHeight);
        auto *test = new QPushButton(tr("测试"));
        test->setMaximumHeight(rowHeight);
        connect(test, &QPushButton::clicked, this, &IoLinkParamFrame_Ctrl::OnClickSend);
        table->setCellWidget(row, TestColumn, test);
        table->setItem(row, ResultColumn, new QTableWidgetItem);

        for (int c = IndexColumn; c <= DataColumn; ++c) {
            auto *line = new QLineEdit;
            line->setMaximumHeight(rowHeight);
            line->setValidator(validators[c - IndexColumn]);
            table->setCellWidget(row, c, line);
            if (previous)
                QWidget::setTabOrder(previous, line);
            previous = line;
        }
    }
    const int language = takePendingLanguage();
    if (language >= 0)
        retranslate(language);
}

IoLinkParamFrame_Ctrl::~IoLinkParamFrame_Ctrl()
{
    delete ui;
}

void IoLinkParamFrame_Ctrl::retranslate(int language)
{
    if (deferRetranslate(language))
        return;
    ui->retranslateUi(this);
    const QStringList labels = language == 0
        ? QStringList { QStringLiteral("结果"), QString(), QStringLiteral("索引(Hex)"), QStringLiteral("子索引(Hex)"),
              QStringLiteral("数据(Hex)") }
        : QStringList { QStringLiteral("Result"), QString(), QStringLiteral("Index(Hex)"),
              QStringLiteral("SubIndex(Hex)"), QStringLiteral("Data(Hex)") };
    ui->tableWidget->setHorizontalHeaderLabels(labels);
    for (int row = 0; row < rowCount; ++row) {
        if (auto *test = qobject_cast<QPushButton *>(ui->tableWidget->cellWidget(row, TestColumn)))
            test->setText(tr("测试"));
    }
}

QLineEdit *IoLinkParamFrame_Ctrl::editor(int row, int column) const
{
    return qobject_cast<QLineEdit *>(ui->tableWidget->cellWidget(row, column));
}

IoLinkParamTexts IoLinkParamFrame_Ctrl::rowTexts(int row) const
{
    IoLinkParamTexts texts;
    texts.index = editor(row, IndexColumn)->text();
    texts.subIndex = editor(row, SubIndexColumn)->text();
    texts.data = editor(row, DataColumn)->text();
    return texts;
}

bool IoLinkParamFrame_Ctrl::checkRow(IoLinkParamRow *out, int row)
{
    IoLinkParamTexts texts = rowTexts(row);
    const IoLinkParamRowError error = checkIoLinkParamRow(&texts, port, quint8(row), out);
    // Fill-ins ("00" for an empty field) show in the editors, whether or not a later field fails.
    const QString filled[] = { texts.index, texts.subIndex, texts.data };
    for (int c = IndexColumn; c <= DataColumn; ++c) {
        QLineEdit *line = editor(row, c);
        if (line->text() != filled[c - IndexColumn])
            line->setText(filled[c - IndexColumn]);
    }

    switch (error) {
    case IoLinkParamRowError::None:
        return true;
    case IoLinkParamRowError::Index:
        Prompts::warning(this, tr("失败"), tr("索引输入错误，输入要为16进制!"), QMessageBox::Ok);
        break;
    case IoLinkParamRowError::SubIndex:
        Prompts::warning(this, QStringLiteral("error"), tr("子索引输入错误，为16进制!"), QMessageBox::Ok);
        break;
    case IoLinkParamRowError::DataFormat:
        Prompts::warning(
            this, QStringLiteral("error"), tr("输入数据格式不对! 请按字节输入16进制中间用空格隔开!"), QMessageBox::Ok);
        break;
    case IoLinkParamRowError::DataTooLong:
        Prompts::warning(
            this, QStringLiteral("error"), tr("输入数据不能超过%1个").arg(IoLinkParamRow::dataSize), QMessageBox::Ok);
        break;
    }
    return false;
}

void IoLinkParamFrame_Ctrl::showResult(int row, const QString &text, bool failed)
{
    QTableWidgetItem *item = ui->tableWidget->item(row, ResultColumn);
    item->setText(text);
    item->setForeground(failed ? Qt::red : Qt::black);
}

void IoLinkParamFrame_Ctrl::showUnsent(int row, const QString &why)
{
    if (row >= 0 && row < rowCount && isBuilt())
        showResult(row, why, true);
}

void IoLinkParamFrame_Ctrl::clearResults()
{
    for (int row = 0; row < rowCount; ++row)
        showResult(row, QString(), false);
}

void IoLinkParamFrame_Ctrl::OnClickSend()
{
    // The table is left as it is when the request cannot go out.
    if (!IoLink_Module::reachable(this))
        return;
    int row = 0;
    while (row < rowCount && ui->tableWidget->cellWidget(row, TestColumn) != sender())
        ++row;
    if (row == rowCount)
        return;
    showResult(row, QString(), false);
    IoLinkParamRow record;
    if (!checkRow(&record, row))
        return;
    IoLink_Module::instance()->sendCommand(IOLINK_WRITE_PARAM, record.encode());
    // The editor last typed in may have scrolled the result column away.
    ui->tableWidget->scrollTo(ui->tableWidget->model()->index(row, ResultColumn));
}

void IoLinkParamFrame_Ctrl::on_btnSave_clicked()
{
    if (!IoLink_Module::reachable(this))
        return;
    clearResults();
    QVector<IoLinkParamRow> records(rowCount);
    for (int row = 0; row < rowCount; ++row) {
        if (!checkRow(&records[row], row))
            return;
    }
    for (const IoLinkParamRow &record : records)
        IoLink_Module::instance()->sendCommand(IOLINK_SAVE_PARAM, record.encode());
    // Every row gets its result: bring the result column back into view on the rows shown.
    QScrollBar *across = ui->tableWidget->horizontalScrollBar();
    across->setValue(across->minimum());
}

void IoLinkParamFrame_Ctrl::on_btnRead_clicked()
{
    if (!IoLink_Module::reachable(this))
        return;
    on_btnClear_clicked();
    setCursor(Qt::WaitCursor);
    m_readRow = 0;
    readNextRow();
    m_readTimer.start();
}

// One row per period keeps the link's queue short; the cursor comes back one period after the
// last request, once its answer had time to arrive.
void IoLinkParamFrame_Ctrl::readNextRow()
{
    if (m_readRow >= rowCount) {
        m_readTimer.stop();
        setCursor(Qt::ArrowCursor);
        return;
    }
    const char request[] = { char(port), char(m_readRow) };
    IoLink_Module::instance()->sendCommand(IOLINK_READ_PARAM, QByteArray(request, 2));
    ++m_readRow;
}

void IoLinkParamFrame_Ctrl::on_btnClear_clicked()
{
    clearResults();
    for (int row = 0; row < rowCount; ++row) {
        for (int c = IndexColumn; c <= DataColumn; ++c)
            editor(row, c)->clear();
    }
}

void IoLinkParamFrame_Ctrl::on_btnExport_clicked()
{
    const QString name = Prompts::getSaveFileName(
        nullptr, QStringLiteral("Save File"), QString(), QStringLiteral("Text Files (*.txt)"));
    if (name.isEmpty())
        return;
    QVector<IoLinkParamTexts> rows;
    for (int row = 0; row < rowCount; ++row)
        rows << rowTexts(row);
    saveIoLinkParamFile(name, rows);
}

void IoLinkParamFrame_Ctrl::on_btnImport_clicked()
{
    const QString name
        = Prompts::getOpenFileName(this, QStringLiteral("Open File"), QString(), QStringLiteral("Text Files (*.txt)"));
    if (name.isEmpty())
        return;
    QVector<IoLinkParamTexts> rows;
    if (!loadIoLinkParamFile(name, &rows))
        return;
    on_btnClear_clicked();
    for (int row = 0; row < rowCount && row < rows.size(); ++row) {
        editor(row, IndexColumn)->setText(rows.at(row).index);
        editor(row, SubIndexColumn)->setText(rows.at(row).subIndex);
        editor(row, DataColumn)->setText(rows.at(row).data);
    }
}

void IoLinkParamFrame_Ctrl::showReadRow(const QByteArray &payload)
{
    ensureBuilt();
    IoLinkParamReadReply reply;
    if (!reply.decode(payload) || reply.row.row >= rowCount || reply.result == IoLinkParamReadReply::resultIgnored)
        return;
    const int row = reply.row.row;
    editor(row, IndexColumn)->setText(toHexString(reply.row.index));
    editor(row, SubIndexColumn)->setText(toHexString(reply.row.subIndex));
    editor(row, DataColumn)->setText(hexPairText(reply.row.data));
    if (reply.result == 0)
        showResult(row, tr("成功"), false);
    else
        showResult(row, tr("失败"), true);
}

void IoLinkParamFrame_Ctrl::showWriteResult(const QByteArray &payload)
{
    ensureBuilt();
    IoLinkParamResult reply;
    if (!reply.decode(payload) || reply.row >= rowCount)
        return;
    if (reply.result == 0)
        showResult(reply.row, tr("成功"), false);
    else
        showResult(reply.row, tr("失败"), true);
}

void IoLinkParamFrame_Ctrl::showSaveResult(const QByteArray &payload)
{
    ensureBuilt();
    IoLinkParamResult reply;
    if (!reply.decode(payload) || reply.row >= rowCount)
        return;
    if (reply.result == 0)
        showResult(reply.row, tr("保存成功"), false);
    else
        showResult(reply.row, tr("保存失败"), true);
}
