#include "moduleframe.h"

#include "menubase.h"
#include "moduleshowform.h"
#include "ui_moduleframe.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QTabWidget>
#include <QTreeWidget>

namespace {
const char *const kPlainStyle = "QWidget{border:0px solid #A6B5B8;border-radius:0px;}";
const char *const kHighlightStyle = "QWidget{border:1px solid #FF3030;border-radius:3px;}";
} // namespace

moduleFrame::moduleFrame(QString name, QString family, QWidget *parent)
    : QWidget(parent)
    , modulebase(name, family)
    , QTreeWidgetItem(0)
{
    form = new Ui::moduleFrame;
    setData(0, Qt::DisplayRole, ModuleShowName);
    const QPixmap picture(Pixmap);
    form->setupUi(this);
    form->verticalLayout->setContentsMargins(0, 0, 0, 0);
    setStyleSheet(kPlainStyle);
    setFixedSize(picture.width() + 1, picture.height() + 45);
    form->label->setFixedSize(picture.size());
    form->label->setScaledContents(true);
    form->label->setPixmap(picture);
    fitName(form->name, ModuleShowName, picture.width() - 2);
}

void moduleFrame::fitName(QLabel *label, const QString &text, int room)
{
    // The picture's width is fixed in pixels, the name's font in points: on a display with more
    // dots per inch, or with a long show name, the name would be clipped. It takes smaller type,
    // and a name that still does not fit is shown whole in the tool tip.
    label->setText(text);
    QFont font = label->font();
    if (room <= 0 || font.pointSizeF() <= 0)
        return;
    const qreal smallest = qMin(font.pointSizeF(), 6.0);
    while (font.pointSizeF() - 0.5 >= smallest && QFontMetrics(font).horizontalAdvance(text) > room)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    label->setFont(font);
    label->setToolTip(QFontMetrics(font).horizontalAdvance(text) > room ? text : QString());
}

moduleFrame::~moduleFrame()
{
    delete form;
}

void moduleFrame::setSlotNum(QString slot)
{
    form->IP->setText(slot);
    bool ok = false;
    const int n = slot.toInt(&ok, 10);
    slotNum = ok ? n : 0;
}

void moduleFrame::addShowWidget(QWidget *frame)
{
    form->IP->show();
    form->label->show();
    if (showForm)
        showForm->addModuleWidget(frame);
}

void moduleFrame::hideLabels()
{
    form->name->hide();
    form->IP->hide();
}

void moduleFrame::addShowFormTab(QTabWidget *tabs)
{
    if (!tabs || !showForm)
        return;
    tabs->addTab(showForm, QCoreApplication::translate("moduleFrame", "产品示图"));
    tabs->repaint();
}

void moduleFrame::setHighlight()
{
    highlighted = true;
    setStyleSheet(kHighlightStyle);
}

void moduleFrame::clearHighlight()
{
    highlighted = false;
    setStyleSheet(kPlainStyle);
}

QByteArray moduleFrame::getParamData()
{
    QByteArray data;
    for (menubase *page : livePages())
        data.append(page->getParamData());
    return data;
}

int moduleFrame::setParamData(QByteArray data, int reserved)
{
    int used = 0;
    for (menubase *page : livePages()) {
        QByteArray rest = data.mid(used);
        if (page->ownsRest && reserved > 0 && rest.size() >= reserved)
            rest.chop(reserved);
        const int n = page->setParamData(rest);
        used += qBound(0, n, int(rest.size()));
    }
    return used;
}

void moduleFrame::restorePagesDefaults()
{
    for (menubase *page : livePages())
        page->restoreDefaults(highlighted);
}

qint64 moduleFrame::pagesInputSize()
{
    qint64 sum = 0;
    for (menubase *page : livePages())
        sum += page->inputSize();
    return sum;
}

qint64 moduleFrame::pagesOutputSize()
{
    qint64 sum = 0;
    for (menubase *page : livePages())
        sum += page->outputSize();
    return sum;
}

void moduleFrame::setLanguage(int language)
{
    if (language == modulebase::language)
        return;
    loadLanguage(language);
    for (menubase *page : livePages())
        page->retranslate(language);
    modulebase::language = language;
}

void moduleFrame::setPagesOwner()
{
    for (menubase *page : livePages())
        page->setOwner(this);
}

void moduleFrame::updatePages()
{
    for (menubase *page : livePages())
        page->updatePage();
}

int moduleFrame::collectSlotList()
{
    slotList.clear();
    for (menubase *page : livePages())
        slotList.append(page->getSlotList());
    return slotList.size();
}

void moduleFrame::clearTabs()
{
    for (menubase *page : livePages())
        page->resetPage();
    if (!tabWidget)
        return;
    while (tabWidget->count() > 0)
        tabWidget->removeTab(0);
}

void moduleFrame::showPages()
{
    if (!tabWidget)
        return;
    clearTabs();
    if (QWidget *holder = tabWidget->parentWidget()) {
        const QString title = QStringLiteral("%1:%2(%3)").arg(slotNum).arg(ModuleShowName, Text);
        if (auto *box = qobject_cast<QGroupBox *>(holder))
            box->setTitle(title);
        else
            holder->setWindowTitle(title);
    }
    for (menubase *page : livePages()) {
        tabWidget->addTab(page, page->title);
        page->updatePage();
    }
    tabWidget->repaint();
}

void moduleFrame::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QFont font = painter.font();
    font.setPointSize(14);
    painter.setFont(font);
}

void moduleFrame::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    showPages();
    if (QTreeWidget *tree = treeWidget())
        tree->setCurrentItem(this);
}
