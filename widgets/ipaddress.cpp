#include "ipaddress.h"

#include "focuschain.h"
#include "textfit.h"

#include <QBoxLayout>
#include <QEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QTableView>

IPAddress::IPAddress(QWidget *parent)
    : QWidget(parent)
    , bgColor(QStringLiteral("#FFFFFF"))
    , borderColor(QStringLiteral("#A6B5B8"))
    , borderRadius(3)
{
    labDot1 = new QLabel(this);
    labDot2 = new QLabel(this);
    labDot3 = new QLabel(this);
    for (QLabel *dot : { labDot1, labDot2, labDot3 }) {
        dot->setAlignment(Qt::AlignCenter);
        dot->setText(QStringLiteral("."));
    }

    txtIP1 = new QLineEdit(this);
    txtIP2 = new QLineEdit(this);
    txtIP3 = new QLineEdit(this);
    txtIP4 = new QLineEdit(this);
    txtIP1->setObjectName(QStringLiteral("txtIP1"));
    txtIP2->setObjectName(QStringLiteral("txtIP2"));
    txtIP3->setObjectName(QStringLiteral("txtIP3"));
    txtIP4->setObjectName(QStringLiteral("txtIP4"));

    // One or two digits (leading zeros allowed), 100..199 or 200..255: 256 cannot be typed.
    auto *validator = new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("(2[0-5]{2}|2[0-4][0-9]|1?[0-9]{1,2})")), this);

    for (QLineEdit *field : { txtIP1, txtIP2, txtIP3, txtIP4 }) {
        field->setAlignment(Qt::AlignCenter);
        field->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        connect(field, &QLineEdit::textChanged, this, &IPAddress::textChanged);
        field->setValidator(validator);
        field->installEventFilter(this);
    }

    frameIP = new QFrame(this);
    frameIP->setObjectName(QStringLiteral("frameIP"));
    QStringList qss;
    qss << QStringLiteral("QFrame#frameIP{border:1px solid %1;border-radius:%2px;}").arg(borderColor).arg(borderRadius);
    qss << QStringLiteral("QLabel{min-width:15px;background-color:%1;}").arg(bgColor);
    qss << QStringLiteral("QLineEdit{background-color:%1;border:none;}").arg(bgColor);
    qss << QStringLiteral("QLineEdit#txtIP1{border-top-left-radius:%1px;border-bottom-left-radius:%1px;}")
               .arg(borderRadius);
    qss << QStringLiteral("QLineEdit#txtIP4{border-top-right-radius:%1px;border-bottom-right-radius:%1px;}")
               .arg(borderRadius);
    frameIP->setStyleSheet(qss.join(QString()));

    auto *verticalLayout = new QVBoxLayout(this);
    verticalLayout->setContentsMargins(0, 0, 0, 0);
    verticalLayout->setSpacing(0);
    verticalLayout->addWidget(frameIP);

    auto *layout = new QHBoxLayout(frameIP);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(txtIP1);
    layout->addWidget(labDot1);
    layout->addWidget(txtIP2);
    layout->addWidget(labDot2);
    layout->addWidget(txtIP3);
    layout->addWidget(labDot3);
    layout->addWidget(txtIP4);

    currentOctet = txtIP1;
    fitOctets();
}

QString IPAddress::getIP() const
{
    return ip;
}

QString IPAddress::getPaddedIP(int width) const
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg(txtIP1->text(), width, QLatin1Char('0'))
        .arg(txtIP2->text(), width, QLatin1Char('0'))
        .arg(txtIP3->text(), width, QLatin1Char('0'))
        .arg(txtIP4->text(), width, QLatin1Char('0'));
}

QSize IPAddress::sizeHint() const
{
    return QSize(250, 20).expandedTo(minimumSizeHint());
}

QSize IPAddress::minimumSizeHint() const
{
    // What the octets and dots need; a layout that gave less would scroll the first digit of
    // each octet out of view.
    return QWidget::minimumSizeHint();
}

void IPAddress::fitOctets()
{
    for (QLineEdit *field : { txtIP1, txtIP2, txtIP3, txtIP4 })
        field->setMinimumWidth(TextFit::lineEditWidth(field, QStringLiteral("255")));
    updateGeometry();
}

void IPAddress::fitCell()
{
    // A view sizes its cells without asking the widgets placed in them.
    auto *view = parentWidget() ? qobject_cast<QTableView *>(parentWidget()->parentWidget()) : nullptr;
    if (!view || parentWidget() != view->viewport() || !view->model())
        return;
    const QSize needed = minimumSizeHint();
    if (width() >= needed.width() && height() >= needed.height())
        return;
    // While columns are resized the cell under the widget may be another's; look along its row,
    // then everywhere.
    QModelIndex index = view->indexAt(geometry().center());
    const QAbstractItemModel *model = view->model();
    const auto find = [&](int firstRow, int lastRow) {
        for (int r = firstRow; r <= lastRow; ++r)
            for (int c = 0; c < model->columnCount(view->rootIndex()); ++c) {
                const QModelIndex i = model->index(r, c, view->rootIndex());
                if (view->indexWidget(i) == this)
                    return i;
            }
        return QModelIndex();
    };
    if (view->indexWidget(index) != this)
        index = index.isValid() ? find(index.row(), index.row()) : QModelIndex();
    if (!index.isValid())
        index = find(0, model->rowCount(view->rootIndex()) - 1);
    if (!index.isValid())
        return;
    // The cell gives the widget its size less the grid line.
    const int grid = view->showGrid() ? 1 : 0;
    if (view->columnWidth(index.column()) < needed.width() + grid)
        view->setColumnWidth(index.column(), needed.width() + grid);
    if (view->rowHeight(index.row()) < needed.height() + grid)
        view->setRowHeight(index.row(), needed.height() + grid);
}

