#include "formio.h"

#include "endpoints.h"
#include "io_monitor_curve_dialog.h"
#include "iomonitorcodec.h"
#include "iopoint.h"
#include "iopointdelegate.h"
#include "iotreewidget.h"
#include "module.h"
#include "polllink.h"
#include "prompts.h"
#include "ui_formio.h"

#include <algorithm>

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>

using namespace IoTable;

namespace {
const char *const neutralStyle = "background-color: rgb(225, 227, 229);color: rgb(0, 0, 0);";
const char *const runStyle = "background-color: rgb(48, 255, 55);color: rgb(255, 255, 255);";
// The colours of a bit's value: blue with white text when set, grey with black when clear.
const QColor bitOnBack(0, 0, 255);
const QColor bitOnText(255, 255, 255);
const QColor bitOffBack(225, 227, 229);
const QColor bitOffText(0, 0, 0);

const QByteArray streamOnCommand("\x44\x00\x01", 3);
const QByteArray streamOffCommand("\x44\x00\x00", 3);

IoTreeWidget *treeOf(Ui::FormIO *ui)
{
    return static_cast<IoTreeWidget *>(ui->treeWidget);
}

void setBitValue(QTreeWidgetItem *bit, bool on)
{
    bit->setText(ColValue, on ? QStringLiteral("TRUE") : QStringLiteral("FALSE"));
    bit->setBackground(ColValue, on ? bitOnBack : bitOffBack);
    bit->setForeground(ColValue, on ? bitOnText : bitOffText);
}

// The value a bit pattern stands for in a type, as the spin box holds it.
qint64 patternValue(quint32 pattern, int dataType)
{
    switch (dataType) {
    case IoSINT:
        return qint8(quint8(pattern));
    case IoINT:
        return qint16(quint16(pattern));
    case IoDINT:
        return qint32(pattern);
    default:
        return pattern;
    }
}

}

FormIO::FormIO(QWidget *parent)
    : menubase(parent)
    , ui(new Ui::FormIO)
{
    title = tr("监控表");
    link = new PollLink(this);
    link->setPollBuilder([this] {
        const QByteArray poll = buildPollFrame();
        return serialLink() ? frameSerialIoPoll(poll) : poll;
    });
    link->setCutter([this](QByteArray &buffer) {
        const int image = module ? ioImageBytes(ioLayout(module->ioPoints)) : 0;
        return cutIoReplies(buffer, image, serialLink());
    });
    connect(link, &PollLink::frameReceived, this, &FormIO::onReply);
    connect(link, &PollLink::linkLost, this, [this] {
        // Said on the page: the port gone or taken, or a module that stopped answering.
        const QString why = link->problem().isEmpty() ? silenceText() : link->problem();
        ui->pushButton->setChecked(false);
        disconnectDevice();
        showLinkProblem(why);
    });
    buildUnlessDeferred();
}

// The texts of the type, format and swap cells, made once and shared by every row.
void FormIO::translateCellTexts()
{
    m_cellTexts[FormatTexts] = QStringList { tr("10进制"), tr("16进制"), tr("2进制") };
    m_cellTexts[SwapTexts] = QStringList { tr("不交换"), tr("交换") };
    m_cellTexts[TypeTexts].clear();
    for (int t = 0; t < IoDataTypeCount; ++t)
        m_cellTexts[TypeTexts].append(ioDataTypeName(t));
}

QString FormIO::cellText(CellTexts kind, int index) const
{
    const QStringList &texts = m_cellTexts[kind];
    return texts.value(qBound(0, index, texts.size() - 1));
}

