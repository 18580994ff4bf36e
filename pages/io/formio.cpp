#include "formio.h"

#include "endpoints.h"
#include "io_monitor_curve_dialog.h"
#include "iomonitorcodec.h"
#include "iopoint.h"
#include "module.h"
#include "polllink.h"
#include "prompts.h"
#include "ui_formio.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>

namespace {
enum Column { ColAddress, ColType, ColFormat, ColValue, ColModify, ColSwap, ColEnable, ColName };

const char *const neutralStyle = "background-color: rgb(225, 227, 229);color: rgb(0, 0, 0);";
const char *const runStyle = "background-color: rgb(48, 255, 55);color: rgb(255, 255, 255);";
const char *const bitOnStyle = "background-color: rgb(0, 0, 255);color: rgb(255, 255, 255);border-style:outset";
const char *const bitOffStyle = "background-color: rgb(225, 227, 229);color: rgb(0, 0, 0);border-style:outset";
const char *const bitPatternProperty = "bitPattern";

const QByteArray streamOnCommand("\x44\x00\x01", 3);
const QByteArray streamOffCommand("\x44\x00\x00", 3);

QString modifyPrefix(int format)
{
    return format == 1 ? QStringLiteral("16#") : format == 2 ? QStringLiteral("2#") : QStringLiteral("0");
}

int modifyBase(int format)
{
    return format == 1 ? 16 : format == 2 ? 2 : 10;
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
        ui->pushButton->setChecked(false);
        disconnectDevice();
    });
    buildUnlessDeferred();
}

void FormIO::buildPage()
{
    ui->setupUi(this);
    ui->treeWidget->headerItem()->setText(ColEnable, tr("使能修改"));
    ui->treeWidget->headerItem()->setText(ColName, tr("描述"));
    ui->treeWidget->header()->setDefaultAlignment(Qt::AlignCenter);
    ui->treeWidget->setStyleSheet(QStringLiteral(
        "QHeaderView::section  {background-color: rgb(80, 80, 80);border-right: none;border-left: none;color: rgb(255, "
        "255, 255);}QTreeWidget::item{border-right: 1px solid black;border-bottom: 1px solid "
        "black;}QTreeWidget::item::select{color: black; border-right: 1px solid black;border-bottom: 1px solid black; "
        "}"));

    ui->pushButton_write->setEnabled(false);
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
    ui->pushButton->setEnabled(!module->ioPoints.isEmpty());
    for (int direction = 0; direction < 2; ++direction) {
        for (IoPoint *point : qAsConst(module->ioPoints)) {
            if (point->direction != direction)
                continue;
            point->value = 0;
            auto *row = new QTreeWidgetItem(ui->treeWidget);
            addPointRow(point, row);
        }
    }
    if (ui->treeWidget->topLevelItemCount() > 0)
        ui->treeWidget->setCurrentItem(ui->treeWidget->topLevelItem(0));
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
    title = tr("监控表");
    ui->treeWidget->headerItem()->setText(ColEnable, tr("使能修改"));
    ui->treeWidget->headerItem()->setText(ColName, tr("描述"));
    for (int i = 0; i < ui->treeWidget->topLevelItemCount(); ++i) {
        QTreeWidgetItem *row = ui->treeWidget->topLevelItem(i);
        if (auto *format = qobject_cast<QComboBox *>(ui->treeWidget->itemWidget(row, ColFormat)))
            setFormatTexts(format);
        if (auto *swap = qobject_cast<QComboBox *>(ui->treeWidget->itemWidget(row, ColSwap)))
            setSwapTexts(swap);
    }
    // The form's texts are those of a closed link; an open one keeps saying so.
    showLinkState();
}

void FormIO::clearTable()
{
    while (ui->treeWidget->topLevelItemCount() > 0)
        deleteRow(ui->treeWidget->topLevelItem(0));
}

void FormIO::deleteRow(QTreeWidgetItem *row)
{
    while (row->childCount() > 0)
        deleteRow(row->child(0));
    for (int column : { ColType, ColFormat, ColModify, ColEnable, ColSwap, ColName, ColValue }) {
        if (QWidget *w = ui->treeWidget->itemWidget(row, column)) {
            w->disconnect(this);
            ui->treeWidget->removeItemWidget(row, column);
            delete w;
        }
    }
    delete row;
}

IoPoint *FormIO::pointOf(QTreeWidgetItem *row) const
{
    return row ? static_cast<IoPoint *>(row->data(ColAddress, Qt::UserRole).value<void *>()) : nullptr;
}

