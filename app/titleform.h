#ifndef TITLEFORM_H
#define TITLEFORM_H

#include <QIcon>
#include <QWidget>

namespace Ui {
class TitleForm;
}

// The title bar of the frameless main window and dialogs: icon and caption, minimise,
// maximise/restore and close, and dragging the window by the bar.
class TitleForm : public QWidget
{
    Q_OBJECT

public:
    explicit TitleForm(QWidget *parent = nullptr);
    ~TitleForm() override;

    void setWindow(QWidget *window);
    void hideMinButton();
    void hideMaxButton();
    void setTitleIcon(const QIcon &icon);
    void setTitleIconSize(const QSize &size);
    void setTitleText(const QString &text);
    void toggleMaximized();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private slots:
    void on_minbutton_clicked();
    void on_maxbutton_clicked();
    void on_closebutton_clicked();

private:
    QWidget *m_window = nullptr;
    int m_dragX = 0;
    int m_dragY = 0;
    int m_maximized = 0;
    Ui::TitleForm *ui;
};

#endif
