<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="zh_CN">
<context>
    <name>SaveDialog</name>
    <message>
        <source>失败</source>
        <translation>Fail</translation>
    </message>
</context>
<context>
    <name>IoLink_Module</name>
    <message>
        <source>失败</source>
        <translation>Fail</translation>
    </message>
    <message>
        <source>失败 </source>
        <translation>---&gt;</translation>
    </message>
    <message>
        <source>输入输出参数设置</source>
        <translation>
</translation>
    </message>
    <message>
        <source>设置ISDU</source>
        <translation>Set up ISDU</translation>
    </message>
</context>
<context>
    <name>IoLinkInfoFrame_Ctrl</name>
    <message>
        <source>Inputs(Hex):</source>
        <translation>输入数据(Hex):</translation>
    </message>
    <message>
        <source>Outputs(Hex):</source>
        <translation>输出数据(Hex):</translation>
    </message>
</context>
<context>
    <name>IoLinkPortSetFrame_Ctrl</name>
    <message>
        <source>Function：</source>
        <translation>功能:</translation>
    </message>
    <message>
        <source>Vendor ID(HEX)：</source>
        <translation>供应商ID(Hex):</translation>
    </message>
    <message>
        <source>Device ID(HEX)：</source>
        <translation>设备ID(Hex):</translation>
    </message>
    <message>
        <source>IOLink Cycle：  </source>
        <translation>周期:</translation>
    </message>
    <message>
        <source>Validation：</source>
        <translation>校验:</translation>
    </message>
    <message>
        <source>Input len：</source>
        <translation>输入长度:</translation>
    </message>
    <message>
        <source>Output len：</source>
        <translation>输出长度:</translation>
    </message>
    <message>
        <source>Swap：</source>
        <translation>交换字节:</translation>
    </message>
    <message>
        <source>Data Input len：</source>
        <translation>数据输入长度</translation>
    </message>
    <message>
        <source>Data Output len：</source>
        <translation>数据输出长度</translation>
    </message>
</context>
<context>
    <name>IoLinkParamFrame_Ctrl</name>
    <message>
        <source>失败</source>
        <translation>Fail</translation>
    </message>
</context>
</TS>