QSpinBox *FormIO::modifyBox(QTreeWidgetItem *row) const
{
    return row ? qobject_cast<QSpinBox *>(ui->treeWidget->itemWidget(row, ColModify)) : nullptr;
}

QTreeWidgetItem *FormIO::rowOfWidget(QObject *w)
{
    if (!w)
        return ui->treeWidget->currentItem();
    for (int i = 0; i < ui->treeWidget->topLevelItemCount(); ++i) {
        QTreeWidgetItem *row = ui->treeWidget->topLevelItem(i);
        for (int column = ColType; column <= ColName; ++column) {
            if (ui->treeWidget->itemWidget(row, column) == w) {
                ui->treeWidget->setCurrentItem(row);
                return row;
            }
        }
        for (int c = 0; c < row->childCount(); ++c) {
            if (ui->treeWidget->itemWidget(row->child(c), ColModify) == w) {
                ui->treeWidget->setCurrentItem(row->child(c));
                return row->child(c);
            }
        }
    }
    return nullptr;
}

void FormIO::setFormatTexts(QComboBox *combo)
{
    const QStringList texts = { tr("10进制"), tr("16进制"), tr("2进制") };
    for (int i = 0; i < texts.size() && i < combo->count(); ++i)
        combo->setItemText(i, texts[i]);
}

void FormIO::setSwapTexts(QComboBox *combo)
{
    const QStringList texts = { tr("不交换"), tr("交换") };
    for (int i = 0; i < texts.size() && i < combo->count(); ++i)
        combo->setItemText(i, texts[i]);
}

QComboBox *FormIO::makeFormatCombo(int format)
{
    auto *combo = new QComboBox;
    combo->addItems({ QString(), QString(), QString() });
    setFormatTexts(combo);
    combo->setCurrentIndex(qBound(0, format, 2));
    connect(combo, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &FormIO::showtypecom_IndexChanged);
    return combo;
}

QComboBox *FormIO::makeSwapCombo(bool swap)
{
    auto *combo = new QComboBox;
    combo->addItems({ QString(), QString() });
    setSwapTexts(combo);
    combo->setCurrentIndex(swap ? 1 : 0);
    connect(combo, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &FormIO::swapenable_check);
    return combo;
}

void FormIO::addPointRow(IoPoint *point, QTreeWidgetItem *row)
{
    QTreeWidget *tree = ui->treeWidget;
    row->setData(ColAddress, Qt::UserRole, QVariant::fromValue(static_cast<void *>(point)));
    row->setText(ColAddress, point->address);

    tree->setItemWidget(row, ColFormat, makeFormatCombo(point->format));

    auto *type = new QComboBox;
    for (int t = 0; t < IoDataTypeCount; ++t)
        type->addItem(ioDataTypeName(t), ioDataTypeSize(t));
    type->setCurrentIndex(qBound(0, point->dataType, IoDataTypeCount - 1));
    connect(type, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &FormIO::datatypecom_IndexChanged);
    tree->setItemWidget(row, ColType, type);

    showPointValue(row, point);

    if (point->direction == 1) {
        auto *spin = new QSpinBox;
        spin->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        spin->setPrefix(modifyPrefix(point->format));
        spin->setDisplayIntegerBase(modifyBase(point->format));
        spin->setRange(ioModifyMinimum(point->dataType), ioModifyMaximum(point->dataType));
        tree->setItemWidget(row, ColModify, spin);

        auto *holder = new QWidget;
        auto *layout = new QHBoxLayout(holder);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setAlignment(Qt::AlignCenter);
        auto *enable = new QCheckBox(holder);
        enable->setObjectName(QStringLiteral("checkBox"));
        enable->setChecked(true);
        layout->addWidget(enable);
        tree->setItemWidget(row, ColEnable, holder);
    }

    tree->setItemWidget(row, ColSwap, makeSwapCombo(point->swap));

    auto *name = new QLineEdit(point->name);
    name->setStyleSheet(QStringLiteral("QLineEdit{border-style:outset}"));
    connect(name, &QLineEdit::textChanged, this, &FormIO::datatextchanged);
    tree->setItemWidget(row, ColName, name);

    applyDisplayFormat(row, point);
    point->row = QVariant::fromValue(static_cast<void *>(row));
}

