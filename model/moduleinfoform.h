#ifndef MODULEINFOFORM_H
#define MODULEINFOFORM_H

#include <QMetaObject>
#include <QPointer>
#include <QWidget>

class module;
class submodule;

namespace Ui {
class moduleinfoForm;
}

// The read-only panel beside the module tree: what the scan reported for the module shown,
// the selected sub-module, and the two actions on that module.
class moduleinfoForm : public QWidget
{
    Q_OBJECT

public:
    explicit moduleinfoForm(QWidget *parent = nullptr);
    ~moduleinfoForm() override;

    void showModuleInfo(::module *m);
    void showSubmoduleInfo(submodule *sub);
    void clearSubmoduleInfo();
    // Forgets the module: empties every field and disables the module's buttons. Runs by
    // itself when the module is destroyed.
    void clearModuleInfo();
    void retranslate();

    Ui::moduleinfoForm *form = nullptr;
    // Guarded: the main window deletes its modules on a new scan or an opened project.
    QPointer<::module> module;

private slots:
    void on_pushButton_2_clicked();
    void on_pushButton_IP_clicked();
    void on_pushButton_clicked();

protected:
    void changeEvent(QEvent *event) override;

private:
    void moduleDestroyed();
    void fitCaptions();

    QMetaObject::Connection m_destroyedConnection;
};

#endif
