#!/usr/bin/env python3
"""Writes the Excel templates the gateway pages hand to the user (data/Template/*.xlsx) with
openpyxl (Debian python3-openpyxl). The outputs are committed; run this again after changing it."""
import os
import openpyxl
from openpyxl.styles import Font

here = os.path.dirname(os.path.abspath(__file__))
target = os.path.join(here, "..", "data", "Template")


def save(name, header, example):
    wb = openpyxl.Workbook()
    sheet = wb.active
    sheet.title = "Sheet1"
    sheet.append(header)
    for cell in sheet[1]:
        cell.font = Font(bold=True)
    sheet.append(example)
    for i in range(len(header)):
        sheet.column_dimensions[openpyxl.utils.get_column_letter(i + 1)].width = 18
    wb.save(os.path.join(target, name))


# Modbus master table: slave address, function text, register address, data length.
save("modbusconfig_Zh.xlsx", ["从机地址", "功能码", "寄存器地址", "数据长度"], [1, "03 读保持寄存器", 0, 1])
save("modbusconfig_En.xlsx", ["Slave Address", "Fun Code", "Reg Address", "Data Length"],
     [1, "03 Read holding Reg", 0, 1])

# EtherCAT gateway table: the ten columns of the page's table.
save("ecatmodbusconfig_Zh.xlsx",
     ["从机地址", "功能码", "寄存器地址", "数据长度", "触发方式", "轮询时间", "超时时间", "交换字节", "位访问", "描述"],
     [1, "03 读保持寄存器", 0, 1, 0, 300, 100, "否", "否", ""])
save("ecatmodbusconfig_En.xlsx",
     ["Slave Address", "Fun Code", "Reg Address", "Data Length", "Trigger Mode", "Poll Time", "Timeout Time",
      "Swap", "BITARR", "Description"],
     [1, "03 Read holding Reg", 0, 1, 0, 300, 100, "False", "False", ""])

# Serial gateway table: port, slave, function, register, swap, length, -, trigger, poll, timeout,
# -, -, description (the import reads these columns).
save("mscommconfig_Zh.xlsx",
     ["端口", "从机地址", "功能码", "寄存器地址", "交换字节", "数据长度", "", "触发方式", "轮询时间", "超时时间", "", "",
      "描述"],
     ["端口1", 1, "03 读保持寄存器", 0, "否", 1, None, 0, 200, 100, None, None, ""])
save("mscommconfig_En.xlsx",
     ["Port", "Slave Address", "Fun Code", "Reg Address", "Swap", "Data Length", "", "Trigger Mode", "Poll Time",
      "Timeout Time", "", "", "Description"],
     ["Port1", 1, "03 Read holding Reg", 0, "False", 1, None, 0, 200, 100, None, None, ""])
