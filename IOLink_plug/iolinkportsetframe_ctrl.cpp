#include "iolinkportsetframe_ctrl.h"

IoLinkPortSetFrame_Ctrl::IoLinkPortSetFrame_Ctrl(QWidget *parent)
    : Channel_Ctrl(parent)
{
}

IoLinkPortSetFrame_Ctrl::~IoLinkPortSetFrame_Ctrl() = default;

void IoLinkPortSetFrame_Ctrl::retranslate(int) { }

void IoLinkPortSetFrame_Ctrl::appendLog(QString, bool) { }

void IoLinkPortSetFrame_Ctrl::showIoParams(const QByteArray &) { }

void IoLinkPortSetFrame_Ctrl::showPortConfig(const QByteArray &) { }

void IoLinkPortSetFrame_Ctrl::showIsduRead(const QByteArray &) { }
