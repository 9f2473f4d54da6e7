<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="en">
<context>
    <name>CustomMcuUpdateWidget</name>
    <message>
        <source>Upgrade MCU</source>
        <translation>升级 MCU</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>未知</translation>
    </message>
    <message>
        <source>Update</source>
        <translation>升级</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>CustomUpdateWidget</name>
    <message>
        <source>Update</source>
        <translation>升级</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Upgrade part</source>
        <translation>部分升级</translation>
    </message>
    <message>
        <source>Upgrade system</source>
        <translation>系统升级</translation>
    </message>
    <message>
        <source>Updating</source>
        <translation>正在升级</translation>
    </message>
    <message>
        <source>Package missing</source>
        <translation>缺少升级包</translation>
    </message>
</context>
<context>
    <name>UpgradeDialog</name>
    <message>
        <source>Upgrade file detected</source>
        <translation>检测到升级文件</translation>
    </message>
    <message>
        <source>Upgrade part</source>
        <translation>部分升级</translation>
    </message>
    <message>
        <source>Upgrade system</source>
        <translation>系统升级</translation>
    </message>
    <message>
        <source>Upgrade MCU</source>
        <translation>升级 MCU</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>COPY is Done!</source>
        <translation>复制完成！</translation>
    </message>
</context>
</TS>
