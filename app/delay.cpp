#include "delay.h"

#include <QEventLoop>
#include <QTimer>

void delay(unsigned msec)
{
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(msec), &loop, &QEventLoop::quit);
    loop.exec();
}