void FormIO::buildPage()
{
    ui->setupUi(this);
    translateCellTexts();
    ui->treeWidget->headerItem()->setText(ColEnable, tr("使能修改"));
    ui->treeWidget->headerItem()->setText(ColName, tr("描述"));
    ui->treeWidget->header()->setDefaultAlignment(Qt::AlignCenter);
    ui->treeWidget->setStyleSheet(QStringLiteral(
        "QHeaderView::section  {background-color: rgb(80, 80, 80);border-right: none;border-left: none;color: rgb(255, "
        "255, 255);}QTreeWidget::item{border-right: 1px solid black;border-bottom: 1px solid "
        "black;}QTreeWidget::item::select{color: black; border-right: 1px solid black;border-bottom: 1px solid black; "
        "}"));
    m_delegate = new IoPointDelegate(this);
    ui->treeWidget->setItemDelegate(m_delegate);
    ui->treeWidget->setUniformRowHeights(true);
    // A click on a cell gives it its control at once, as the cell widgets of a row were always there.
    ui->treeWidget->setEditTriggers(QAbstractItemView::CurrentChanged | QAbstractItemView::SelectedClicked
        | QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);

    ui->pushButton_write->setEnabled(false);
    m_problemLabel = new QLabel(this);
    m_problemLabel->setObjectName(QStringLiteral("label_problem"));
    m_problemLabel->setWordWrap(true);
    m_problemLabel->setMaximumWidth(200);
    m_problemLabel->setStyleSheet(QStringLiteral("color: rgb(255, 0, 0);"));
    m_problemLabel->hide();
    ui->verticalLayout->insertWidget(ui->verticalLayout->indexOf(ui->horizontalLayout) + 1, m_problemLabel);
    ui->label_state->setStyleSheet(QString::fromLatin1(neutralStyle));
    ui->pushButton->setStyleSheet(QString::fromLatin1(neutralStyle));
    ui->pushButton->setEnabled(false);
    ui->pushButton_2->setEnabled(true);
}

FormIO::~FormIO()
{
    if (curveDialog) {
        curveDialog->disconnect(this);
        delete curveDialog.data();
    }
    link->stop();
    if (isBuilt())
        clearTable();
    delete ui;
}

IO_Monitor_Curve_Dialog *FormIO::curves() const
{
    return curveDialog.data();
}

int FormIO::attachModule(modulebase *owner)
{
    this->owner = owner;
    return 0;
}

bool FormIO::serialLink() const
{
    return link->settings().transport == PollLink::Serial;
}

// Pages of sub-modules show nothing: the process image belongs to the coupler.
void FormIO::updatePage()
{
    if (!owner || owner->kind != 0)
        return;
    ensureBuilt();
    clearTable();
    module = dynamic_cast<::module *>(owner);
    if (!module)
        return;
    inputLength = module->inputSize();
    outputLength = module->outputSize();
    // A coupler without points keeps its button, which then says why there is nothing to monitor.
    ui->pushButton->setEnabled(true);
    QList<QTreeWidgetItem *> made;
    made.reserve(module->ioPoints.size());
    m_rows.reserve(module->ioPoints.size());
    m_sortingRows = true;
    for (int direction = 0; direction < 2; ++direction) {
        for (IoPoint *point : qAsConst(module->ioPoints)) {
            if (point->direction != direction)
                continue;
            point->value = 0;
            auto *row = new QTreeWidgetItem;
            addPointRow(point, row);
            made.append(row);
        }
    }
    m_sortingRows = false;
    std::sort(m_rows.begin(), m_rows.end());
    // One insertion for the whole table: the view lays it out once.
    ui->treeWidget->addTopLevelItems(made);
    if (!made.isEmpty())
        ui->treeWidget->setCurrentItem(made.first());
}

void FormIO::resetPage()
{
    if (!isBuilt())
        return;
    ui->pushButton->setChecked(false);
    if (connected)
        disconnectDevice();
    // The curves show this module's points only while its page is the one in use.
    if (curveDialog)
        curveDialog->close();
}

void FormIO::hideEvent(QHideEvent *event)
{
    menubase::hideEvent(event);
    resetPage();
}

