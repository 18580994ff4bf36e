#ifndef MODBUSMONITOR_H
#define MODBUSMONITOR_H

#include "menubase.h"

#include <QByteArray>

class PollLink;

namespace Ui {
class ModbusMonitor;
}

// The live communication log of a gateway: while the link is open the module is kept streaming
// with a keep-alive, and each message it sends is appended to the log in the colour of its kind,
// unless its slot is filtered out. The log can be cleared and saved as text.
class ModbusMonitor : public menubase
{
    Q_OBJECT

public:
    explicit ModbusMonitor(QWidget *parent = nullptr);
    ~ModbusMonitor() override;

    void resetPage() override;
    void retranslate(int language) override;

    void openLink();
    void closeLink();
    void appendText(const QByteArray &message);

    // The log keeps this many paragraphs; older ones are dropped.
    static constexpr int maxBlocks = 200;
    // A longer message shows its start only; the saved log holds it whole.
    static constexpr int maxShownChars = 1000;
    // Serial bytes kept while waiting for a message's "#".
    static constexpr int maxSerialBuffer = 16 * 1024;

    PollLink *link() const { return m_link; }
    bool open = false;
    Ui::ModbusMonitor *ui;

public slots:
    void on_open_pushButton_clicked(bool checked);
    void on_clean_pushButton_clicked();
    void on_slave_pushButton_clicked();

protected:
    void buildPage() override;
    void hideEvent(QHideEvent *event) override;

private:
    void setOpenText();

    PollLink *m_link = nullptr;
};

#endif
