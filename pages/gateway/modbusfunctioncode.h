#ifndef MODBUSFUNCTIONCODE_H
#define MODBUSFUNCTIONCODE_H

#include <QString>

// The eight Modbus functions every gateway table offers, in the order of its choice boxes.
// Texts are translated in the context of the page that shows them.
class ModbusFunctionCode
{
public:
    static constexpr int Count = 8;

    static int code(int index);
    // The choice index of code; any code not in the list selects index 0 (code 01).
    static int indexOf(int code);
    // The Chinese source text of index ("03 读保持寄存器").
    static const char *sourceText(int index);
    static QString text(int index, const char *context);
    // The English name without its number ("Read holding Reg"), as rows are named in an ESI file.
    static QString englishName(int index);
    static bool isRead(int index) { return index >= 0 && index < 4; }
    static bool isWrite(int index) { return index >= 4 && index < Count; }
    // 05 and 06 write exactly one coil or register.
    static bool isSingleWrite(int index) { return index == 4 || index == 5; }
    // Codes 01, 02, 05, 15 count bits; the others 16-bit registers.
    static bool isBitFunction(int index) { return index == 0 || index == 1 || index == 4 || index == 6; }
};

#endif