void FormIO::retranslate(int language)
{
    if (deferRetranslate(language)) {
        title = tr("监控表");
        return;
    }
    ui->retranslateUi(this);
    translateCellTexts();
    title = tr("监控表");
    ui->treeWidget->headerItem()->setText(ColEnable, tr("使能修改"));
    ui->treeWidget->headerItem()->setText(ColName, tr("描述"));
    for (int i = 0; i < ui->treeWidget->topLevelItemCount(); ++i) {
        QTreeWidgetItem *row = ui->treeWidget->topLevelItem(i);
        if (IoPoint *point = pointOf(row)) {
            row->setText(ColFormat, cellText(FormatTexts, point->format));
            row->setText(ColSwap, cellText(SwapTexts, point->swap));
        }
    }
    // The form's texts are those of a closed link; an open one keeps saying so.
    showLinkState();
}

void FormIO::clearTable()
{
    m_rows.clear();
    // One reset for the whole table, whatever its size.
    ui->treeWidget->clear();
}

void FormIO::deleteRow(QTreeWidgetItem *row)
{
    if (IoPoint *point = pointOf(row)) {
        const auto at = std::lower_bound(m_rows.begin(), m_rows.end(), RowOfPoint { point, nullptr });
        if (at != m_rows.end() && at->point == point && at->row == row)
            m_rows.erase(at);
    }
    delete row;
}

QTreeWidgetItem *FormIO::rowOf(IoPoint *point) const
{
    const auto at = std::lower_bound(m_rows.cbegin(), m_rows.cend(), RowOfPoint { point, nullptr });
    return at != m_rows.cend() && at->point == point ? at->row : nullptr;
}

QTreeWidgetItem *FormIO::rowOfWidget(QObject *w)
{
    QTreeWidget *tree = ui->treeWidget;
    const QModelIndex index = IoPointDelegate::editedIndex(w);
    if (!index.isValid() || index.model() != tree->model())
        return tree->currentItem();
    QTreeWidgetItem *row = treeOf(ui)->itemFromIndex(index);
    if (row && row != tree->currentItem())
        tree->setCurrentItem(row, index.column());
    return row;
}

void FormIO::setModifyRange(QTreeWidgetItem *row, int minimum, int maximum)
{
    row->setData(ColModify, ModifyMinimumRole, minimum);
    row->setData(ColModify, ModifyMaximumRole, maximum);
    // As a spin box keeps its value inside its range.
    const int value = row->data(ColModify, ModifyValueRole).toInt();
    row->setData(ColModify, ModifyValueRole, qBound(minimum, value, maximum));
}

void FormIO::addPointRow(IoPoint *point, QTreeWidgetItem *row)
{
    row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
    row->setData(ColAddress, Qt::UserRole, QVariant::fromValue(static_cast<void *>(point)));
    row->setText(ColAddress, point->address);
    row->setText(ColFormat, cellText(FormatTexts, point->format));
    row->setText(ColType, cellText(TypeTexts, point->dataType));
    showPointValue(row, point);
    if (point->direction == 1) {
        row->setData(ColModify, ModifyValueRole, 0);
        setModifyRange(row, ioModifyMinimum(point->dataType), ioModifyMaximum(point->dataType));
        row->setData(ColEnable, CheckedRole, true);
    }
    row->setText(ColSwap, cellText(SwapTexts, point->swap));
    row->setText(ColName, point->name);
    applyDisplayFormat(row, point);
    point->row = QVariant::fromValue(static_cast<void *>(row));
    // Rows made for the whole table are sorted in once, by updatePage.
    const RowOfPoint entry { point, row };
    if (m_sortingRows) {
        m_rows.append(entry);
    } else {
        m_rows.insert(std::lower_bound(m_rows.begin(), m_rows.end(), entry), entry);
    }
}

