<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE" sourcelanguage="en">
<context>
    <name></name>
    <message id="flash.the-backup-file-could-not-be-written">
        <source>The backup file could not be written completely:
%s
The FlashROM was left as it is.</source>
        <translation>Die Backup-Datei konnte nicht vollständig geschrieben werden:
%s
Das FlashROM bleibt unverändert.</translation>
    </message>
    <message id="flash.the-backup-holds-u-bytes-the-flashro">
        <source>The backup holds %u bytes, the FlashROM %u bytes.
The FlashROM was left as it is.</source>
        <translation>Das Backup enthält %u Bytes, das FlashROM %u Bytes.
Das FlashROM bleibt unverändert.</translation>
    </message>
    <message id="flash.verifying-flashrom">
        <source>verifying FlashROM...</source>
        <translation>Prüfe FlashROM...</translation>
    </message>
    <message id="flash.flashrom-verified">
        <source>FlashROM verified.</source>
        <translation>FlashROM geprüft.</translation>
    </message>
    <message id="flash.flashrom-not-verified-no-answer">
        <source>FlashROM not verified (no answer).</source>
        <translation>FlashROM nicht geprüft (keine Antwort).</translation>
    </message>
    <message id="flash.flashrom-differs-from-the-new-bios">
        <source>FlashROM differs from the new BIOS!</source>
        <translation>FlashROM weicht vom neuen BIOS ab!</translation>
    </message>
    <message id="flash.the-flashrom-does-not-hold-the-bios">
        <source>The FlashROM does not hold the BIOS that was written.
First difference at offset 0x%X (%u).
</source>
        <translation>Das FlashROM enthält nicht das geschriebene BIOS.
Erste Abweichung bei Offset 0x%X (%u).
</translation>
    </message>
    <message id="flash.no-backup-of-the-old-bios-was-made-i">
        <source>No backup of the old BIOS was made in this run.</source>
        <translation>In diesem Durchgang wurde kein Backup des alten BIOS angelegt.</translation>
    </message>
    <message id="flash.the-old-bios-is-saved-in-s">
        <source>The old BIOS is saved in:
%s</source>
        <translation>Das alte BIOS ist gesichert in:
%s</translation>
    </message>
    <message id="101">
        <source>&amp;About Veltrix...</source>
        <translation>&amp;Info über Veltrix...</translation>
    </message>
    <message id="102">
        <source>Kavotronik Service not available ?</source>
        <translation>Dienst Kavotronik auf dem Zielrechner nicht erreichbar?</translation>
    </message>
    <message id="103">
        <source>Connection to Kavotronik Service not possible!</source>
        <translation>Keine Verbindung zum Kavotronik Dienst möglich!</translation>
    </message>
    <message id="104">
        <source>Kavotronik Service Read Error!</source>
        <translation>Übertragungsfehler vom Kavotronik Dienst!</translation>
    </message>
    <message id="105">
        <source>Kavotronik Service Write Error!</source>
        <translation>Übertragungsfehler zum Kavotronik Dienst!</translation>
    </message>
    <message id="106">
        <source>Yes</source>
        <translation>Ja</translation>
    </message>
    <message id="107">
        <source>No</source>
        <translation>Nein</translation>
    </message>
    <message id="108">
        <source>Unknown</source>
        <translation>Unbekannt</translation>
    </message>
    <message id="109">
        <source>Kavotronik driver not found.</source>
        <translation>Keinen Kavotronik Treiber gefunden.</translation>
    </message>
    <message id="110">
        <source>Invalid Password!</source>
        <translation>Falsches Passwort!</translation>
    </message>
    <message id="111">
        <source>Kavotronik Veltrix
Connection established</source>
        <translation>Kavotronik Veltrix
Verbindung hergestellt</translation>
    </message>
    <message id="112">
        <source>Hostconnection:</source>
        <translation>Hostverbindung:</translation>
    </message>
    <message id="113">
        <source>Connection established.</source>
        <translation>Verbindung wurde hergestellt.</translation>
    </message>
    <message id="114">
        <source>connected</source>
        <translation>verbunden</translation>
    </message>
    <message id="115">
        <source>Disconnect</source>
        <translation>Trennen</translation>
    </message>
    <message id="116">
        <source>Connect</source>
        <translation>Verbinden</translation>
    </message>
    <message id="117">
        <source>disconnected</source>
        <translation>getrennt</translation>
    </message>
    <message id="118">
        <source>Kavotronik Veltrix
disconnected!</source>
        <translation>Kavotronik Veltrix
Verbindung getrennt!</translation>
    </message>
    <message id="119">
        <source>disconnected.</source>
        <translation>Verbindung wurde getrennt.</translation>
    </message>
    <message id="120">
        <source>Password corrupted!
Old Password restored!</source>
        <translation>Passwort beschädigt!
Altes Passwort wieder hergestellt!</translation>
    </message>
    <message id="121">
        <source>Entrys not complete. e-mail inactive</source>
        <translation>Eingabe unvollständig. Mail deaktiviert</translation>
    </message>
    <message id="122">
        <source>Kavotronik Veltrix
Rebuildstatus:</source>
        <translation>Kavotronik Veltrix
Rebuildstatus:</translation>
    </message>
    <message id="123">
        <source>Rebuildprogress:</source>
        <translation>Rebuildfortschritt:</translation>
    </message>
    <message id="124">
        <source>
