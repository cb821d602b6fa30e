<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="en">
<context>
    <name></name>
    <message id="flash.the-backup-file-could-not-be-written">
        <source>The backup file could not be written completely:
%s
The FlashROM was left as it is.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="flash.the-backup-holds-u-bytes-the-flashro">
        <source>The backup holds %u bytes, the FlashROM %u bytes.
The FlashROM was left as it is.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="flash.verifying-flashrom">
        <source>verifying FlashROM...</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="flash.flashrom-verified">
        <source>FlashROM verified.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="flash.flashrom-not-verified-no-answer">
        <source>FlashROM not verified (no answer).</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="flash.flashrom-differs-from-the-new-bios">
        <source>FlashROM differs from the new BIOS!</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="flash.the-flashrom-does-not-hold-the-bios">
        <source>The FlashROM does not hold the BIOS that was written.
First difference at offset 0x%X (%u).
</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="flash.no-backup-of-the-old-bios-was-made-i">
        <source>No backup of the old BIOS was made in this run.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="flash.the-old-bios-is-saved-in-s">
        <source>The old BIOS is saved in:
%s</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="101">
        <source>&amp;About Veltrix...</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="102">
        <source>Kavotronik Service not available ?</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="103">
        <source>Connection to Kavotronik Service not possible!</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="104">
        <source>Kavotronik Service Read Error!</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="105">
        <source>Kavotronik Service Write Error!</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="106">
        <source>Yes</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="107">
        <source>No</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="108">
        <source>Unknown</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="109">
        <source>Kavotronik driver not found.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="110">
        <source>Invalid Password!</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="111">
        <source>Kavotronik Veltrix
Connection established</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="112">
        <source>Hostconnection:</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="113">
        <source>Connection established.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="114">
        <source>connected</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="115">
        <source>Disconnect</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="116">
        <source>Connect</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="117">
        <source>disconnected</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="118">
        <source>Kavotronik Veltrix
disconnected!</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="119">
        <source>disconnected.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="120">
        <source>Password corrupted!
Old Password restored!</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="121">
        <source>Entrys not complete. e-mail inactive</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="122">
        <source>Kavotronik Veltrix
Rebuildstatus:</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="123">
        <source>Rebuildprogress:</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="124">
        <source>
Controller No.%d Rebuild </source>
        <translation type="unfinished"></translation>
    </message>
    <message id="125">
        <source>Controller No.%d  %d</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="126">
        <source>
Controller No.%d    -   </source>
        <translation type="unfinished"></translation>
    </message>
    <message id="127">
        <source>Controller No.:%d  Port:%d
Device found.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="128">
        <source>Kavotronik Veltrix
not connected!</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="129">
        <source>NO RESPONSE</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="130">
        <source>Controller No.:%d  Set No.:%d
RAID-Set found.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="131">
        <source>Controller No.:%d  Port:%d
Device lost.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="132">
        <source>Controller No.:%d  Spare Drive* accessed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="133">
        <source>Controller No.:%d  Set No.:%d
RAID lost.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="134">
        <source>Controller No.:%d  Set No.:%d
RAID Status changed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="135">
        <source>Controller No.:%d  Set No.:%d
Rebuild completed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="136">
        <source>Rebuildprogress:</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="137">
        <source>Controller No.%d  completed 100</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="138">
        <source>Controller No.:%d  Set Nr.:%d
lost Redundancy.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="139">
        <source>Event</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="140">
        <source>Controller No.:%d  Set Nr.:%d
RAID is broken.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="141">
        <source>Errorcode %d</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="142">
        <source>E-Mail System Error:
</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="143">
        <source>Hostsystem not connected.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="144">
        <source>Password Re-Entry invalid!
Password unchanged!</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="145">
        <source>Device Info</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="146">
        <source>Serialnumber:</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="147">
        <source>Modelnumber:</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="148">
        <source>Interface-Mode:</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="149">
        <source>RAID Info</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="150">
        <source>Devicenumber:</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="151">
        <source>RAID Type:</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="152">
        <source>Chunksize:</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="153">
        <source>System Error.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="155">
        <source>SATA Mode unknown</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="156">
        <source>Controller/Driver not found</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="157">
        <source>BIOS update requires driver version 3.57 or higher.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="158">
        <source>Service version 3.2.1 or higher required.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="159">
        <source>select Backup filename</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="160">
        <source>select BIOS file</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="161">
        <source>Binarifiles (*.bin) </source>
        <translation type="unfinished"></translation>
    </message>
    <message id="162">
        <source>determining FlashROM parameters</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="163">
        <source>saving old BIOS...</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="164">
        <source>BIOS Backup complete.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="165">
        <source>File error %d</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="166">
        <source>erasing FlashROM...</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="167">
        <source>writing new BIOS...</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="168">
        <source>Flash Write-Error (Offset)</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="169">
        <source>BIOS Update complete.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="170">
        <source>Flashtype: </source>
        <translation type="unfinished"></translation>
    </message>
    <message id="171">
        <source>in Computer: </source>
        <translation type="unfinished"></translation>
    </message>
    <message id="174">
        <source>The &quot;Line&quot; is busy.
