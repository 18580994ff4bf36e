#ifndef KTLSHOWFORM_H
#define KTLSHOWFORM_H

#include "moduleshowform.h"

#include <QPointer>

class VTextForm;

namespace Ui {
class KTLShowForm;
}

// The stacked picture form of the compact families: the module in the first row and one
// sub-module in each of the two rows below, each with a slot caption and a name caption.
class KTLShowForm : public moduleshowform
{
public:
    explicit KTLShowForm(QWidget *parent = nullptr);
    ~KTLShowForm() override;
    KTLShowForm(const KTLShowForm &) = delete;
    KTLShowForm &operator=(const KTLShowForm &) = delete;

    // Places the module, then the first two sub-modules; later frames are not shown.
    void addModuleWidget(QWidget *frame) override;

    Ui::KTLShowForm *form = nullptr;
    int count = 0;
    QPointer<VTextForm> nameText1;
    QPointer<VTextForm> nameText2;
    QPointer<VTextForm> nameText3;
    QPointer<VTextForm> slotText1;
    QPointer<VTextForm> slotText2;
    QPointer<VTextForm> slotText3;
};

#endif