void FormIO::showPointValue(QTreeWidgetItem *row, IoPoint *point)
{
    row->setData(ColValue, Qt::UserRole, uint(point->value));
    // Rows showing the same value share its text: a new table shows zeros throughout.
    if (point->value != m_valueText.value || point->dataType != m_valueText.dataType
        || point->format != m_valueText.format || m_valueText.text.isNull()) {
        m_valueText = { point->value, point->dataType, point->format,
            ioValueText(point->value, point->dataType, point->format) };
    }
    row->setText(ColValue, m_valueText.text);
    if (point->format != 2)
        return;
    for (int i = 0; i < row->childCount() && i < 32; ++i)
        setBitValue(row->child(i), (point->value >> i) & 1u);
}

void FormIO::applyDisplayFormat(QTreeWidgetItem *row, IoPoint *point)
{
    if (point->direction == 1 && row->data(ColModify, ModifyValueRole).isValid()) {
        const int value = row->data(ColModify, ModifyValueRole).toInt();
        if (point->format == 2) {
            // The bit buttons edit the bit pattern; the modify value shows it unsigned as far as it can.
            const quint32 mask = ioWidthMask(point->size);
            const quint32 pattern = quint32(value) & mask;
            row->setData(ColModify, BitPatternRole, pattern);
            setModifyRange(row, 0, int(qMin<quint32>(mask, quint32(INT_MAX))));
            row->setData(ColModify, ModifyValueRole, int(qMin<quint32>(pattern, quint32(INT_MAX))));
        } else {
            const QVariant pattern = row->data(ColModify, BitPatternRole);
            const int minimum = ioModifyMinimum(point->dataType);
            const int maximum = ioModifyMaximum(point->dataType);
            setModifyRange(row, minimum, maximum);
            if (pattern.isValid()) {
                row->setData(ColModify, ModifyValueRole,
                    int(qBound<qint64>(minimum, patternValue(pattern.toUInt(), point->dataType), maximum)));
                row->setData(ColModify, BitPatternRole, QVariant());
            }
        }
    }
    updateBitRows(row, point);
}

void FormIO::updateBitRows(QTreeWidgetItem *row, IoPoint *point)
{
    if (point->format == 2) {
        const quint32 pattern = row->data(ColModify, BitPatternRole).toUInt();
        const QString pattern2 = point->direction == 1 ? QStringLiteral("Q%1.%2") : QStringLiteral("I%1.%2");
        QList<QTreeWidgetItem *> bits;
        for (int i = 0; i < 8 * point->size; ++i) {
            auto *bit = new QTreeWidgetItem;
            bit->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
            bit->setText(ColAddress, pattern2.arg(point->number).arg(i));
            bit->setText(ColType, QStringLiteral("BOOL"));
            bit->setText(ColFormat, QStringLiteral("BOOL"));
            bit->setText(ColValue, QStringLiteral("False"));
            bit->setBackground(ColValue, bitOffBack);
            bit->setForeground(ColValue, bitOffText);
            if (point->direction == 1) {
                const bool on = i < 32 && ((pattern >> i) & 1u);
                bit->setText(ColModify, on ? QStringLiteral("True") : QStringLiteral("False"));
                bit->setData(ColModify, CheckedRole, on);
            }
            bits.append(bit);
        }
        row->addChildren(bits);
        return;
    }
    if (row->childCount() > 0)
        qDeleteAll(row->takeChildren());
}

void FormIO::toggleBit(const QModelIndex &bit, bool checked)
{
    QTreeWidgetItem *item = treeOf(ui)->itemFromIndex(bit);
    if (!item)
        return;
    if (item != ui->treeWidget->currentItem())
        ui->treeWidget->setCurrentItem(item, bit.column());
    bin_pushButton_clicked(checked);
}