void FormIO::showPointValue(QTreeWidgetItem *row, IoPoint *point)
{
    row->setData(ColValue, Qt::UserRole, uint(point->value));
    row->setText(ColValue, ioValueText(point->value, point->dataType, point->format));
    if (point->format != 2)
        return;
    for (int i = 0; i < row->childCount() && i < 32; ++i) {
        auto *edit = qobject_cast<QLineEdit *>(ui->treeWidget->itemWidget(row->child(i), ColValue));
        if (!edit)
            continue;
        const bool on = (point->value >> i) & 1u;
        edit->setText(on ? QStringLiteral("TRUE") : QStringLiteral("FALSE"));
        edit->setStyleSheet(QString::fromLatin1(on ? bitOnStyle : bitOffStyle));
    }
}

void FormIO::applyDisplayFormat(QTreeWidgetItem *row, IoPoint *point)
{
    if (QSpinBox *spin = modifyBox(row)) {
        spin->setPrefix(modifyPrefix(point->format));
        spin->setDisplayIntegerBase(modifyBase(point->format));
        if (point->format == 2) {
            // The bit buttons edit the bit pattern; the box shows it unsigned as far as it can.
            const quint32 mask = ioWidthMask(point->size);
            const quint32 pattern = quint32(spin->value()) & mask;
            spin->setProperty(bitPatternProperty, pattern);
            spin->setRange(0, int(qMin<quint32>(mask, quint32(INT_MAX))));
            spin->setValue(int(qMin<quint32>(pattern, quint32(INT_MAX))));
        } else {
            const QVariant pattern = spin->property(bitPatternProperty);
            spin->setRange(ioModifyMinimum(point->dataType), ioModifyMaximum(point->dataType));
            if (pattern.isValid()) {
                spin->setValue(int(
                    qBound<qint64>(spin->minimum(), patternValue(pattern.toUInt(), point->dataType), spin->maximum())));
                spin->setProperty(bitPatternProperty, QVariant());
            }
        }
    }
    updateBitRows(row, point);
}

void FormIO::updateBitRows(QTreeWidgetItem *row, IoPoint *point)
{
    QSpinBox *spin = modifyBox(row);
    if (point->format == 2) {
        if (spin)
            spin->setReadOnly(true);
        const quint32 pattern = spin ? spin->property(bitPatternProperty).toUInt() : 0;
        const QString pattern2 = point->direction == 1 ? QStringLiteral("Q%1.%2") : QStringLiteral("I%1.%2");
        for (int i = 0; i < 8 * point->size; ++i) {
            auto *bit = new QTreeWidgetItem(row);
            bit->setText(ColAddress, pattern2.arg(point->number).arg(i));
            bit->setText(ColType, QStringLiteral("BOOL"));
            bit->setText(ColFormat, QStringLiteral("BOOL"));
            auto *edit = new QLineEdit(QStringLiteral("False"));
            edit->setReadOnly(true);
            edit->setFocusPolicy(Qt::NoFocus);
            edit->setStyleSheet(QString::fromLatin1(bitOffStyle));
            ui->treeWidget->setItemWidget(bit, ColValue, edit);
            if (point->direction == 1) {
                const bool on = i < 32 && ((pattern >> i) & 1u);
                auto *button = new QPushButton(on ? QStringLiteral("True") : QStringLiteral("False"));
                button->setCheckable(true);
                button->setChecked(on);
                connect(button, &QPushButton::clicked, this, &FormIO::bin_pushButton_clicked);
                ui->treeWidget->setItemWidget(bit, ColModify, button);
            }
        }
        return;
    }
    if (spin)
        spin->setReadOnly(false);
    while (row->childCount() > 0)
        deleteRow(row->child(0));
}

void FormIO::bin_pushButton_clicked(bool checked)
{
    QTreeWidgetItem *bit = rowOfWidget(sender());
    if (!bit || !bit->parent())
        return;
    QTreeWidgetItem *row = bit->parent();
    IoPoint *point = pointOf(row);
    QSpinBox *spin = modifyBox(row);
    auto *button = qobject_cast<QPushButton *>(ui->treeWidget->itemWidget(bit, ColModify));
    if (!point || !spin || !button)
        return;
    button->setText(checked ? QStringLiteral("True") : QStringLiteral("False"));
    const int index = row->indexOfChild(bit);
    if (index < 0 || index >= 32)
        return;
    quint32 pattern = spin->property(bitPatternProperty).toUInt();
    if (checked)
        pattern |= 1u << index;
    else
        pattern &= ~(1u << index);
    pattern &= ioWidthMask(point->size);
    spin->setProperty(bitPatternProperty, pattern);
    spin->setValue(int(qMin<quint32>(pattern, quint32(spin->maximum()))));
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
    applyDisplayFormat(row, point);
    showPointValue(row, point);
}