</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="175">
        <source>*.bin</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="176">
        <source>all Files</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="177">
        <source>*.*</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="182">
        <source>FlashROM content isn&apos;t a BIOS.
save?</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="183">
        <source>    BIOS not found</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="184">
        <source>    I/O-Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="185">
        <source>    BIOS Version: %d.%d</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="186">
        <source>Critical</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="187">
        <source>FlashROM not found or access error.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="188">
        <source>Ok</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="189">
        <source>Existing BIOS is equal or newer than selected Version.
Flash it anyway?</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="190">
        <source>Wrong BIOS File.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="191">
        <source>BIOS Version: %d.%d</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="192">
        <source>This is not a BIOS File!</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="193">
        <source>BIOS File Readerror!</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="194">
        <source>BIOS filesize is larger than FlashROM.
Continue ?</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="about.about-kavotronik-veltrix">
        <source>About Kavotronik Veltrix</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="about.kavotronik-veltrix-service">
        <source>Kavotronik Veltrix Service:</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="about.please-enter-no-more-than-11-charact">
        <source>Please enter no more than 11 characters.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="bios.backup-and-update">
        <source>Backup and Update</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="bios.update-only">
        <source>Update only</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="bios.backup-only">
        <source>Backup only</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="bios.backup-file">
        <source>Backup File...</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="bios.bios-file">
        <source>BIOS File...</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="bios.ready">
        <source>Ready</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="bios.close">
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="errorlog.date-time">
        <source>Date / Time</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="errorlog.error-log">
        <source>Error log</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="errorlog.copy">
        <source>&amp;Copy</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="errorlog.hide">
        <source>Hide</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="mail.all-events">
        <source>All Events</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="mail.errors-and-warnings">
        <source>Errors and Warnings</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="mail.errors-only">
        <source>Errors only</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="mail.email-level">
        <source>Email level</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="mail.email-settings">
        <source>Email settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="mail.activate-emailnotification">
        <source>Activate Emailnotification</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="mail.send-a-one-time-test-email">
        <source>Send a one-time test email</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="mail.send-bootup-messages">
        <source>Send bootup messages</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="mail.advanced">
        <source>advanced...</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="mail.address">
        <source>Address:</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="mail.recipient">
        <source>Recipient</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="mail.sender">
        <source>Sender</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="mail.outgoing-mail-server">
        <source>Outgoing mail server</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="mail.host-name-address">
        <source>Host name / address:</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="mail.user-name">
        <source>User name:</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="mail.password">
        <source>Password:</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="mail.confirm-password">
        <source>Confirm password</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="mail.please-repeat-your-password">
        <source>Please repeat your password</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="mail.cancel">
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="mail.advanced-smtp-settings">
        <source>Advanced SMTP-Settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="mail.connection-type">
        <source>Connection Type:</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="mail.ssl-protocoll">
        <source>SSL-protocoll:</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="mail.enter-an-integer">
        <source>Enter an integer.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="main.connect">
        <source>Connect</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="main.disconnect">
        <source>Disconnect</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="main.host">
        <source>Host:</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="main.password">
        <source>Password:</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="main.pm-support">
        <source>PM support:</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="main.controller-number">
        <source>Controller Number:</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="main.driver-version">
        <source>Driver Version:</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="main.bios-version">
        <source>BIOS Version:</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="main.chipset">
        <source>Chipset:</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="main.raid-5-support">
        <source>RAID 5 support:</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="main.jbod-support">
        <source>JBOD support:</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="main.port">
        <source>Port</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="main.model-name">
        <source>Model name</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="main.capacity">
        <source>Capacity</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="main.status">
        <source>Status</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="main.set">
        <source>Set</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="main.type">
        <source>Type</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="main.chunksize">
        <source>Chunksize</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="main.members">
        <source>Members</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="main.raid-info">
        <source>RAID Info</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="main.raid-set-number">
        <source>RAID Set Number:</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="main.port-2">
        <source>Port:</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="main.raid-type">
        <source>RAID Type:</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="main.capacity-2">
        <source>Capacity:</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="main.chunksize-2">
        <source>Chunksize:</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="main.interfacemode">
        <source>Interfacemode:</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="main.raid-status">
        <source>RAID Status:</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="main.rebuild-speed">
        <source>Rebuild Speed:</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="main.estimated-duration">
        <source>Estimated Duration:</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="main.low">
        <source>Low</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="main.priority">
        <source>Priority</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="main.high">
        <source>High</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="dialog.cancel">
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="menu.file">
        <source>&amp;File</source>
        <oldsource>File</oldsource>
        <translation type="unfinished"></translation>
    </message>
    <message id="menu.show-error-log">
        <source>Show Error &amp;Log</source>
        <oldsource>Show Error Log</oldsource>
        <translation type="unfinished"></translation>
    </message>
    <message id="menu.bios-update">
        <source>BIOS &amp;Update...</source>
        <oldsource>BIOS Update...</oldsource>
        <translation type="unfinished"></translation>
    </message>
    <message id="menu.exit">
        <source>E&amp;xit</source>
        <oldsource>Exit</oldsource>
        <translation type="unfinished"></translation>
    </message>
    <message id="menu.configuration">
        <source>&amp;Configuration</source>
        <oldsource>Configuration</oldsource>
        <translation type="unfinished"></translation>
    </message>
    <message id="menu.popup">
        <source>&amp;Popup...</source>
        <oldsource>Popup...</oldsource>
        <translation type="unfinished"></translation>
    </message>
    <message id="menu.email">
        <source>&amp;Email...</source>
        <oldsource>Email...</oldsource>
        <translation type="unfinished"></translation>
    </message>
    <message id="menu.log-file">
        <source>&amp;Log File...</source>
        <oldsource>Log File...</oldsource>
        <translation type="unfinished"></translation>
    </message>
    <message id="menu.password">
        <source>Pass&amp;word...</source>
        <oldsource>Password...</oldsource>
        <translation type="unfinished"></translation>
    </message>
    <message id="menu.autoconnect">
        <source>&amp;Autoconnect</source>
        <oldsource>Autoconnect</oldsource>
        <translation type="unfinished"></translation>
    </message>
    <message id="menu.start-minimized">
        <source>&amp;Start minimized</source>
        <oldsource>Start minimized</oldsource>
        <translation type="unfinished"></translation>
    </message>
    <message id="menu.help-menu">
        <source>&amp;?</source>
        <oldsource>?</oldsource>
        <translation type="unfinished"></translation>
    </message>
    <message id="menu.about-veltrix">
        <source>&amp;About Veltrix</source>
        <oldsource>About Veltrix</oldsource>
        <translation type="unfinished"></translation>
    </message>
    <message id="menu.help">
        <source>&amp;Help</source>
        <oldsource>Help</oldsource>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.host-log-file">
        <source>Host log file</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.activate-log-file">
        <source>Activate log file</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.host-name">
        <source>Host name:</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.file-name">
        <source>File name:</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.the-file-name-is-too-long-it-may-hav">
        <source>The file name is too long: it may have at most 249 characters.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.popup-settings">
        <source>Popup Settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.enable-popupmessages">
        <source>Enable Popupmessages</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.popup-infos">
        <source>Popup Infos</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.all-events">
        <source>All events</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.errors-and-warnings">
        <source>Errors and Warnings</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.errors-only">
        <source>Errors only</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.password-change">
        <source>Password change</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.old-password">
        <source>Old password</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.new-password">
        <source>New password</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.new-password-again">
        <source>New password again</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.the-new-password-is-too-long-a-passw">
        <source>The new password is too long: a password has at most 99 characters.
