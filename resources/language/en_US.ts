<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="zh_CN">
<context>
    <name>MACDialog</name>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;:&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;:&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
</context>
<context>
    <name>uartthread</name>
    <message>
        <source>#下载成功</source>
        <translation>#Succeeded</translation>
    </message>
    <message>
        <source>#下载出错</source>
        <translation>#Fail</translation>
    </message>
</context>
<context>
    <name>TitleForm</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
</context>
</TS>
