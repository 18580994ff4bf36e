#include "titleform.h"
#include "ui_titleform.h"

#include <QMouseEvent>

TitleForm::TitleForm(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::TitleForm)
{
    ui->setupUi(this);
    // Without this, styles such as Fusion paint a dark bevel under the buttons' transparent
    // background; the buttons' own sheets below still decide colours and hover.
    setStyleSheet(QStringLiteral("QPushButton{border:none;}"));
    const QString buttonStyle = QStringLiteral("QPushButton{color:white; background-color:transparent;}"
                                               "QPushButton:hover{background-color: rgb(178, 171, 255);}");
    ui->closebutton->setStyleSheet(buttonStyle);
    ui->maxbutton->setStyleSheet(buttonStyle);
    ui->minbutton->setStyleSheet(buttonStyle);
}

TitleForm::~TitleForm()
{
    delete ui;
}

void TitleForm::setWindow(QWidget *window)
{
    m_window = window;
}

void TitleForm::hideMinButton()
{
    ui->minbutton->hide();
}

void TitleForm::hideMaxButton()
{
    ui->maxbutton->hide();
}

void TitleForm::setTitleIcon(const QIcon &icon)
{
    ui->Tilebutton_2->setIcon(icon);
    ui->Tilebutton_2->setIconSize(QSize(32, 30));
}

void TitleForm::setTitleIconSize(const QSize &size)
{
    ui->Tilebutton_2->setIconSize(size);
}

void TitleForm::setTitleText(const QString &text)
{
    ui->Tilebutton_2->setText(text);
}

void TitleForm::toggleMaximized()
{
    on_maxbutton_clicked();
}

void TitleForm::on_minbutton_clicked()
{
    if (m_window)
        m_window->showMinimized();
}

void TitleForm::on_maxbutton_clicked()
{
    if (!m_window)
        return;
    QIcon icon;
    if (m_window->isMaximized()) {
        m_maximized = 0;
        icon.addFile(QStringLiteral(":/new/prefix1/img/normal.png"), QSize(30, 30), QIcon::Normal, QIcon::On);
        ui->maxbutton->setIcon(icon);
        m_window->showNormal();
    } else {
        m_window->showMaximized();
        m_maximized = 1;
        icon.addFile(QStringLiteral(":/new/prefix1/img/max.png"), QSize(30, 30), QIcon::Normal, QIcon::On);
        ui->maxbutton->setIcon(icon);
    }
}

void TitleForm::on_closebutton_clicked()
{
    if (m_window)
        m_window->close();
}

void TitleForm::mousePressEvent(QMouseEvent *event)
{
    if (!m_window || event->button() != Qt::LeftButton)
        return;
    const QPoint offset = event->screenPos().toPoint() - m_window->pos();
    m_dragX = offset.x();
    m_dragY = offset.y();
}

void TitleForm::mouseDoubleClickEvent(QMouseEvent *event)
{
    Q_UNUSED(event);
    if (m_window)
        toggleMaximized();
}

void TitleForm::mouseMoveEvent(QMouseEvent *event)
{
    // A maximised window stays where it is until it is restored.
    if (!m_window || m_maximized == 1 || !(event->buttons() & Qt::LeftButton))
        return;
    m_window->move(event->screenPos().toPoint() - QPoint(m_dragX, m_dragY));
}
