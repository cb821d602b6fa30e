<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE" sourcelanguage="en">
<context>
    <name></name>
    <message id="104">
        <source> not found!</source>
        <translation> wurde nicht gefunden!</translation>
    </message>
    <message id="105">
        <source>Path not found!</source>
        <translation>Der Pfad zur Datei wurde  nicht gefunden!</translation>
    </message>
    <message id="106">
        <source>The installation file is corupt!</source>
        <translation>Die Installationsdatei ist ungültig oder beschädigt!</translation>
    </message>
    <message id="107">
        <source>Access denied!</source>
        <translation>Der Zugriff auf die Installationsdatei  wurde vom Betriebssystem verweigert!</translation>
    </message>
    <message id="108">
        <source>Der angegebene Dateityp ist auf Ihrem Computer keiner Anwendung zugeordnet!</source>
        <translation>Der angegebene Dateityp ist auf Ihrem Computer keiner Anwendung zugeordnet!</translation>
    </message>
    <message id="110">
        <source>Zum Ausführen der Anwendung ist nicht genügend Arbeitsspeicher frei!</source>
        <translation>Zum Ausführen der Anwendung ist nicht genügend Arbeitsspeicher frei!</translation>
    </message>
    <message id="111">
        <source>Datei  konnte nicht geöffnet werden!</source>
        <translation>Datei  konnte nicht geöffnet werden!</translation>
    </message>
    <message id="112">
        <source>InstFile_EN.msi</source>
        <translation>InstFile_DE.msi</translation>
    </message>
</context>
</TS>