void FormIO::bin_pushButton_clicked(bool checked)
{
    QTreeWidgetItem *bit = rowOfWidget(sender());
    if (!bit || !bit->parent())
        return;
    QTreeWidgetItem *row = bit->parent();
    IoPoint *point = pointOf(row);
    if (!point || point->direction != 1 || !row->data(ColModify, ModifyValueRole).isValid())
        return;
    bit->setText(ColModify, checked ? QStringLiteral("True") : QStringLiteral("False"));
    bit->setData(ColModify, CheckedRole, checked);
    const int index = row->indexOfChild(bit);
    if (index < 0 || index >= 32)
        return;
    quint32 pattern = row->data(ColModify, BitPatternRole).toUInt();
    if (checked)
        pattern |= 1u << index;
    else
        pattern &= ~(1u << index);
    pattern &= ioWidthMask(point->size);
    row->setData(ColModify, BitPatternRole, pattern);
    const int maximum = row->data(ColModify, ModifyMaximumRole).toInt();
    row->setData(ColModify, ModifyValueRole, int(qMin<quint32>(pattern, quint32(maximum))));
}

void FormIO::showtypecom_IndexChanged(int index)
{
    QTreeWidgetItem *row = rowOfWidget(sender());
    IoPoint *point = pointOf(row);
    if (!point)
        return;
    const int format = index == 0 ? 0 : index == 1 ? 1 : 2;
    if (format == point->format)
        return;
    point->format = format;
    row->setText(ColFormat, cellText(FormatTexts, format));
    applyDisplayFormat(row, point);
    showPointValue(row, point);
}

void FormIO::swapenable_check(int state)
{
    QTreeWidgetItem *row = rowOfWidget(sender());
    IoPoint *point = pointOf(row);
    if (point && !row->parent()) {
        point->swap = state != 0;
        row->setText(ColSwap, cellText(SwapTexts, point->swap));
    }
}

void FormIO::datatextchanged(QString text)
{
    QTreeWidgetItem *row = rowOfWidget(sender());
    if (IoPoint *point = pointOf(row)) {
        point->name = text;
        row->setText(ColName, text);
    }
}

void FormIO::mergeFailed(QComboBox *combo, IoPoint *point, const QString &message)
{
    {
        const QSignalBlocker block(combo);
        combo->setCurrentIndex(point->dataType);
    }
    // The box takes the focus, and the table then closes and deletes this very editor while the
    // box is open: it opens only once the editor's signal is over, and nothing follows it here.
    Prompts::warningLater(this, tr("错误"), message);
}

void FormIO::datatypecom_IndexChanged(int d)
{
    auto *combo = qobject_cast<QComboBox *>(sender());
    QTreeWidgetItem *row = rowOfWidget(sender());
    IoPoint *point = pointOf(row);
    if (!point || !combo || !module || row->parent())
        return;
    if (d == point->dataType)
        return;
    const int oldSize = point->size;
    const int newSize = combo->itemData(d).toInt();
    if (newSize == oldSize) {
        point->dataType = d;
        row->setText(ColType, cellText(TypeTexts, d));
        return;
    }
    QTreeWidget *tree = ui->treeWidget;
    const int at = tree->indexOfTopLevelItem(row);
    auto resetFormat = [&] {
        point->format = 0;
        row->setText(ColFormat, cellText(FormatTexts, 0));
    };

    if (newSize > oldSize) {
        const int need = newSize - oldSize;
        int sum = 0;
        QList<QTreeWidgetItem *> walked;
        for (int i = at + 1;; ++i) {
            QTreeWidgetItem *next = tree->topLevelItem(i);
            IoPoint *p = pointOf(next);
            if (!next || !p || p->direction != point->direction) {
                mergeFailed(combo, point, tr("地址长度不够"));
                return;
            }
            sum += p->size;
            walked.append(next);
            if (sum > need) {
                mergeFailed(combo, point, tr("地址冲突"));
                return;
            }
            if (sum == need)
                break;
        }
        point->dataType = d;
        row->setText(ColType, cellText(TypeTexts, d));
        resetFormat();
        applyDisplayFormat(row, point);
        showPointValue(row, point);
        for (QTreeWidgetItem *gone : qAsConst(walked)) {
            IoPoint *p = pointOf(gone);
            deleteRow(gone);
            // Nothing may reach a merged-away point again: not the table, the curves or a poll.
            module->ioPoints.removeAll(p);
            if (curveDialog)
                curveDialog->forgetPoint(p);
            delete p;
        }
        point->size = newSize;
        point->updateAddress();
        row->setText(ColAddress, point->address);
    } else {
        point->dataType = d;
        row->setText(ColType, cellText(TypeTexts, d));
        point->size = newSize;
        point->updateAddress();
        resetFormat();
        applyDisplayFormat(row, point);
        showPointValue(row, point);
        row->setText(ColAddress, point->address);
        const int limit = point->direction == 0 ? inputLength : outputLength;
        int listAt = module->ioPoints.indexOf(point);
        QList<QTreeWidgetItem *> made;
        for (int n = point->number + newSize; n < point->number + oldSize && n < limit; ++n) {
            auto *p = new IoPoint;
            p->direction = point->direction;
            p->number = n;
            p->updateAddress();
            module->ioPoints.insert(++listAt, p);
            auto *newRow = new QTreeWidgetItem;
            addPointRow(p, newRow);
            made.append(newRow);
        }
        tree->insertTopLevelItems(at + 1, made);
    }
    tree->doItemsLayout();
}