Controller No.%d Rebuild </source>
        <translation>
Controller Nr.%d Rebuild </translation>
    </message>
    <message id="125">
        <source>Controller No.%d  %d</source>
        <translation>Controller Nr.%d  %d</translation>
    </message>
    <message id="126">
        <source>
Controller No.%d    -   </source>
        <translation>
Controller Nr.%d    -   </translation>
    </message>
    <message id="127">
        <source>Controller No.:%d  Port:%d
Device found.</source>
        <translation>Controller Nr.:%d  Port:%d
Laufwerk gefunden.</translation>
    </message>
    <message id="128">
        <source>Kavotronik Veltrix
not connected!</source>
        <translation>Kavotronik Veltrix
Nicht verbunden!</translation>
    </message>
    <message id="129">
        <source>NO RESPONSE</source>
        <translation>KEINE ANTWORT</translation>
    </message>
    <message id="130">
        <source>Controller No.:%d  Set No.:%d
RAID-Set found.</source>
        <translation>Controller Nr.:%d  Set Nr.:%d
RAID-Set gefunden.</translation>
    </message>
    <message id="131">
        <source>Controller No.:%d  Port:%d
Device lost.</source>
        <translation>Controller Nr.:%d  Port:%d
Laufwerk verloren.</translation>
    </message>
    <message id="132">
        <source>Controller No.:%d  Spare Drive* accessed.</source>
        <translation>Controller Nr.:%d  Zugriff auf Spare Drive*.</translation>
    </message>
    <message id="133">
        <source>Controller No.:%d  Set No.:%d
RAID lost.</source>
        <translation>Controller Nr.:%d  Set Nr.:%d
RAID verloren.</translation>
    </message>
    <message id="134">
        <source>Controller No.:%d  Set No.:%d
RAID Status changed.</source>
        <translation>Controller Nr.:%d  Set Nr.:%d
RAID Statusänderung.</translation>
    </message>
    <message id="135">
        <source>Controller No.:%d  Set No.:%d
Rebuild completed.</source>
        <translation>Controller Nr.:%d  Set Nr.:%d
Rebuild beendet.</translation>
    </message>
    <message id="136">
        <source>Rebuildprogress:</source>
        <translation>Rebuildfortschritt:</translation>
    </message>
    <message id="137">
        <source>Controller No.%d  completed 100</source>
        <translation>Controller Nr.%d  beendet 100</translation>
    </message>
    <message id="138">
        <source>Controller No.:%d  Set Nr.:%d
lost Redundancy.</source>
        <translation>Controller Nr.:%d  Set Nr.:%d
Redundanz verloren.</translation>
    </message>
    <message id="139">
        <source>Event</source>
        <translation>Ereigniss</translation>
    </message>
    <message id="140">
        <source>Controller No.:%d  Set Nr.:%d
RAID is broken.</source>
        <translation>Controller Nr.:%d  Set Nr.:%d
RAID ist broken.</translation>
    </message>
    <message id="141">
        <source>Errorcode %d</source>
        <translation>FehlerCode %d</translation>
    </message>
    <message id="142">
        <source>E-Mail System Error:
</source>
        <translation>Fehler im Mailsystem:
</translation>
    </message>
    <message id="143">
        <source>Hostsystem not connected.</source>
        <translation>Keine Verbindung zum Host.</translation>
    </message>
    <message id="144">
        <source>Password Re-Entry invalid!
Password unchanged!</source>
        <translation>Passwortwiederholung fehlerhaft!
Passwort nicht geändert!</translation>
    </message>
    <message id="145">
        <source>Device Info</source>
        <translation>Device Info</translation>
    </message>
    <message id="146">
        <source>Serialnumber:</source>
        <translation>Seriennummer:</translation>
    </message>
    <message id="147">
        <source>Modelnumber:</source>
        <translation>Modellnummer:</translation>
    </message>
    <message id="148">
        <source>Interface-Mode:</source>
        <translation>Interface-Mode:</translation>
    </message>
    <message id="149">
        <source>RAID Info</source>
        <translation>RAID Info</translation>
    </message>
    <message id="150">
        <source>Devicenumber:</source>
        <translation>Laufwerknummer:</translation>
    </message>
    <message id="151">
        <source>RAID Type:</source>
        <translation>RAID Typ:</translation>
    </message>
    <message id="152">
        <source>Chunksize:</source>
        <translation>Blockgröße:</translation>
    </message>
    <message id="153">
        <source>System Error.</source>
        <translation>Systemfehler.</translation>
    </message>
    <message id="155">
        <source>SATA Mode unknown</source>
        <translation>SATA mode unbekannt</translation>
    </message>
    <message id="156">
        <source>Controller/Driver not found</source>
        <translation>Keine Controller/Treiber gefunden.</translation>
    </message>
    <message id="157">
        <source>BIOS update requires driver version 3.57 or higher.</source>
        <translation>BIOS Update wird erst ab Treiberversion 3.57 unterstützt.</translation>
    </message>
    <message id="158">
        <source>Service version 3.2.1 or higher required.</source>
        <translation>Dienst muss min. Version 3.2.1 haben.</translation>
    </message>
    <message id="159">
        <source>select Backup filename</source>
        <translation>Backup Dateiname wählen</translation>
    </message>
    <message id="160">
        <source>select BIOS file</source>
        <translation>BIOS Datei wählen</translation>
    </message>
    <message id="161">
        <source>Binarifiles (*.bin) </source>
        <translation>Binärdateien (*.bin)</translation>
    </message>
    <message id="162">
        <source>determining FlashROM parameters</source>
        <translation>Frage FlashROM Parameter ab...</translation>
    </message>
    <message id="163">
        <source>saving old BIOS...</source>
        <translation>Sichere altes BIOS in Datei...</translation>
    </message>
    <message id="164">
        <source>BIOS Backup complete.</source>
        <translation>BIOS Backup beendet.</translation>
    </message>
    <message id="165">
        <source>File error %d</source>
        <translation>Dateifehler %d</translation>
    </message>
    <message id="166">
        <source>erasing FlashROM...</source>
        <translation>Lösche FlashROM...</translation>
    </message>
    <message id="167">
        <source>writing new BIOS...</source>
        <translation>Schreibe neues BIOS...</translation>
    </message>
    <message id="168">
        <source>Flash Write-Error (Offset)</source>
        <translation>Fehler beim Flashen (Länge/Größe)</translation>
    </message>
    <message id="169">
        <source>BIOS Update complete.</source>
        <translation>BIOS Update beendet.</translation>
    </message>
    <message id="170">
        <source>Flashtype: </source>
        <translation>Flashtyp: </translation>
    </message>
    <message id="171">
        <source>in Computer: </source>
        <translation>im Computer: </translation>
    </message>
    <message id="174">
        <source>The &quot;Line&quot; is busy.
