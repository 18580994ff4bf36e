#include "channel_ctrl.h"

Channel_Ctrl::Channel_Ctrl(QWidget *parent)
    : QFrame(parent)
{
}
