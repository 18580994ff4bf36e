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
</TS>
