<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="en">
<context>
    <name>CustomMcuUpdateWidget</name>
    <message>
        <source>Upgrade MCU</source>
        <translation>MCU aktualisieren</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>unbekannt</translation>
    </message>
    <message>
        <source>Update</source>
        <translation>Aktualisieren</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>CustomUpdateWidget</name>
    <message>
        <source>Update</source>
        <translation>Aktualisieren</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Upgrade part</source>
        <translation>Teil aktualisieren</translation>
    </message>
    <message>
        <source>Upgrade system</source>
        <translation>System aktualisieren</translation>
    </message>
    <message>
        <source>Updating</source>
        <translation>Aktualisierung läuft</translation>
    </message>
    <message>
        <source>Package missing</source>
        <translation>Paket fehlt</translation>
    </message>
</context>
<context>
    <name>UpgradeDialog</name>
    <message>
        <source>Upgrade file detected</source>
        <translation>Aktualisierungsdatei erkannt</translation>
    </message>
    <message>
        <source>Upgrade part</source>
        <translation>Teil aktualisieren</translation>
    </message>
    <message>
        <source>Upgrade system</source>
        <translation>System aktualisieren</translation>
    </message>
    <message>
        <source>Upgrade MCU</source>
        <translation>MCU aktualisieren</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>COPY is Done!</source>
        <translation>Kopieren abgeschlossen!</translation>
    </message>
</context>
</TS>
