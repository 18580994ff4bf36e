#ifndef CATALOGINFOFORM_H
#define CATALOGINFOFORM_H

#include <QWidget>

class moduleslot;

namespace Ui {
class CatalogInfoForm;
}

// Picture, name and description text of a remote module type picked in the device-list editor.
class CatalogInfoForm : public QWidget
{
    Q_OBJECT

public:
    explicit CatalogInfoForm(QWidget *parent = nullptr);
    ~CatalogInfoForm() override;

    void showEntry(moduleslot *entry);

    Ui::CatalogInfoForm *ui;
};

#endif
