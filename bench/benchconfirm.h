#ifndef BENCHCONFIRM_H
#define BENCHCONFIRM_H

#include "prompts.h"

namespace Bench {

// Confirms every question and box and chooses no file, as a user letting the program go on would.
class Confirm : public Prompts::Handler
{
public:
    QMessageBox::StandardButton message(QWidget *, QMessageBox::Icon, const QString &, const QString &,
        QMessageBox::StandardButtons, QMessageBox::StandardButton) override
    {
        return QMessageBox::Ok;
    }
    QString openFileName(QWidget *, const QString &, const QString &, const QString &) override { return {}; }
    QString saveFileName(QWidget *, const QString &, const QString &, const QString &) override { return {}; }
    QString existingDirectory(QWidget *, const QString &, const QString &) override { return {}; }
    int exec(QDialog *) override { return QDialog::Accepted; }
};

} // namespace Bench

#endif
