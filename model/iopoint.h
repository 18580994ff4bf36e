#ifndef IOPOINT_H
#define IOPOINT_H

#include <QString>
#include <QVariant>

// One point of a module's process image: 1, 2 or 4 bytes of one direction.
class IoPoint
{
public:
    // Rebuilds the address text (%IB0, %QW4, %ID8...) from direction, size and number.
    void updateAddress();

    bool swap = false;
    int size = 1;
    int number = 0;
    quint32 value = 0;
    qint32 writeValue = 0;
    QString address;
    QString name;
    int direction = 0;
    int dataType = 0;
    int format = 0;
    QVariant row;
};

#endif