void IPAddress::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        fitOctets();
}

void IPAddress::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    fitCell();
}

void IPAddress::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    fitCell();
}

QString IPAddress::stripLeadingZeros(const QString &ip)
{
    QStringList parts = ip.split(QLatin1Char('.'));
    if (parts.size() != 4)
        return ip;
    for (QString &part : parts) {
        int i = 0;
        while (i < part.size() - 1 && part.at(i) == QLatin1Char('0'))
            ++i;
        part = part.mid(i);
    }
    return parts.join(QLatin1Char('.'));
}

void IPAddress::setIP(const QString &ip)
{
    static const QRegularExpression pattern(QRegularExpression::anchoredPattern(
        QStringLiteral("((2[0-4]\\d|25[0-5]|[01]?\\d\\d?)\\.){3}(2[0-4]\\d|25[0-5]|[01]?\\d\\d?)")));
    if (!pattern.match(ip).hasMatch() || ip == this->ip)
        return;

    this->ip = ip;
    const QStringList parts = ip.split(QLatin1Char('.'));
    txtIP1->setText(parts.at(0));
    txtIP2->setText(parts.at(1));
    txtIP3->setText(parts.at(2));
    txtIP4->setText(parts.at(3));
    m_dotConfirmsMove = false;
}

void IPAddress::clear()
{
    txtIP1->clear();
    txtIP2->clear();
    txtIP3->clear();
    txtIP4->clear();
    txtIP1->setFocus();
}

void IPAddress::setBgColor(const QString &bgColor)
{
    if (this->bgColor != bgColor)
        this->bgColor = bgColor;
}

void IPAddress::setBorderColor(const QString &borderColor)
{
    if (this->borderColor != borderColor)
        this->borderColor = borderColor;
}

void IPAddress::setBorderRadius(int borderRadius)
{
    if (this->borderRadius != borderRadius)
        this->borderRadius = borderRadius;
}

void IPAddress::setFocusFirst()
{
    m_dotConfirmsMove = false;
    currentOctet = txtIP1;
    txtIP1->setFocus();
}

bool IPAddress::eventFilter(QObject *watched, QEvent *event)
{
    auto *field = qobject_cast<QLineEdit *>(watched);
    if (field != txtIP1 && field != txtIP2 && field != txtIP3 && field != txtIP4)
        return QWidget::eventFilter(watched, event);

    switch (event->type()) {
    case QEvent::FocusIn: {
        // Moves count from the field the user is in, however the focus got there: a click into
        // the first octet followed by typing must fill the first octet, not the remembered one.
        currentOctet = field;
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason == Qt::MouseFocusReason || reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason)
            m_dotConfirmsMove = false;
        m_selectOnRelease = reason == Qt::MouseFocusReason ? field : nullptr;
        return QWidget::eventFilter(watched, event);
    }
    case QEvent::FocusOut:
        m_selectOnRelease = nullptr;
        return QWidget::eventFilter(watched, event);
    case QEvent::MouseButtonRelease:
        // The click that entered a filled octet selects it, so typing replaces it; a drag that
        // selected part of it keeps that selection.
        if (field == m_selectOnRelease && !field->hasSelectedText())
            field->selectAll();
        m_selectOnRelease = nullptr;
        return QWidget::eventFilter(watched, event);
    case QEvent::KeyPress:
        break;
    default:
        return QWidget::eventFilter(watched, event);
    }

    const auto *key = static_cast<QKeyEvent *>(event);
    const bool dotConfirmsMove = m_dotConfirmsMove;
    m_dotConfirmsMove = false;
    if (key->text() == QLatin1String(".")) {
        // Typing "192.168.1.10" must fill four fields, not skip one after each full octet.
        if (!dotConfirmsMove)
            focusNextOctet();
        // No field takes a "."; kept from the field, it cannot undo the selection that the move
        // made in the octet now current.
        return true;
    }
    if (key->key() == Qt::Key_Backspace && field->text().size() <= 1)
        focusPreviousOctet();
    // The field still gets the key: Backspace deletes.
    return false;
}

void IPAddress::textChanged(const QString &text)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (text.size() == 3 && ok && value >= 100 && value <= 255) {
        focusNextOctet();
        m_dotConfirmsMove = true;
    }

    ip = QStringLiteral("%1.%2.%3.%4").arg(txtIP1->text(), txtIP2->text(), txtIP3->text(), txtIP4->text());
}

void IPAddress::focusNextOctet()
{
    QLineEdit *target = nullptr;
    if (currentOctet == txtIP1)
        target = txtIP2;
    else if (currentOctet == txtIP2)
        target = txtIP3;
    else if (currentOctet == txtIP3)
        target = txtIP4;

    if (target) {
        currentOctet = target;
        target->setFocus();
        // What the octet held is replaced by what is typed next.
        target->selectAll();
    } else {
        focusAlongChain(txtIP4, true);
    }
}

void IPAddress::focusPreviousOctet()
{
    QLineEdit *target = nullptr;
    if (currentOctet == txtIP2)
        target = txtIP1;
    else if (currentOctet == txtIP3)
        target = txtIP2;
    else if (currentOctet == txtIP4)
        target = txtIP3;

    if (target) {
        currentOctet = target;
        target->setFocus();
        // Backspace goes on deleting from the end of the previous octet.
        target->end(false);
    } else {
        focusAlongChain(txtIP1, false);
    }
}
