#include "moduleprms.h"

#include "prompts.h"

#include <QComboBox>
#include <QCursor>
#include <QLabel>
#include <QMenu>
#include <QSpinBox>

modulePrms::modulePrms() = default;

modulePrms::~modulePrms()
{
    for (auto &entry : valueItems)
        delete entry.first;
}

ValueItem *modulePrms::itemForValue(int value) const
{
    for (const auto &entry : valueItems) {
        if (entry.second == value)
            return entry.first;
    }
    return nullptr;
}

const QPair<ValueItem *, int> *modulePrms::entryForText(const QString &text) const
{
    for (const auto &entry : valueItems) {
        if (entry.first->text == text)
            return &entry;
    }
    return nullptr;
}

void modulePrms::showContextMenu(QPoint)
{
    if (!widget)
        return;
    // Both belong to the widget, which may go while the menu runs.
    QPointer<QMenu> menu = new QMenu(widget);
    QPointer<QAction> action = new QAction(tr("恢复默认值"), widget);
    menu->addAction(action);
    connect(action, &QAction::triggered, this, qOverload<bool>(&modulePrms::defaultValuetriggered));
    Prompts::execMenu(menu, QCursor::pos());
    delete action;
    delete menu;
}

void modulePrms::defaultValuetriggered()
{
    if (auto *spin = qobject_cast<QSpinBox *>(widget.data())) {
        spin->setValue(DefaultValue);
    } else if (auto *combo = qobject_cast<QComboBox *>(widget.data())) {
        if (ValueItem *item = itemForValue(DefaultValue))
            combo->setCurrentText(item->text);
    }
}

void modulePrms::defaultValuetriggered(bool)
{
    defaultValuetriggered();
}

void modulePrms::showValue(int value)
{
    if (auto *spin = qobject_cast<QSpinBox *>(widget.data())) {
        const bool blocked = spin->blockSignals(true);
        spin->setValue(value);
        spin->blockSignals(blocked);
    } else if (auto *combo = qobject_cast<QComboBox *>(widget.data())) {
        ValueItem *item = itemForValue(value);
        if (!item)
            return;
        const bool blocked = combo->blockSignals(true);
        combo->setCurrentText(item->text);
        combo->blockSignals(blocked);
    }
}

void modulePrms::valueChanged(int)
{
    if (auto *spin = qobject_cast<QSpinBox *>(widget.data())) {
        value = spin->value();
    } else if (auto *combo = qobject_cast<QComboBox *>(widget.data())) {
        if (const auto *entry = entryForText(combo->currentText()))
            value = entry->second;
    }
    if (label)
        label->setText(text + "*");
}
