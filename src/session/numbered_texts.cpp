// The English source texts of the numbered messages (ids 101-194), for lupdate; the
// program reads every text from the translations (translations/veltrix_*.ts) by its
// number, through TextCatalogue.

#include "session/numbered_texts.h"

#include <QtGlobal>

namespace veltrix {

// clang-format off
const std::array<const char*, kNumberedTextCount> kNumberedTextIds = {
    //% "&About Veltrix..."
    QT_TRID_NOOP("101"),
    //% "Kavotronik Service not available ?"
    QT_TRID_NOOP("102"),
    //% "Connection to Kavotronik Service not possible!"
    QT_TRID_NOOP("103"),
    //% "Kavotronik Service Read Error!"
    QT_TRID_NOOP("104"),
    //% "Kavotronik Service Write Error!"
    QT_TRID_NOOP("105"),
    //% "Yes"
    QT_TRID_NOOP("106"),
    //% "No"
    QT_TRID_NOOP("107"),
    //% "Unknown"
    QT_TRID_NOOP("108"),
    //% "Kavotronik driver not found."
    QT_TRID_NOOP("109"),
    //% "Invalid Password!"
    QT_TRID_NOOP("110"),
    //% "Kavotronik Veltrix\nConnection established"
    QT_TRID_NOOP("111"),
    //% "Hostconnection:"
    QT_TRID_NOOP("112"),
    //% "Connection established."
    QT_TRID_NOOP("113"),
    //% "connected"
    QT_TRID_NOOP("114"),
    //% "Disconnect"
    QT_TRID_NOOP("115"),
    //% "Connect"
    QT_TRID_NOOP("116"),
    //% "disconnected"
    QT_TRID_NOOP("117"),
    //% "Kavotronik Veltrix\ndisconnected!"
    QT_TRID_NOOP("118"),
    //% "disconnected."
    QT_TRID_NOOP("119"),
    //% "Password corrupted!\nOld Password restored!"
    QT_TRID_NOOP("120"),
    //% "Entrys not complete. e-mail inactive"
    QT_TRID_NOOP("121"),
    //% "Kavotronik Veltrix\nRebuildstatus:"
    QT_TRID_NOOP("122"),
    //% "Rebuildprogress:"
    QT_TRID_NOOP("123"),
    //% "\nController No.%d Rebuild "
    QT_TRID_NOOP("124"),
    //% "Controller No.%d  %d"
    QT_TRID_NOOP("125"),
    //% "\nController No.%d    -   "
    QT_TRID_NOOP("126"),
    //% "Controller No.:%d  Port:%d\nDevice found."
    QT_TRID_NOOP("127"),
    //% "Kavotronik Veltrix\nnot connected!"
    QT_TRID_NOOP("128"),
    //% "NO RESPONSE"
    QT_TRID_NOOP("129"),
    //% "Controller No.:%d  Set No.:%d\nRAID-Set found."
    QT_TRID_NOOP("130"),
    //% "Controller No.:%d  Port:%d\nDevice lost."
    QT_TRID_NOOP("131"),
    //% "Controller No.:%d  Spare Drive* accessed."
    QT_TRID_NOOP("132"),
    //% "Controller No.:%d  Set No.:%d\nRAID lost."
    QT_TRID_NOOP("133"),
    //% "Controller No.:%d  Set No.:%d\nRAID Status changed."
    QT_TRID_NOOP("134"),
    //% "Controller No.:%d  Set No.:%d\nRebuild completed."
    QT_TRID_NOOP("135"),
    //% "Rebuildprogress:"
    QT_TRID_NOOP("136"),
    //% "Controller No.%d  completed 100"
    QT_TRID_NOOP("137"),
    //% "Controller No.:%d  Set Nr.:%d\nlost Redundancy."
    QT_TRID_NOOP("138"),
    //% "Event"
    QT_TRID_NOOP("139"),
    //% "Controller No.:%d  Set Nr.:%d\nRAID is broken."
    QT_TRID_NOOP("140"),
    //% "Errorcode %d"
    QT_TRID_NOOP("141"),
    //% "E-Mail System Error:\n"
    QT_TRID_NOOP("142"),
    //% "Hostsystem not connected."
    QT_TRID_NOOP("143"),
    //% "Password Re-Entry invalid!\nPassword unchanged!"
    QT_TRID_NOOP("144"),
    //% "Device Info"
    QT_TRID_NOOP("145"),
    //% "Serialnumber:"
    QT_TRID_NOOP("146"),
    //% "Modelnumber:"
    QT_TRID_NOOP("147"),
    //% "Interface-Mode:"
    QT_TRID_NOOP("148"),
    //% "RAID Info"
    QT_TRID_NOOP("149"),
    //% "Devicenumber:"
    QT_TRID_NOOP("150"),
    //% "RAID Type:"
    QT_TRID_NOOP("151"),
    //% "Chunksize:"
    QT_TRID_NOOP("152"),
    //% "System Error."
    QT_TRID_NOOP("153"),
    //% "SATA Mode unknown"
    QT_TRID_NOOP("155"),
    //% "Controller/Driver not found"
    QT_TRID_NOOP("156"),
    //% "BIOS update requires driver version 3.57 or higher."
    QT_TRID_NOOP("157"),
    //% "Service version 3.2.1 or higher required."
    QT_TRID_NOOP("158"),
    //% "select Backup filename"
    QT_TRID_NOOP("159"),
    //% "select BIOS file"
    QT_TRID_NOOP("160"),
    //% "Binarifiles (*.bin) "
    QT_TRID_NOOP("161"),
    //% "determining FlashROM parameters"
    QT_TRID_NOOP("162"),
    //% "saving old BIOS..."
    QT_TRID_NOOP("163"),
    //% "BIOS Backup complete."
    QT_TRID_NOOP("164"),
    //% "File error %d"
    QT_TRID_NOOP("165"),
    //% "erasing FlashROM..."
    QT_TRID_NOOP("166"),
    //% "writing new BIOS..."
    QT_TRID_NOOP("167"),
    //% "Flash Write-Error (Offset)"
    QT_TRID_NOOP("168"),
    //% "BIOS Update complete."
    QT_TRID_NOOP("169"),
    //% "Flashtype: "
    QT_TRID_NOOP("170"),
    //% "in Computer: "
    QT_TRID_NOOP("171"),
    //% "The \"Line\" is busy.\n"
    QT_TRID_NOOP("174"),
    //% "*.bin"
    QT_TRID_NOOP("175"),
    //% "all Files"
    QT_TRID_NOOP("176"),
    //% "*.*"
    QT_TRID_NOOP("177"),
    //% "FlashROM content isn't a BIOS.\nsave?"
    QT_TRID_NOOP("182"),
    //% "    BIOS not found"
    QT_TRID_NOOP("183"),
    //% "    I/O-Error"
    QT_TRID_NOOP("184"),
    //% "    BIOS Version: %d.%d"
    QT_TRID_NOOP("185"),
    //% "Critical"
    QT_TRID_NOOP("186"),
    //% "FlashROM not found or access error."
    QT_TRID_NOOP("187"),
    //% "Ok"
    QT_TRID_NOOP("188"),
    //% "Existing BIOS is equal or newer than selected Version.\nFlash it anyway?"
    QT_TRID_NOOP("189"),
    //% "Wrong BIOS File."
    QT_TRID_NOOP("190"),
    //% "BIOS Version: %d.%d"
    QT_TRID_NOOP("191"),
    //% "This is not a BIOS File!"
    QT_TRID_NOOP("192"),
    //% "BIOS File Readerror!"
    QT_TRID_NOOP("193"),
    //% "BIOS filesize is larger than FlashROM.\nContinue ?"
    QT_TRID_NOOP("194"),
};
// clang-format on

}  // namespace veltrix
