<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="en">
<context>
    <name></name>
    <message id="104">
        <source> not found!</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="105">
        <source>Path not found!</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="106">
        <source>The installation file is corupt!</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="107">
        <source>Access denied!</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="108">
        <source>Der angegebene Dateityp ist auf Ihrem Computer keiner Anwendung zugeordnet!</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="110">
        <source>Zum Ausführen der Anwendung ist nicht genügend Arbeitsspeicher frei!</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="111">
        <source>Datei  konnte nicht geöffnet werden!</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="112">
        <source>InstFile_EN.msi</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
