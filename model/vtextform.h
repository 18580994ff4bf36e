#ifndef VTEXTFORM_H
#define VTEXTFORM_H

#include <QBrush>
#include <QWidget>

class QGraphicsScene;

namespace Ui {
class VTextForm;
}

// A narrow caption whose text reads from bottom to top.
class VTextForm : public QWidget
{
public:
    explicit VTextForm(QString text, QWidget *parent = nullptr);
    ~VTextForm() override;
    VTextForm(const VTextForm &) = delete;
    VTextForm &operator=(const VTextForm &) = delete;

    void setBackground(QBrush brush);

    Ui::VTextForm *form = nullptr;
    QGraphicsScene *scene = nullptr;
};

#endif
