#ifndef IOLINKPARAMFRAME_CTRL_H
#define IOLINKPARAMFRAME_CTRL_H

#include "channel_ctrl.h"

#include <QByteArray>
#include <QTimer>

struct IoLinkParamRow;
struct IoLinkParamTexts;
class QLineEdit;

namespace Ui {
class IoLinkParamFrame_Ctrl;
}

// One master port on the parameter page: a table of 20 ISDU parameter rows that are read from
// the master, written one at a time as a test, saved all together, and exported to or imported
// from a text file. Each answer shows in its row's result cell whenever it arrives.
class IoLinkParamFrame_Ctrl : public Channel_Ctrl
{
    Q_OBJECT

public:
    explicit IoLinkParamFrame_Ctrl(QWidget *parent = nullptr);
    ~IoLinkParamFrame_Ctrl() override;

    void retranslate(int language);

    // The link hands these the payload of an answer for this frame's port.
    void showWriteResult(const QByteArray &payload);
    void showReadRow(const QByteArray &payload);
    void showSaveResult(const QByteArray &payload);
    // A request of row did not go out, and why.
    void showUnsent(int row, const QString &why);

protected:
    void buildFrame() override;

private slots:
    void on_btnSave_clicked();
    void on_btnRead_clicked();
    void OnClickSend();
    void on_btnClear_clicked();
    void on_btnExport_clicked();
    void on_btnImport_clicked();

private:
    bool checkRow(IoLinkParamRow *out, int row);
    void clearResults();
    void showResult(int row, const QString &text, bool failed);
    IoLinkParamTexts rowTexts(int row) const;
    QLineEdit *editor(int row, int column) const;
    void readNextRow();

    Ui::IoLinkParamFrame_Ctrl *ui;
    // Paces the row reads; it dies with the frame, so a read never outlives it.
    QTimer m_readTimer;
    int m_readRow = 0;
};

#endif