Password unchanged!</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="dialog.ok">
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="about.version">
        <source>Kavotronik Veltrix Version</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="bios.title">
        <source>BIOS Update</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="bios.start">
        <source>Start</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="mail.name">
        <source>Name:</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="mail.auth-none">
        <source>none</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="mail.auth-cram-md5">
        <source>CRAM MD-5</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="mail.auth-login">
        <source>Login</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="mail.auth-plain">
        <source>Plain</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="mail.auth-ntlm">
        <source>NTLM</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="mail.auth-auto">
        <source>Auto</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="mail.connection-plain-text">
        <source>Plain Text</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="mail.connection-ssl-tls-dtls">
        <source>SSL, TLS or DTLS</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="mail.connection-starttls">
        <source>STARTTLS</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="mail.connection-auto-starttls">
        <source>Auto Upgrade to STARTTLS</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="mail.protocol-tls-v2-v3">
        <source>TLS v2/v3</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="mail.protocol-tls-1-0">
        <source>TLS v 1.0</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="mail.protocol-tls-1-1">
        <source>TLS v 1.1</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="mail.protocol-tls-1-2">
        <source>TLS v 1.2</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="mail.protocol-dtls-1-0">
        <source>DTLS v 1.0</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="mail.authentication-method">
        <source>Authentifikationsmethode:</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="mail.port">
        <source>Port:</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="panel.smart-status">
        <source>SMART Status:</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="panel.raid-status">
        <source>RAID Status:</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="main.title">
        <source>Kavotronik Veltrix</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="errorlog.controller-number">
        <source>C.Num.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="errorlog.port">
        <source>Port</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="errorlog.command">
        <source>Cmd.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="errorlog.status">
        <source>Sts.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="errorlog.control">
        <source>Ctl.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="errorlog.lba">
        <source>LBA</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="errorlog.lba-count">
        <source>LBA-count</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="errorlog.error-log-entries">
        <source>Error log entries</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="picture.port-1-2-3">
        <source>Port %1 (%2, %3)</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="picture.port-1">
        <source>Port %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="picture.no-controller-shown">
        <source>No controller shown</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="picture.controller-1">
        <source>Controller %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="picture.raid-set-1-2">
        <source>RAID set: %1, %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="picture.members-1">
        <source>Members: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="picture.drive-shown-1">
        <source>Drive shown: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="picture.other-drives-pale-1">
        <source>Other drives, pale: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="picture.drives-1">
        <source>Drives: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="main.controllers">
        <source>Controllers</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="main.drives">
        <source>Drives</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="main.raid-sets">
        <source>RAID sets</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="main.rebuild-priority">
        <source>Rebuild priority</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="main.rebuild-progress">
        <source>Rebuild progress</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="main.controller-picture">
        <source>Controller picture</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="main.the-login-start-could-not-be-changed">
        <source>The login start could not be changed:
