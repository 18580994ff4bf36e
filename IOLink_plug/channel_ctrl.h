#ifndef CHANNEL_CTRL_H
#define CHANNEL_CTRL_H

#include <QFrame>

class menubase;

// One port's panel on an IO-Link page. The page sets the port (0..3) before registering the
// panel with the link; every request of the panel carries it as its first payload byte.
class Channel_Ctrl : public QFrame
{
    Q_OBJECT

public:
    explicit Channel_Ctrl(QWidget *parent = nullptr);

    menubase *ownerPage = nullptr;
    quint8 port = 0;

    // A panel's widgets are made when it is first shown or first has something to show (an
    // answer of the master), so a page of four ports builds the one in view and not the three
    // behind the other tabs.
    bool isBuilt() const { return m_built; }
    void ensureBuilt();
    void setVisible(bool visible) override;

    // While one lives, panels constructed leave their widgets for later (a page's form).
    class DeferBuild
    {
    public:
        DeferBuild();
        ~DeferBuild();
        DeferBuild(const DeferBuild &) = delete;
        DeferBuild &operator=(const DeferBuild &) = delete;
    };

protected:
    // Makes the panel's form and widgets; called once, by ensureBuilt().
    virtual void buildFrame();
    // The last call of a panel constructor: builds at once unless a page defers it.
    void buildUnlessDeferred();
    // For a panel's retranslate(): on a panel not built yet, remembers language for the build and
    // returns true (nothing to retranslate yet).
    bool deferRetranslate(int language);
    // The language remembered by deferRetranslate(), -1 when none; forgets it.
    int takePendingLanguage();

private:
    bool m_built = false;
    int m_pendingLanguage = -1;
};

#endif
