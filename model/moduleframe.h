#ifndef MODULEFRAME_H
#define MODULEFRAME_H

#include "modulebase.h"

#include <QByteArray>
#include <QPointer>
#include <QTreeWidgetItem>
#include <QWidget>

class QLabel;
class QTabWidget;
class moduleshowform;

namespace Ui {
class moduleFrame;
}

// A module or sub-module as a framed picture, a module-tree row and a description with its
// pages at once; runs the loops over its pages.
class moduleFrame : public QWidget, public modulebase, public QTreeWidgetItem
{
public:
    explicit moduleFrame(QString name, QString family, QWidget *parent = nullptr);
    ~moduleFrame() override;

    void setSlotNum(QString slot);
    void addShowWidget(QWidget *frame);
    void hideLabels();
    void addShowFormTab(QTabWidget *tabs);
    void setHighlight();
    void clearHighlight();

    QByteArray getParamData();
    // Deals data out to the pages in page order; returns the bytes they used. A page's count
    // never moves the offset backwards or past the end of data. The last reserved bytes belong
    // to the sub-modules: a page that owns the rest does not get them.
    int setParamData(QByteArray data, int reserved = 0);
    void restorePagesDefaults();
    qint64 pagesInputSize();
    qint64 pagesOutputSize();
    void setLanguage(int language);
    void setPagesOwner();
    void updatePages();
    int collectSlotList();
    void clearTabs();
    void showPages();

    QPointer<moduleshowform> showForm;
    Ui::moduleFrame *form = nullptr;
    QPointer<QTabWidget> tabWidget;
    int slotNum = 0;
    bool highlighted = false;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    // Shows text in label, in smaller type where it is wider than room pixels.
    static void fitName(QLabel *label, const QString &text, int room);
};

#endif