void FormIO::swapenable_check(int state)
{
    QTreeWidgetItem *row = rowOfWidget(sender());
    IoPoint *point = pointOf(row);
    if (point && ui->treeWidget->itemWidget(row, ColSwap))
        point->swap = state != 0;
}

void FormIO::datatextchanged(QString text)
{
    if (IoPoint *point = pointOf(rowOfWidget(sender())))
        point->name = text;
}

void FormIO::mergeFailed(QComboBox *combo, IoPoint *point, const QString &message)
{
    const QSignalBlocker block(combo);
    combo->setCurrentIndex(point->dataType);
    Prompts::warning(nullptr, tr("错误"), message);
}

void FormIO::datatypecom_IndexChanged(int d)
{
    auto *combo = qobject_cast<QComboBox *>(sender());
    QTreeWidgetItem *row = rowOfWidget(sender());
    IoPoint *point = pointOf(row);
    if (!point || !combo || !module)
        return;
    if (d == point->dataType)
        return;
    const int oldSize = point->size;
    const int newSize = combo->itemData(d).toInt();
    if (newSize == oldSize) {
        point->dataType = d;
        return;
    }
    QTreeWidget *tree = ui->treeWidget;
    const int at = tree->indexOfTopLevelItem(row);
    auto resetFormat = [&] {
        point->format = 0;
        if (QWidget *old = tree->itemWidget(row, ColFormat)) {
            old->disconnect(this);
            tree->removeItemWidget(row, ColFormat);
            delete old;
        }
        tree->setItemWidget(row, ColFormat, makeFormatCombo(0));
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
        point->size = newSize;
        point->updateAddress();
        resetFormat();
        applyDisplayFormat(row, point);
        showPointValue(row, point);
        row->setText(ColAddress, point->address);
        const int limit = point->direction == 0 ? inputLength : outputLength;
        int listAt = module->ioPoints.indexOf(point);
        int rowAt = at;
        for (int n = point->number + newSize; n < point->number + oldSize && n < limit; ++n) {
            auto *p = new IoPoint;
            p->direction = point->direction;
            p->number = n;
            p->updateAddress();
            module->ioPoints.insert(++listAt, p);
            auto *newRow = new QTreeWidgetItem;
            tree->insertTopLevelItem(++rowAt, newRow);
            addPointRow(p, newRow);
        }
    }
    tree->doItemsLayout();
}

qint32 FormIO::valueToWrite(QTreeWidgetItem *row, IoPoint *point) const
{
    QSpinBox *spin = modifyBox(row);
    if (!spin)
        return point->writeValue;
    if (point->format == 2)
        return qint32(spin->property(bitPatternProperty).toUInt() & ioWidthMask(point->size));
    return spin->value();
}

void FormIO::on_pushButton_write_clicked()
{
    for (int i = 0; i < ui->treeWidget->topLevelItemCount(); ++i) {
        QTreeWidgetItem *row = ui->treeWidget->topLevelItem(i);
        IoPoint *point = pointOf(row);
        if (!point || point->direction != 1)
            continue;
        QWidget *holder = ui->treeWidget->itemWidget(row, ColEnable);
        auto *enable = holder ? holder->findChild<QCheckBox *>(QStringLiteral("checkBox")) : nullptr;
        if (!enable || !enable->isChecked())
            continue;
        point->writeValue = valueToWrite(row, point);
        writePending = true;
        writeRounds = 0;
    }
}

void FormIO::refreshPoint(IoPoint *point)
{
    if (!point || !point->row.isValid() || !isBuilt())
        return;
    auto *row = static_cast<QTreeWidgetItem *>(point->row.value<void *>());
    // The row may belong to an earlier table; only a row showing this very point is used.
    for (int i = 0; i < ui->treeWidget->topLevelItemCount(); ++i) {
        if (ui->treeWidget->topLevelItem(i) == row && pointOf(row) == point) {
            showPointValue(row, point);
            return;
        }
    }
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
    if (checked)
        connectDevice();
    else
        disconnectDevice();
}

void FormIO::connectDevice()
{
    if (connected)
        return;
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
