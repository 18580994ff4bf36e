#ifndef MENUBASE_H
#define MENUBASE_H

#include <QByteArray>
#include <QList>
#include <QString>
#include <QWidget>

class modulebase;
class moduleslot;

// Base of every parameter page. The module frame drives all pages alike through these
// operations; a page overrides the ones it needs.
class menubase : public QWidget
{
public:
    explicit menubase(QWidget *parent = nullptr);
    ~menubase() override;

    virtual void setTitle(QString title);
    virtual QByteArray getParamData();
    virtual void restoreDefaults(bool showInWidgets);
    // Takes the page's share from the front of data; returns how many bytes it used.
    virtual int setParamData(QByteArray data);
    virtual void updatePage();
    virtual void resetPage();
    virtual void retranslate(int language);
    virtual void setOwner(modulebase *owner);
    virtual int attachModule(modulebase *owner);
    virtual modulebase *getOwner();
    virtual int inputSize();
    virtual int outputSize();
    virtual QList<moduleslot *> getSlotList();

    // The program's main window (the first top-level QMainWindow), the parent of the windows a
    // page opens; null when there is none.
    static QWidget *mainWindow();

    QString title;
    modulebase *owner = nullptr;
};

#endif
