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

    // A page's widgets are made when it is first shown, or when a caller first needs what only
    // they hold; until then the page keeps its bytes and settings without them, so a project of
    // many modules opens without building thousands of widgets nobody looks at.
    bool isBuilt() const { return m_built; }
    void ensureBuilt();
    void setVisible(bool visible) override;

    // While one lives, pages constructed leave their widgets for later (the page factory).
    class DeferBuild
    {
    public:
        DeferBuild();
        ~DeferBuild();
        DeferBuild(const DeferBuild &) = delete;
        DeferBuild &operator=(const DeferBuild &) = delete;
    };

    QString title;
    modulebase *owner = nullptr;
    // A table page whose block runs to the end of the bytes it is given.
    bool ownsRest = false;

protected:
    // Makes the page's form and widgets; called once, by ensureBuilt().
    virtual void buildPage();
    // The last call of a page constructor: builds at once unless the factory defers it.
    void buildUnlessDeferred();
    // For retranslate(): on a page not built yet, remembers language for the build and returns
    // true (nothing to retranslate yet).
    bool deferRetranslate(int language);

private:
    bool m_built = false;
    int m_pendingLanguage = -1;
};

#endif