qint32 FormIO::valueToWrite(QTreeWidgetItem *row, IoPoint *point) const
{
    const QVariant value = row->data(ColModify, ModifyValueRole);
    if (!value.isValid())
        return point->writeValue;
    if (point->format == 2)
        return qint32(row->data(ColModify, BitPatternRole).toUInt() & ioWidthMask(point->size));
    return value.toInt();
}

void FormIO::on_pushButton_write_clicked()
{
    for (int i = 0; i < ui->treeWidget->topLevelItemCount(); ++i) {
        QTreeWidgetItem *row = ui->treeWidget->topLevelItem(i);
        IoPoint *point = pointOf(row);
        if (!point || point->direction != 1)
            continue;
        if (!row->data(ColEnable, CheckedRole).toBool())
            continue;
        point->writeValue = valueToWrite(row, point);
        writePending = true;
        writeRounds = 0;
    }
}

void FormIO::refreshPoint(IoPoint *point)
{
    if (!point || !isBuilt())
        return;
    // Only a row of the table shown now, showing this very point, is used.
    QTreeWidgetItem *row = rowOf(point);
    if (row && pointOf(row) == point)
        showPointValue(row, point);
}

QByteArray FormIO::buildPollFrame()
{
    QByteArray outputs;
    if (writePending && module)
        outputs = packIoOutputs(module->ioPoints, outputLength);
    const QByteArray poll = buildIoPoll(outputs);
    if (writePending && ++writeRounds > 2) {
        writePending = false;
        writeRounds = 0;
    }
    return poll;
}

void FormIO::on_pushButton_clicked(bool checked)
{
    if (checked && module && module->ioPoints.isEmpty()) {
        ui->pushButton->setChecked(false);
        Prompts::information(mainWindow(), tr("提示"), tr("该模块的过程映像为空，没有可监控的I/O点"));
        return;
    }
    if (checked)
        connectDevice();
    else
        disconnectDevice();
}

QString FormIO::silenceText() const
{
    const PollLink::Settings &s = link->settings();
    return s.transport == PollLink::Serial ? tr("串口%1上的模块无应答").arg(s.portName)
                                           : tr("模块%1无应答").arg(s.address);
}

void FormIO::showLinkProblem(const QString &text)
{
    if (!m_problemLabel)
        return;
    m_problemLabel->setText(text);
    m_problemLabel->setVisible(!text.isEmpty());
}