</source>
        <translation>&quot;Leitung besetzt&quot;.
</translation>
    </message>
    <message id="175">
        <source>*.bin</source>
        <translation>*.bin</translation>
    </message>
    <message id="176">
        <source>all Files</source>
        <translation>Alle Dateien</translation>
    </message>
    <message id="177">
        <source>*.*</source>
        <translation>*.*</translation>
    </message>
    <message id="182">
        <source>FlashROM content isn&apos;t a BIOS.
save?</source>
        <translation>FlashROMinhalt ist kein BIOS.
Trotzdem sichern?</translation>
    </message>
    <message id="183">
        <source>    BIOS not found</source>
        <translation>    kein BIOS gefunden</translation>
    </message>
    <message id="184">
        <source>    I/O-Error</source>
        <translation>    I/O-Fehler</translation>
    </message>
    <message id="185">
        <source>    BIOS Version: %d.%d</source>
        <translation>    BIOS Version: %d.%d</translation>
    </message>
    <message id="186">
        <source>Critical</source>
        <translation>Kritisch</translation>
    </message>
    <message id="187">
        <source>FlashROM not found or access error.</source>
        <translation>kein FlashROM gefunden oder Zugriffsfehler.</translation>
    </message>
    <message id="188">
        <source>Ok</source>
        <translation>Ok</translation>
    </message>
    <message id="189">
        <source>Existing BIOS is equal or newer than selected Version.
Flash it anyway?</source>
        <translation>Vorhandenes BIOS ist gleich oder neuer wie die gewählte Version.
Trotzdem flashen?</translation>
    </message>
    <message id="190">
        <source>Wrong BIOS File.</source>
        <translation>Falsche BIOS Datei.</translation>
    </message>
    <message id="191">
        <source>BIOS Version: %d.%d</source>
        <translation>BIOS Version: %d.%d</translation>
    </message>
    <message id="192">
        <source>This is not a BIOS File!</source>
        <translation>Dies ist keine BIOS Datei!</translation>
    </message>
    <message id="193">
        <source>BIOS File Readerror!</source>
        <translation>BIOS Datei Lesefehler!</translation>
    </message>
    <message id="194">
        <source>BIOS filesize is larger than FlashROM.
Continue ?</source>
        <translation>BIOS Dateilänge ist größer als FlashROM.