%1
%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="main.not-connected-as-read-at-1">
        <source>Not connected — as read at %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="main.host-list">
        <source>Hosts</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="main.reconnecting-in-1-s">
        <source>Reconnecting in %1 s</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="main.connection-to-the-service-lost">
        <source>Connection to the service lost</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="main.connection-to-the-service-re-establi">
        <source>Connection to the service re-established</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="main.the-service-password-stays-in-the-se">
        <source>The service password stays in the settings file: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="popup.1-more-events-see-the-event-log">
        <source>%1 more events — see the event log</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="menu.start-at-login">
        <source>Start at lo&amp;gin</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.the-keyring-did-not-answer-within-1">
        <source>the keyring did not answer within %1 s (locked?)</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="progress.reading-controllers">
        <source>Reading the controllers…</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="progress.reading-controller">
        <source>Reading controller %1 of %2…</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="progress.reading-controller-drive">
        <source>Reading controller %1 of %2: drive %3 of %4…</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="progress.reading-controller-set">
        <source>Reading controller %1 of %2: RAID set %3 of %4…</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="menu.keep-password-in-keyring">
        <source>Keep the password in the &amp;keyring</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="about.user-guide-not-found">
        <source>The user guide is not installed: %1 was not found.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="about.user-guide-not-opened">
        <source>No program could open the user guide %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="hosts.title">
        <source>Hosts</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="hosts.connect-automatically">
        <source>Connect automatically</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="hosts.add">
        <source>&amp;Add</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="hosts.remove">
        <source>&amp;Remove</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="hosts.up">
        <source>&amp;Up</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="hosts.down">
        <source>&amp;Down</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="hosts.name">
        <source>Name:</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="hosts.address">
        <source>Address:</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="hosts.password">
        <source>Password:</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="hosts.name-missing">
        <source>Each host needs a name.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="hosts.address-invalid">
        <source>&quot;%1&quot; is not a host address. Enter &quot;.&quot; for this computer, a host name or address, or name:port with a port from 1 to 65535.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="hosts.name-twice">
        <source>Two hosts are called &quot;%1&quot;: each host needs a name of its own.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="hosts.address-twice">
        <source>Two hosts have the address &quot;%1&quot;: each host is watched once.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="menu.hosts">
        <source>&amp;Hosts...</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.this-computer">
        <source>This computer</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="events.events">
        <source>Events</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="events.copy">
        <source>&amp;Copy</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="events.close">
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="events.host-filter">
        <source>&amp;Host:</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="events.severity-filter">
        <source>&amp;Severity:</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="events.all-severities">
        <source>All</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="events.errors">
        <source>Errors</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="events.warnings">
        <source>Warnings</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="events.all-hosts">
        <source>All hosts</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="events.time">
        <source>Time</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="events.host">
        <source>Host</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="events.severity">
        <source>Severity</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="events.text">
        <source>Text</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="events.error">
        <source>Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="events.warning">
        <source>Warning</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="events.information">
        <source>Information</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="popup.events">
        <source>&amp;Events...</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="menu.events">
        <source>&amp;Events...</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="host.ready">
        <source>Ready</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="host.rebuild-1">
        <source>Rebuild %1 %</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="host.reduced">
        <source>Reduced</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="host.broken">
        <source>Broken</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="host.not-connected">
        <source>Not connected</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="host.password-refused">
        <source>Password refused</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
