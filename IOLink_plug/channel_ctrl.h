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
};

#endif
