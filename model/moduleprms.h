#ifndef MODULEPRMS_H
#define MODULEPRMS_H

#include "valueitem.h"

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>

class QLabel;
class QWidget;

// One described parameter of a module type with its current value and editing widget.
class modulePrms : public QObject
{
    Q_OBJECT
public:
    modulePrms();
    ~modulePrms() override;

    // Shows value in the widget without emitting any change.
    void showValue(int value);

    // First value item (in item order) with the given value or text; null when none has it.
    ValueItem *itemForValue(int value) const;
    const QPair<ValueItem *, int> *entryForText(const QString &text) const;

    int widgetKind = 0; // 0 spin box, 1 combo box
    QString text;
    QString ParameterName;
    QString ValueItemTarget;
    QString DataType;
    int min = 0;
    int max = 0;
    int DefaultValue = 0;
    ValueItemList valueItems; // owned
    int value = 0;
    QPointer<QWidget> widget;
    QPointer<QLabel> label;

public slots:
    void showContextMenu(QPoint pos);
    void defaultValuetriggered();
    void defaultValuetriggered(bool);
    void valueChanged(int value);
};

#endif
