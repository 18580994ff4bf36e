#ifndef MODULESHOWFORM_H
#define MODULESHOWFORM_H

#include <QWidget>

// A module's picture form: the module's frame followed by its sub-modules' frames.
class moduleshowform : public QWidget
{
public:
    explicit moduleshowform(QWidget *parent = nullptr);

    virtual void addModuleWidget(QWidget *frame) = 0;

    // The picture form a module of family shows itself in; null when no form is available.
    static moduleshowform *createForFamily(const QString &family);
};

#endif