Fortsetzen ?</translation>
    </message>
    <message id="about.about-kavotronik-veltrix">
        <source>About Kavotronik Veltrix</source>
        <translation>Info über Kavotronik Veltrix</translation>
    </message>
    <message id="about.kavotronik-veltrix-service">
        <source>Kavotronik Veltrix Service:</source>
        <translation>Kavotronik Veltrix Dienstprogramm:</translation>
    </message>
    <message id="about.please-enter-no-more-than-11-charact">
        <source>Please enter no more than 11 characters.</source>
        <translation>Bitte geben Sie nicht mehr als 11 Zeichen ein.</translation>
    </message>
    <message id="bios.backup-and-update">
        <source>Backup and Update</source>
        <translation>Backup und Update</translation>
    </message>
    <message id="bios.update-only">
        <source>Update only</source>
        <translation>nur Update</translation>
    </message>
    <message id="bios.backup-only">
        <source>Backup only</source>
        <translation>nur Backup</translation>
    </message>
    <message id="bios.backup-file">
        <source>Backup File...</source>
        <translation>Backup Datei...</translation>
    </message>
    <message id="bios.bios-file">
        <source>BIOS File...</source>
        <translation>BIOS Datei...</translation>
    </message>
    <message id="bios.ready">
        <source>Ready</source>
        <translation>fertig</translation>
    </message>
    <message id="bios.close">
        <source>Close</source>
        <translation>schließen</translation>
    </message>
    <message id="errorlog.date-time">
        <source>Date / Time</source>
        <translation>Datum/Zeit</translation>
    </message>
    <message id="errorlog.error-log">
        <source>Error log</source>
        <translation>Fehlerprotokoll</translation>
    </message>
    <message id="errorlog.copy">
        <source>&amp;Copy</source>
        <translation>&amp;Kopieren</translation>
    </message>
    <message id="errorlog.hide">
        <source>Hide</source>
        <translation>schließen</translation>
    </message>
    <message id="mail.all-events">
        <source>All Events</source>
        <translation>Alle Ereignisse</translation>
    </message>
    <message id="mail.errors-and-warnings">
        <source>Errors and Warnings</source>
        <translation>Fehler und Warnungen</translation>
    </message>
    <message id="mail.errors-only">
        <source>Errors only</source>
        <translation>Nur Fehler</translation>
    </message>
    <message id="mail.email-level">
        <source>Email level</source>
        <translation>E-Mail Level</translation>
    </message>
    <message id="mail.email-settings">
        <source>Email settings</source>
        <translation>E-Mail Einstellungen</translation>
    </message>
    <message id="mail.activate-emailnotification">
        <source>Activate Emailnotification</source>
        <translation>E-Mail Benachrichtigung aktivieren</translation>
    </message>
    <message id="mail.send-a-one-time-test-email">
        <source>Send a one-time test email</source>
        <translation>Einmalig eine Test E-Mail senden</translation>
    </message>
    <message id="mail.send-bootup-messages">
        <source>Send bootup messages</source>
        <translation>Statusmeldung beim booten</translation>
    </message>
    <message id="mail.advanced">
        <source>advanced...</source>
        <translation>Erweitert...</translation>
    </message>
    <message id="mail.address">
        <source>Address:</source>
        <translation>Adresse:</translation>
    </message>
    <message id="mail.recipient">
        <source>Recipient</source>
        <translation>Empfänger</translation>
    </message>
    <message id="mail.sender">
        <source>Sender</source>
        <translation>Absender</translation>
    </message>
    <message id="mail.outgoing-mail-server">
        <source>Outgoing mail server</source>
        <translation>Postausgangsserver</translation>
    </message>
    <message id="mail.host-name-address">
        <source>Host name / address:</source>
        <translation>Host Name / Adresse:</translation>
    </message>
    <message id="mail.user-name">
        <source>User name:</source>
        <translation>Benutzername:</translation>
    </message>
    <message id="mail.password">
        <source>Password:</source>
        <translation>Passwort:</translation>
    </message>
    <message id="mail.confirm-password">
        <source>Confirm password</source>
        <translation>Passwortbestätigung</translation>
    </message>
    <message id="mail.please-repeat-your-password">
        <source>Please repeat your password</source>
        <translation>Passwort bitte nochmal bestätigen.</translation>
    </message>
    <message id="mail.cancel">
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message id="mail.advanced-smtp-settings">
        <source>Advanced SMTP-Settings</source>
        <translation>Erweiterte SMTP-Einstellungen</translation>
    </message>
    <message id="mail.connection-type">
        <source>Connection Type:</source>
        <translation>Verbindungsart:</translation>
    </message>
    <message id="mail.ssl-protocoll">
        <source>SSL-protocoll:</source>
        <translation>SSL-Protokoll:</translation>
    </message>
    <message id="mail.enter-an-integer">
        <source>Enter an integer.</source>
        <translation>Geben Sie eine ganze Zahl ein.</translation>
    </message>
    <message id="main.connect">
        <source>Connect</source>
        <translation>Verbinden</translation>
    </message>
    <message id="main.disconnect">
        <source>Disconnect</source>
        <translation>Trennen</translation>
    </message>
    <message id="main.host">
        <source>Host:</source>
        <translation>Host:</translation>
    </message>
    <message id="main.password">
        <source>Password:</source>
        <translation>Passwort:</translation>
    </message>
    <message id="main.pm-support">
        <source>PM support:</source>
        <translation>PM Support:</translation>
    </message>
    <message id="main.controller-number">
        <source>Controller Number:</source>
        <translation>Controllernummer:</translation>
    </message>
    <message id="main.driver-version">
        <source>Driver Version:</source>
        <translation>Treiber Version:</translation>
    </message>
    <message id="main.bios-version">
        <source>BIOS Version:</source>
        <translation>BIOS Version:</translation>
    </message>
    <message id="main.chipset">
        <source>Chipset:</source>
        <translation>Chipsatz:</translation>
    </message>
    <message id="main.raid-5-support">
        <source>RAID 5 support:</source>
        <translation>RAID 5 Support:</translation>
    </message>
    <message id="main.jbod-support">
        <source>JBOD support:</source>
        <translation>JBOD Support:</translation>
    </message>
    <message id="main.port">
        <source>Port</source>
        <translation>Port</translation>
    </message>
    <message id="main.model-name">
        <source>Model name</source>
        <translation>Bezeichnung</translation>
    </message>
    <message id="main.capacity">
        <source>Capacity</source>
        <translation>Kapazität</translation>
    </message>
    <message id="main.status">
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message id="main.set">
        <source>Set</source>
        <translation>Set</translation>
    </message>
    <message id="main.type">
        <source>Type</source>
        <translation>Typ</translation>
    </message>
    <message id="main.chunksize">
        <source>Chunksize</source>
        <translation>Blockgröße</translation>
    </message>
    <message id="main.members">
        <source>Members</source>
        <translation>Mitglieder</translation>
    </message>
    <message id="main.raid-info">
        <source>RAID Info</source>
        <translation>RAID Info</translation>
    </message>
    <message id="main.raid-set-number">
        <source>RAID Set Number:</source>
        <translation>RAID-Set-Nummer:</translation>
    </message>
    <message id="main.port-2">
        <source>Port:</source>
        <translation>Port:</translation>
    </message>
    <message id="main.raid-type">
        <source>RAID Type:</source>
        <translation>RAID Typ:</translation>
    </message>
    <message id="main.capacity-2">
        <source>Capacity:</source>
        <translation>Kapazität:</translation>
    </message>
    <message id="main.chunksize-2">
        <source>Chunksize:</source>
        <translation>Blockgröße:</translation>
    </message>
    <message id="main.interfacemode">
        <source>Interfacemode:</source>
        <translation>Interface Mode:</translation>
    </message>
    <message id="main.raid-status">
        <source>RAID Status:</source>
        <translation>RAID Status:</translation>
    </message>
    <message id="main.rebuild-speed">
        <source>Rebuild Speed:</source>
        <translation>Rebuildgeschwindigkeit:</translation>
    </message>
    <message id="main.estimated-duration">
        <source>Estimated Duration:</source>
        <translation>Vorraussichtliche Dauer:</translation>
    </message>
    <message id="main.low">
        <source>Low</source>
        <translation>niedrig</translation>
    </message>
    <message id="main.priority">
        <source>Priority</source>
        <translation>Priorität</translation>
    </message>
    <message id="main.high">
        <source>High</source>
        <translation>hoch</translation>
    </message>
    <message id="dialog.cancel">
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message id="menu.file">
        <source>&amp;File</source>
        <oldsource>File</oldsource>
        <translation>&amp;Datei</translation>
    </message>
    <message id="menu.show-error-log">
        <source>Show Error &amp;Log</source>
        <oldsource>Show Error Log</oldsource>
        <translation>Fehlerprotokoll &amp;anzeigen</translation>
    </message>
    <message id="menu.bios-update">
        <source>BIOS &amp;Update...</source>
        <oldsource>BIOS Update...</oldsource>
        <translation>BIOS &amp;Update...</translation>
    </message>
    <message id="menu.exit">
        <source>E&amp;xit</source>
        <oldsource>Exit</oldsource>
        <translation>&amp;Beenden</translation>
    </message>
    <message id="menu.configuration">
        <source>&amp;Configuration</source>
        <oldsource>Configuration</oldsource>
        <translation>&amp;Einstellungen</translation>
    </message>
    <message id="menu.popup">
        <source>&amp;Popup...</source>
        <oldsource>Popup...</oldsource>
        <translation>P&amp;opup...</translation>
    </message>
    <message id="menu.email">
        <source>&amp;Email...</source>
        <oldsource>Email...</oldsource>
        <translation>E-&amp;Mail...</translation>
    </message>
    <message id="menu.log-file">
        <source>&amp;Log File...</source>
        <oldsource>Log File...</oldsource>
        <translation>Protokoll&amp;datei...</translation>
    </message>
    <message id="menu.password">
        <source>Pass&amp;word...</source>
        <oldsource>Password...</oldsource>
        <translation>&amp;Passwort...</translation>
    </message>
    <message id="menu.autoconnect">
        <source>&amp;Autoconnect</source>
        <oldsource>Autoconnect</oldsource>
        <translation>&amp;Autoconnect</translation>
    </message>
    <message id="menu.start-minimized">
        <source>&amp;Start minimized</source>
        <oldsource>Start minimized</oldsource>
        <translation>minimiert &amp;Starten</translation>
    </message>
    <message id="menu.help-menu">
        <source>&amp;?</source>
        <oldsource>?</oldsource>
        <translation>&amp;?</translation>
    </message>
    <message id="menu.about-veltrix">
        <source>&amp;About Veltrix</source>
        <oldsource>About Veltrix</oldsource>
        <translation>&amp;Info über Veltrix</translation>
    </message>
    <message id="menu.help">
        <source>&amp;Help</source>
        <oldsource>Help</oldsource>
        <translation>&amp;Hilfe</translation>
    </message>
    <message id="settings.host-log-file">
        <source>Host log file</source>
        <translation>Protokolldatei auf dem Host</translation>
    </message>
    <message id="settings.activate-log-file">
        <source>Activate log file</source>
        <translation>Protokolldatei aktiviert</translation>
    </message>
    <message id="settings.host-name">
        <source>Host name:</source>
        <translation>Hostname:</translation>
    </message>
    <message id="settings.file-name">
        <source>File name:</source>
        <translation>Dateiname:</translation>
    </message>
    <message id="settings.the-file-name-is-too-long-it-may-hav">
        <source>The file name is too long: it may have at most 249 characters.</source>
        <translation>Der Dateiname ist zu lang: er darf höchstens 249 Zeichen haben.</translation>
    </message>
    <message id="settings.popup-settings">
        <source>Popup Settings</source>
        <translation>Popup Einstellungen</translation>
    </message>
    <message id="settings.enable-popupmessages">
        <source>Enable Popupmessages</source>
        <translation>Popup Meldungen aktivieren</translation>
    </message>
    <message id="settings.popup-infos">
        <source>Popup Infos</source>
        <translation>Popup-Infos</translation>
    </message>
    <message id="settings.all-events">
        <source>All events</source>
        <translation>Alle Ereignisse</translation>
    </message>
    <message id="settings.errors-and-warnings">
        <source>Errors and Warnings</source>
        <translation>Fehler und Warnungen</translation>
    </message>
    <message id="settings.errors-only">
        <source>Errors only</source>
        <translation>Nur Fehler</translation>
    </message>
    <message id="settings.password-change">
        <source>Password change</source>
        <translation>Passwort ändern</translation>
    </message>
    <message id="settings.old-password">
        <source>Old password</source>
        <translation>Altes Passwort</translation>
    </message>
    <message id="settings.new-password">
        <source>New password</source>
        <translation>Neues Passwort</translation>
    </message>
    <message id="settings.new-password-again">
        <source>New password again</source>
        <translation>Neues Passwort wiederholen</translation>
    </message>
    <message id="settings.the-new-password-is-too-long-a-passw">
        <source>The new password is too long: a password has at most 99 characters.
