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
</TS>
