#include "iolinkparamframe_ctrl.h"

IoLinkParamFrame_Ctrl::IoLinkParamFrame_Ctrl(QWidget *parent)
    : Channel_Ctrl(parent)
{
}

IoLinkParamFrame_Ctrl::~IoLinkParamFrame_Ctrl() = default;

void IoLinkParamFrame_Ctrl::retranslate(int) { }

void IoLinkParamFrame_Ctrl::showWriteResult(const QByteArray &) { }

void IoLinkParamFrame_Ctrl::showReadRow(const QByteArray &) { }

void IoLinkParamFrame_Ctrl::showSaveResult(const QByteArray &) { }
