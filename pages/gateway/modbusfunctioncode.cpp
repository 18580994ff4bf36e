#include "modbusfunctioncode.h"

#include <QCoreApplication>

namespace {

struct Function
{
    int code;
    const char *text;
    const char *english;
};

const Function functions[ModbusFunctionCode::Count] = {
    { 1, QT_TRANSLATE_NOOP("modbusconfig", "01 读线圈"), "Read Coid" },
    { 2, QT_TRANSLATE_NOOP("modbusconfig", "02 读离散输入"), "Read Discrete inputs" },
    { 3, QT_TRANSLATE_NOOP("modbusconfig", "03 读保持寄存器"), "Read holding Reg" },
    { 4, QT_TRANSLATE_NOOP("modbusconfig", "04 读输入寄存器"), "Read Input Reg" },
    { 5, QT_TRANSLATE_NOOP("modbusconfig", "05 写单个线圈"), "Write Single Coil" },
    { 6, QT_TRANSLATE_NOOP("modbusconfig", "06 写单个寄存器"), "Wirte Single Reg" },
    { 15, QT_TRANSLATE_NOOP("modbusconfig", "15 写多个线圈"), "Write Multiple Coils" },
    { 16, QT_TRANSLATE_NOOP("modbusconfig", "16 写多个寄存器"), "Write Multipe Regs" },
};

bool valid(int index)
{
    return index >= 0 && index < ModbusFunctionCode::Count;
}

} // namespace

int ModbusFunctionCode::code(int index)
{
    return valid(index) ? functions[index].code : 0;
}

int ModbusFunctionCode::indexOf(int code)
{
    for (int i = 0; i < Count; ++i) {
        if (functions[i].code == code)
            return i;
    }
    return 0;
}

const char *ModbusFunctionCode::sourceText(int index)
{
    return valid(index) ? functions[index].text : "";
}

QString ModbusFunctionCode::text(int index, const char *context)
{
    return valid(index) ? QCoreApplication::translate(context, functions[index].text) : QString();
}

QString ModbusFunctionCode::englishName(int index)
{
    return valid(index) ? QString::fromLatin1(functions[index].english) : QString();
}
