#ifndef WEIGH_FORM_H
#define WEIGH_FORM_H

#include "weighlinkpage.h"

#include <QByteArray>
#include <QMap>

class QHBoxLayout;
class QPushButton;
class QTabWidget;
class QVBoxLayout;
class weighingconfig;

// The weighing page: one tab per channel, each with its panel, and the page's serial link to
// the module. A 100 ms tick sends one frame: the oldest a panel queued, else a weight poll of the
// visible channel. Replies go to the panel of the channel they name.
class Weigh_Form : public WeighLinkPage
{
    Q_OBJECT

public:
    explicit Weigh_Form(QWidget *parent = nullptr);

    int attachModule(modulebase *module) override;

    QByteArray buildFrame(int command, QByteArray payload);
    int dispatchFrame(QByteArray frame) override;
    void connectLink() override;
    void disconnectLink() override;

    int channelCount = 0;
    QMap<int, weighingconfig *> channelMap;

    QHBoxLayout *horizontalLayout = nullptr;
    QTabWidget *tabWidget = nullptr;
    QVBoxLayout *verticalLayout = nullptr;
    QPushButton *pushButton_conset = nullptr;

public slots:
    void chn_configmessage(QByteArray &msg);
    void on_pushButton_conset_clicked(bool checked);

protected:
    void buildPage() override;
    QByteArray pollFrame() override;
    void showLinkUp() override;
    int replySize(const QByteArray &frameSoFar) const override;

private:
    void buildChannels();
};

#endif