void FormIO::connectDevice()
{
    if (connected)
        return;
    showLinkProblem(QString());
    PollLink::Settings s;
    s.periodMs = 200;
    // The first poll goes out at once and counts: ten polls in a row without a single byte back
    // close the link, right after the tenth.
    s.pollAtOpen = true;
    s.openingPollCounts = true;
    s.anyBytesAnswer = true;
    s.missLimit = 9;
    s.lostAtPoll = true;
    const Endpoints &ends = Endpoints::current();
    bool usable = true;
    if (!owner) {
        usable = false;
    } else if (owner->connType == modulebase::CONNEST_COM) {
        s.transport = PollLink::Serial;
        s.portName = owner->comstr;
    } else if (owner->connType == modulebase::CONNEST_NET) {
        s.transport = PollLink::Udp;
        s.address = QString(owner->ipAddress).replace(QLatin1Char(':'), QLatin1Char('.'));
        s.localPort = ends.ioMonLocalPort;
        s.modulePort = ends.ioMonModulePort;
        s.streamOn = streamOnCommand;
        s.streamOff = streamOffCommand;
    } else {
        usable = false;
    }
    if (!usable || !module || !link->start(s)) {
        ui->pushButton->setChecked(false);
        linkState = Failed;
        showLinkState();
        // A port another program holds, or a local port in use, is said in the window.
        if (usable && module && !link->errorString().isEmpty()) {
            showLinkProblem(link->errorString());
            Prompts::warning(mainWindow(), tr("错误"), link->errorString());
        }
        return;
    }
    connected = true;
    linkState = Open;
    showLinkState();
}

void FormIO::disconnectDevice()
{
    if (!connected)
        return;
    link->stop();
    connected = false;
    // A write not yet sent would otherwise go out unasked on the next link.
    writePending = false;
    writeRounds = 0;
    linkState = Closed;
    showLinkState();
}

void FormIO::showLinkState()
{
    switch (linkState) {
    case Open:
        ui->pushButton->setText(tr("停止"));
        ui->label_state->setText(tr("连接成功"));
        ui->label_state->setStyleSheet(QString::fromLatin1(runStyle));
        ui->label_img->setPixmap(QPixmap(QStringLiteral(":/new/prefix1/img/Connected.png")));
        break;
    case Closed:
    case Failed:
        ui->pushButton->setText(tr("打开"));
        ui->label_state->setText(linkState == Failed ? tr("连接失败") : tr("连接断开"));
        ui->label_state->setStyleSheet(QString::fromLatin1(neutralStyle));
        ui->label_img->setPixmap(QPixmap(QStringLiteral(":/new/prefix1/img/disconnect.png")));
        break;
    case NeverOpened:
        break;
    }
    ui->pushButton_write->setEnabled(linkState == Open);
}

void FormIO::onReply(const QByteArray &reply)
{
    if (!module)
        return;
    const IoReplyValues decoded = decodeIoReply(reply, ioLayout(module->ioPoints), serialLink());
    if (!decoded.valid)
        return;
    const QList<IoPoint *> points = module->ioPoints;
    for (int i = 0; i < decoded.values.size() && i < points.size(); ++i) {
        points[i]->value = decoded.values[i];
        refreshPoint(points[i]);
    }
    // A short reply is a sample too: the points it does not hold keep their values.
    emit updataiovalue();
}

void FormIO::on_pushButton_2_clicked()
{
    if (!curveDialog) {
        curveDialog = new IO_Monitor_Curve_Dialog(mainWindow());
        curveDialog->setAttribute(Qt::WA_DeleteOnClose);
        curveDialog->setModal(false);
        curveDialog->setModule(module);
        connect(curveDialog, &IO_Monitor_Curve_Dialog::closeDialog, this, &FormIO::colse_curvedialogs);
        connect(this, &FormIO::updataiovalue, curveDialog, &IO_Monitor_Curve_Dialog::updatavalue);
    }
    curveDialog->show();
    ui->pushButton_2->setEnabled(false);
}

// The dialog deletes itself once its close handling is over.
void FormIO::colse_curvedialogs()
{
    if (curveDialog) {
        curveDialog->disconnect(this);
        disconnect(this, &FormIO::updataiovalue, curveDialog, nullptr);
    }
    curveDialog = nullptr;
    ui->pushButton_2->setEnabled(true);
}