Password unchanged!</source>
        <translation>Das neue Passwort ist zu lang: ein Passwort hat höchstens 99 Zeichen.
Passwort nicht geändert!</translation>
    </message>
    <message id="dialog.ok">
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message id="about.version">
        <source>Kavotronik Veltrix Version</source>
        <translation>Kavotronik Veltrix Version</translation>
    </message>
    <message id="bios.title">
        <source>BIOS Update</source>
        <translation>BIOS Update</translation>
    </message>
    <message id="bios.start">
        <source>Start</source>
        <translation>Start</translation>
    </message>
    <message id="mail.name">
        <source>Name:</source>
        <translation>Name:</translation>
    </message>
    <message id="mail.auth-none">
        <source>none</source>
        <translation>none</translation>
    </message>
    <message id="mail.auth-cram-md5">
        <source>CRAM MD-5</source>
        <translation>CRAM MD-5</translation>
    </message>
    <message id="mail.auth-login">
        <source>Login</source>
        <translation>Login</translation>
    </message>
    <message id="mail.auth-plain">
        <source>Plain</source>
        <translation>Plain</translation>
    </message>
    <message id="mail.auth-ntlm">
        <source>NTLM</source>
        <translation>NTLM</translation>
    </message>
    <message id="mail.auth-auto">
        <source>Auto</source>
        <translation>Auto</translation>
    </message>
    <message id="mail.connection-plain-text">
        <source>Plain Text</source>
        <translation>Plain Text</translation>
    </message>
    <message id="mail.connection-ssl-tls-dtls">
        <source>SSL, TLS or DTLS</source>
        <translation>SSL, TLS or DTLS</translation>
    </message>
    <message id="mail.connection-starttls">
        <source>STARTTLS</source>
        <translation>STARTTLS</translation>
    </message>
    <message id="mail.connection-auto-starttls">
        <source>Auto Upgrade to STARTTLS</source>
        <translation>Auto Upgrade to STARTTLS</translation>
    </message>
    <message id="mail.protocol-tls-v2-v3">
        <source>TLS v2/v3</source>
        <translation>TLS v2/v3</translation>
    </message>
    <message id="mail.protocol-tls-1-0">
        <source>TLS v 1.0</source>
        <translation>TLS v 1.0</translation>
    </message>
    <message id="mail.protocol-tls-1-1">
        <source>TLS v 1.1</source>
        <translation>TLS v 1.1</translation>
    </message>
    <message id="mail.protocol-tls-1-2">
        <source>TLS v 1.2</source>
        <translation>TLS v 1.2</translation>
    </message>
    <message id="mail.protocol-dtls-1-0">
        <source>DTLS v 1.0</source>
        <translation>DTLS v 1.0</translation>
    </message>
    <message id="mail.authentication-method">
        <source>Authentifikationsmethode:</source>
        <translation>Authentifikationsmethode:</translation>
    </message>
    <message id="mail.port">
        <source>Port:</source>
        <translation>Port:</translation>
    </message>
    <message id="panel.smart-status">
        <source>SMART Status:</source>
        <translation>SMART Status:</translation>
    </message>
    <message id="panel.raid-status">
        <source>RAID Status:</source>
        <translation>RAID Status:</translation>
    </message>
    <message id="main.title">
        <source>Kavotronik Veltrix</source>
        <translation>Kavotronik Veltrix</translation>
    </message>
    <message id="errorlog.controller-number">
        <source>C.Num.</source>
        <translation>C.Num.</translation>
    </message>
    <message id="errorlog.port">
        <source>Port</source>
        <translation>Port</translation>
    </message>
    <message id="errorlog.command">
        <source>Cmd.</source>
        <translation>Cmd.</translation>
    </message>
    <message id="errorlog.status">
        <source>Sts.</source>
        <translation>Sts.</translation>
    </message>
    <message id="errorlog.control">
        <source>Ctl.</source>
        <translation>Ctl.</translation>
    </message>
    <message id="errorlog.lba">
        <source>LBA</source>
        <translation>LBA</translation>
    </message>
    <message id="errorlog.lba-count">
        <source>LBA-count</source>
        <translation>LBA-count</translation>
    </message>
    <message id="errorlog.error-log-entries">
        <source>Error log entries</source>
        <translation>Fehlerprotokolleinträge</translation>
    </message>
    <message id="picture.port-1-2-3">
        <source>Port %1 (%2, %3)</source>
        <translation>Port %1 (%2, %3)</translation>
    </message>
    <message id="picture.port-1">
        <source>Port %1</source>
        <translation>Port %1</translation>
    </message>
    <message id="picture.no-controller-shown">
        <source>No controller shown</source>
        <translation>Kein Controller dargestellt</translation>
    </message>
    <message id="picture.controller-1">
        <source>Controller %1</source>
        <translation>Controller %1</translation>
    </message>
    <message id="picture.raid-set-1-2">
        <source>RAID set: %1, %2</source>
        <translation>RAID-Set: %1, %2</translation>
    </message>
    <message id="picture.members-1">
        <source>Members: %1</source>
        <translation>Mitglieder: %1</translation>
    </message>
    <message id="picture.drive-shown-1">
        <source>Drive shown: %1</source>
        <translation>Angezeigtes Laufwerk: %1</translation>
    </message>
    <message id="picture.other-drives-pale-1">
        <source>Other drives, pale: %1</source>
        <translation>Weitere Laufwerke, blass: %1</translation>
    </message>
    <message id="picture.drives-1">
        <source>Drives: %1</source>
        <translation>Laufwerke: %1</translation>
    </message>
    <message id="main.controllers">
        <source>Controllers</source>
        <translation>Controller</translation>
    </message>
    <message id="main.drives">
        <source>Drives</source>
        <translation>Laufwerke</translation>
    </message>
    <message id="main.raid-sets">
        <source>RAID sets</source>
        <translation>RAID-Sets</translation>
    </message>
    <message id="main.rebuild-priority">
        <source>Rebuild priority</source>
        <translation>Rebuildpriorität</translation>
    </message>
    <message id="main.rebuild-progress">
        <source>Rebuild progress</source>
        <translation>Rebuildfortschritt</translation>
    </message>
    <message id="main.controller-picture">
        <source>Controller picture</source>
        <translation>Controllerbild</translation>
    </message>
    <message id="main.the-login-start-could-not-be-changed">
        <source>The login start could not be changed:
