#ifndef GENERAL_H
#define GENERAL_H

#include "menubase.h"

#include <QList>

class QGridLayout;
class QHBoxLayout;
class QLabel;
class QScrollArea;
class modulePrms;

namespace Ui {
class General;
}

// The "General" page: one row per described parameter, a combo box for parameters with value
// items and a spin box for the others. Its block of the parameter bytes is the parameters'
// values one after another in their wire types.
class General : public menubase
{
    Q_OBJECT

public:
    explicit General(QWidget *parent = nullptr);
    ~General() override;

    int attachModule(modulebase *owner) override;
    QByteArray getParamData() override;
    int setParamData(QByteArray data) override;
    void restoreDefaults(bool showInWidgets) override;
    void retranslate(int language) override;

    QGridLayout *gridLayout = nullptr;
    QWidget *scrollContents = nullptr;
    QScrollArea *scrollArea = nullptr;

protected:
    void buildPage() override;

private:
    // One built row; a module may have two General pages, so each row keeps its own editor
    // and label instead of relying on the parameter's (which points at the last page built).
    struct Row
    {
        modulePrms *prm;
        QWidget *editor;
        QLabel *label;
    };

    void buildRows(const QList<modulePrms *> &params);
    QHBoxLayout *buildRow(modulePrms *prm);
    void connectEditor(const Row &row);
    void editorChanged(const Row &row);
    void showDefaultInRow(const Row &row);
    // The row's "restore default" menu at the cursor.
    void showRowMenu(const Row &row);
    // Shows value in the row's editor without a change signal.
    void showInRow(const Row &row, int value);

    Ui::General *ui;
    QList<Row> rows;
};

#endif
