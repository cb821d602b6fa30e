// The English and German texts of the program, by string id.
//
// Texts are kept exactly as the program shows them, blanks, line breaks and
// spelling included. Ids without a row load as the empty string.

#include "texts/string_table.h"

#include <array>

namespace veltrix {
namespace {

constexpr std::array kRows = std::to_array<StringEntry>({
    // System menu.
    {101, "&About Veltrix...", "&Info über Veltrix..."},

    // Connection and service errors.
    {102, "Kavotronik Service not available ?",
     "Dienst Kavotronik auf dem Zielrechner nicht erreichbar?"},
    {103, "Connection to Kavotronik Service not possible!",
     "Keine Verbindung zum Kavotronik Dienst möglich!"},
    {104, "Kavotronik Service Read Error!", "Übertragungsfehler vom Kavotronik Dienst!"},
    {105, "Kavotronik Service Write Error!", "Übertragungsfehler zum Kavotronik Dienst!"},

    // Controller capabilities and names.
    {106, "Yes", "Ja"},
    {107, "No", "Nein"},
    {108, "Unknown", "Unbekannt"},

    // Login.
    {109, "Kavotronik driver not found.", "Keinen Kavotronik Treiber gefunden."},
    {110, "Invalid Password!", "Falsches Passwort!"},

    // Tray tooltip and balloons, connect buttons.
    {111, "Kavotronik Veltrix\nConnection established",
     "Kavotronik Veltrix\nVerbindung hergestellt"},
    {112, "Hostconnection:", "Hostverbindung:"},
    {113, "Connection established.", "Verbindung wurde hergestellt."},
    {114, "connected", "verbunden"},
    {115, "Disconnect", "Trennen"},
    {116, "Connect", "Verbinden"},
    {117, "disconnected", "getrennt"},
    {118, "Kavotronik Veltrix\ndisconnected!", "Kavotronik Veltrix\nVerbindung getrennt!"},
    {119, "disconnected.", "Verbindung wurde getrennt."},

    // E-mail settings.
    {120, "Password corrupted!\nOld Password restored!",
     "Passwort beschädigt!\nAltes Passwort wieder hergestellt!"},
    {121, "Entrys not complete. e-mail inactive", "Eingabe unvollständig. Mail deaktiviert"},

    // Rebuild progress in the tray.
    {122, "Kavotronik Veltrix\nRebuildstatus:", "Kavotronik Veltrix\nRebuildstatus:"},
    {123, "Rebuildprogress:", "Rebuildfortschritt:"},
    {124, "\nController No.%d Rebuild ", "\nController Nr.%d Rebuild "},
    {125, "Controller No.%d  %d", "Controller Nr.%d  %d"},
    {126, "\nController No.%d    -   ", "\nController Nr.%d    -   "},

    // Controller events.
    {127, "Controller No.:%d  Port:%d\nDevice found.",
     "Controller Nr.:%d  Port:%d\nLaufwerk gefunden."},
    {128, "Kavotronik Veltrix\nnot connected!", "Kavotronik Veltrix\nNicht verbunden!"},
    {129, "NO RESPONSE", "KEINE ANTWORT"},
    {130, "Controller No.:%d  Set No.:%d\nRAID-Set found.",
     "Controller Nr.:%d  Set Nr.:%d\nRAID-Set gefunden."},
    {131, "Controller No.:%d  Port:%d\nDevice lost.",
     "Controller Nr.:%d  Port:%d\nLaufwerk verloren."},
    {132, "Controller No.:%d  Spare Drive* accessed.",
     "Controller Nr.:%d  Zugriff auf Spare Drive*."},
    {133, "Controller No.:%d  Set No.:%d\nRAID lost.",
     "Controller Nr.:%d  Set Nr.:%d\nRAID verloren."},
    {134, "Controller No.:%d  Set No.:%d\nRAID Status changed.",
     "Controller Nr.:%d  Set Nr.:%d\nRAID Statusänderung."},
    {135, "Controller No.:%d  Set No.:%d\nRebuild completed.",
     "Controller Nr.:%d  Set Nr.:%d\nRebuild beendet."},
    {136, "Rebuildprogress:", "Rebuildfortschritt:"},
    {137, "Controller No.%d  completed 100", "Controller Nr.%d  beendet 100"},
    {138, "Controller No.:%d  Set Nr.:%d\nlost Redundancy.",
     "Controller Nr.:%d  Set Nr.:%d\nRedundanz verloren."},
    {139, "Event", "Ereigniss"},
    {140, "Controller No.:%d  Set Nr.:%d\nRAID is broken.",
     "Controller Nr.:%d  Set Nr.:%d\nRAID ist broken."},
    {141, "Errorcode %d", "FehlerCode %d"},
    {142, "E-Mail System Error:\n", "Fehler im Mailsystem:\n"},

    // Commands that need a connection, password change.
    {143, "Hostsystem not connected.", "Keine Verbindung zum Host."},
    {144, "Password Re-Entry invalid!\nPassword unchanged!",
     "Passwortwiederholung fehlerhaft!\nPasswort nicht geändert!"},

    // Drive and RAID set panels.
    {145, "Device Info", "Device Info"},
    {146, "Serialnumber:", "Seriennummer:"},
    {147, "Modelnumber:", "Modellnummer:"},
    {148, "Interface-Mode:", "Interface-Mode:"},
    {149, "RAID Info", "RAID Info"},
    {150, "Devicenumber:", "Laufwerknummer:"},
    {151, "RAID Type:", "RAID Typ:"},
    {152, "Chunksize:", "Blockgröße:"},
    {153, "System Error.", "Systemfehler."},
    {155, "SATA Mode unknown", "SATA mode unbekannt"},

    // BIOS update dialog.
    {156, "Controller/Driver not found", "Keine Controller/Treiber gefunden."},
    {157, "BIOS update requires driver version 3.57 or higher.",
     "BIOS Update wird erst ab Treiberversion 3.57 unterstützt."},
    {158, "Service version 3.2.1 or higher required.", "Dienst muss min. Version 3.2.1 haben."},
    {159, "select Backup filename", "Backup Dateiname wählen"},
    {160, "select BIOS file", "BIOS Datei wählen"},
    {161, "Binarifiles (*.bin) ", "Binärdateien (*.bin)"},

    // Flash sequence.
    {162, "determining FlashROM parameters", "Frage FlashROM Parameter ab..."},
    {163, "saving old BIOS...", "Sichere altes BIOS in Datei..."},
    {164, "BIOS Backup complete.", "BIOS Backup beendet."},
    {165, "File error %d", "Dateifehler %d"},
    {166, "erasing FlashROM...", "Lösche FlashROM..."},
    {167, "writing new BIOS...", "Schreibe neues BIOS..."},
    {168, "Flash Write-Error (Offset)", "Fehler beim Flashen (Länge/Größe)"},
    {169, "BIOS Update complete.", "BIOS Update beendet."},
    {170, "Flashtype: ", "Flashtyp: "},
    {171, "in Computer: ", "im Computer: "},

    // Busy pipe.
    {174, "The \"Line\" is busy.\n", "\"Leitung besetzt\".\n"},

    // BIOS file dialog filter.
    {175, "*.bin", "*.bin"},
    {176, "all Files", "Alle Dateien"},
    {177, "*.*", "*.*"},

    // Flash ROM information, SMART state.
    {182, "FlashROM content isn't a BIOS.\nsave?",
     "FlashROMinhalt ist kein BIOS.\nTrotzdem sichern?"},
    {183, "    BIOS not found", "    kein BIOS gefunden"},
    {184, "    I/O-Error", "    I/O-Fehler"},
    {185, "    BIOS Version: %d.%d", "    BIOS Version: %d.%d"},
    {186, "Critical", "Kritisch"},
    {187, "FlashROM not found or access error.", "kein FlashROM gefunden oder Zugriffsfehler."},
    {188, "Ok", "Ok"},

    // BIOS image checks.
    {189, "Existing BIOS is equal or newer than selected Version.\nFlash it anyway?",
     "Vorhandenes BIOS ist gleich oder neuer wie die gewählte Version.\nTrotzdem flashen?"},
    {190, "Wrong BIOS File.", "Falsche BIOS Datei."},
    {191, "BIOS Version: %d.%d", "BIOS Version: %d.%d"},
    {192, "This is not a BIOS File!", "Dies ist keine BIOS Datei!"},
    {193, "BIOS File Readerror!", "BIOS Datei Lesefehler!"},
    {194, "BIOS filesize is larger than FlashROM.\nContinue ?",
     "BIOS Dateilänge ist größer als FlashROM.\nFortsetzen ?"},
});

static_assert(IsWellFormedTable(kRows), "string ids must be unique and ascending");
static_assert(kRows.front().id >= 101 && kRows.back().id <= 194, "string ids run 101-194");

}  // namespace

std::span<const StringEntry> StringTable() {
    return kRows;
}

}  // namespace veltrix