%1
%2</source>
        <translation>Der Start beim Anmelden ließ sich nicht ändern:
%1
%2</translation>
    </message>
    <message id="main.not-connected-as-read-at-1">
        <source>Not connected — as read at %1</source>
        <translation>Nicht verbunden — Stand von %1</translation>
    </message>
    <message id="main.host-list">
        <source>Hosts</source>
        <translation>Hosts</translation>
    </message>
    <message id="main.reconnecting-in-1-s">
        <source>Reconnecting in %1 s</source>
        <translation>Neuer Verbindungsversuch in %1 s</translation>
    </message>
    <message id="main.connection-to-the-service-lost">
        <source>Connection to the service lost</source>
        <translation>Verbindung zum Dienst verloren</translation>
    </message>
    <message id="main.connection-to-the-service-re-establi">
        <source>Connection to the service re-established</source>
        <translation>Verbindung zum Dienst wiederhergestellt</translation>
    </message>
    <message id="main.the-service-password-stays-in-the-se">
        <source>The service password stays in the settings file: %1</source>
        <translation>Das Dienstpasswort bleibt in der Einstellungsdatei: %1</translation>
    </message>
    <message id="popup.1-more-events-see-the-event-log">
        <source>%1 more events — see the event log</source>
        <translation>%1 weitere Ereignisse — siehe Ereignisprotokoll</translation>
    </message>
    <message id="menu.start-at-login">
        <source>Start at lo&amp;gin</source>
        <translation>&amp;Beim Anmelden starten</translation>
    </message>
    <message id="settings.the-keyring-did-not-answer-within-1">
        <source>the keyring did not answer within %1 s (locked?)</source>
        <translation>der Schlüsselbund antwortete nicht binnen %1 s (gesperrt?)</translation>
    </message>
    <message id="progress.reading-controllers">
        <source>Reading the controllers…</source>
        <translation>Lese die Controller…</translation>
    </message>
    <message id="progress.reading-controller">
        <source>Reading controller %1 of %2…</source>
        <translation>Lese Controller %1 von %2…</translation>
    </message>
    <message id="progress.reading-controller-drive">
        <source>Reading controller %1 of %2: drive %3 of %4…</source>
        <translation>Lese Controller %1 von %2: Laufwerk %3 von %4…</translation>
    </message>
    <message id="progress.reading-controller-set">
        <source>Reading controller %1 of %2: RAID set %3 of %4…</source>
        <translation>Lese Controller %1 von %2: RAID-Set %3 von %4…</translation>
    </message>
    <message id="menu.keep-password-in-keyring">
        <source>Keep the password in the &amp;keyring</source>
        <translation>Passwort im Schlüsselbund aufbe&amp;wahren</translation>
    </message>
    <message id="about.user-guide-not-found">
        <source>The user guide is not installed: %1 was not found.</source>
        <translation>Das Benutzerhandbuch ist nicht installiert: %1 wurde nicht gefunden.</translation>
    </message>
    <message id="about.user-guide-not-opened">
        <source>No program could open the user guide %1.</source>
        <translation>Kein Programm konnte das Benutzerhandbuch %1 öffnen.</translation>
    </message>
    <message id="hosts.title">
        <source>Hosts</source>
        <translation>Rechner</translation>
    </message>
    <message id="hosts.connect-automatically">
        <source>Connect automatically</source>
        <translation>Automatisch verbinden</translation>
    </message>
    <message id="hosts.add">
        <source>&amp;Add</source>
        <translation>&amp;Hinzufügen</translation>
    </message>
    <message id="hosts.remove">
        <source>&amp;Remove</source>
        <translation>&amp;Entfernen</translation>
    </message>
    <message id="hosts.up">
        <source>&amp;Up</source>
        <translation>Nach &amp;oben</translation>
    </message>
    <message id="hosts.down">
        <source>&amp;Down</source>
        <translation>Nach &amp;unten</translation>
    </message>
    <message id="hosts.name">
        <source>Name:</source>
        <translation>Name:</translation>
    </message>
    <message id="hosts.address">
        <source>Address:</source>
        <translation>Adresse:</translation>
    </message>
    <message id="hosts.password">
        <source>Password:</source>
        <translation>Passwort:</translation>
    </message>
    <message id="hosts.name-missing">
        <source>Each host needs a name.</source>
        <translation>Jeder Rechner braucht einen Namen.</translation>
    </message>
    <message id="hosts.address-invalid">
        <source>&quot;%1&quot; is not a host address. Enter &quot;.&quot; for this computer, a host name or address, or name:port with a port from 1 to 65535.</source>
        <translation>„%1“ ist keine Rechneradresse. Geben Sie „.“ für diesen Computer ein, einen Rechnernamen oder eine Adresse, oder Name:Port mit einem Port von 1 bis 65535.</translation>
    </message>
    <message id="hosts.name-twice">
        <source>Two hosts are called &quot;%1&quot;: each host needs a name of its own.</source>
        <translation>Zwei Rechner heißen „%1“: Jeder Rechner braucht einen eigenen Namen.</translation>
    </message>
    <message id="hosts.address-twice">
        <source>Two hosts have the address &quot;%1&quot;: each host is watched once.</source>
        <translation>Zwei Rechner haben die Adresse „%1“: Jeder Rechner wird nur einmal überwacht.</translation>
    </message>
    <message id="menu.hosts">
        <source>&amp;Hosts...</source>
        <translation>&amp;Rechner...</translation>
    </message>
    <message id="settings.this-computer">
        <source>This computer</source>
        <translation>Dieser Computer</translation>
    </message>
    <message id="events.events">
        <source>Events</source>
        <translation>Ereignisse</translation>
    </message>
    <message id="events.copy">
        <source>&amp;Copy</source>
        <translation>&amp;Kopieren</translation>
    </message>
    <message id="events.close">
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message id="events.host-filter">
        <source>&amp;Host:</source>
        <translation>&amp;Host:</translation>
    </message>
    <message id="events.severity-filter">
        <source>&amp;Severity:</source>
        <translation>&amp;Schweregrad:</translation>
    </message>
    <message id="events.all-severities">
        <source>All</source>
        <translation>Alle</translation>
    </message>
    <message id="events.errors">
        <source>Errors</source>
        <translation>Fehler</translation>
    </message>
    <message id="events.warnings">
        <source>Warnings</source>
        <translation>Warnungen</translation>
    </message>
    <message id="events.all-hosts">
        <source>All hosts</source>
        <translation>Alle Hosts</translation>
    </message>
    <message id="events.time">
        <source>Time</source>
        <translation>Zeit</translation>
    </message>
    <message id="events.host">
        <source>Host</source>
        <translation>Host</translation>
    </message>
    <message id="events.severity">
        <source>Severity</source>
        <translation>Schweregrad</translation>
    </message>
    <message id="events.text">
        <source>Text</source>
        <translation>Text</translation>
    </message>
    <message id="events.error">
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message id="events.warning">
        <source>Warning</source>
        <translation>Warnung</translation>
    </message>
    <message id="events.information">
        <source>Information</source>
        <translation>Information</translation>
    </message>
    <message id="popup.events">
        <source>&amp;Events...</source>
        <translation>&amp;Ereignisse...</translation>
    </message>
    <message id="menu.events">
        <source>&amp;Events...</source>
        <translation>&amp;Ereignisse...</translation>
    </message>
    <message id="host.ready">
        <source>Ready</source>
        <translation>Bereit</translation>
    </message>
    <message id="host.rebuild-1">
        <source>Rebuild %1 %</source>
        <translation>Rebuild %1 %</translation>
    </message>
    <message id="host.reduced">
        <source>Reduced</source>
        <translation>Reduziert</translation>
    </message>
    <message id="host.broken">
        <source>Broken</source>
        <translation>Defekt</translation>
    </message>
    <message id="host.not-connected">
        <source>Not connected</source>
        <translation>Nicht verbunden</translation>
    </message>
    <message id="host.password-refused">
        <source>Password refused</source>
        <translation>Passwort abgelehnt</translation>
    </message>
</context>
</TS>
