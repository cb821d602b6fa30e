#include "session/flash_conversation.h"

#include <QString>
#include <algorithm>
#include <array>
#include <limits>
#include <optional>

#include "model/bios_image.h"
#include "protocol/bytes.h"
#include "session/backup_file.h"
#include "session/status_requests.h"
#include "texts/format.h"
#include "texts/string_ids.h"
#include "texts/strings.h"

namespace veltrix {

namespace {

// The error numbers of the flash conversations ("Error #KFD-...").
namespace site {
inline constexpr int kTypeIdWrite = 957;
inline constexpr int kTypeIdRead = 973;
inline constexpr int kTypeNameWrite = 1058;
inline constexpr int kTypeNameRead = 1073;
inline constexpr int kVersionWrite = 1096;
inline constexpr int kVersionRead = 1112;
inline constexpr int kRunTypeIdWrite = 420;
inline constexpr int kRunTypeIdRead = 436;
inline constexpr int kRunTypeNameWrite = 459;
inline constexpr int kRunTypeNameRead = 475;
inline constexpr int kReadStartWrite = 521;
inline constexpr int kStreamRead = 546;
inline constexpr int kAckWrite = 565;
inline constexpr int kEraseWrite = 628;
inline constexpr int kEraseRead = 644;
inline constexpr int kWriteStartWrite = 668;
inline constexpr int kWriteStartRead = 685;
inline constexpr int kBlockWrite = 717;
inline constexpr int kBlockRead = 735;
inline constexpr int kEndWrite = 766;
}  // namespace site

constexpr char kErrorPrefix[] = "KFD";
// Progress codes above this end a read-out stream or report a write error.
constexpr std::uint32_t kLastProgress = 100;
constexpr std::uint32_t kNoRomId = 0xFFFF;
constexpr std::int32_t kNoBios = 1;
constexpr std::int32_t kIoError = -1;
// Stale replies taken off the channel at most before a conversation starts.
constexpr int kMaxStaleReplies = 64;
// The fixed text of the missing version reply.
constexpr char kNoVersionAnswer[] = "keine Antwort auf BIOSversion";

std::string BiosVersionText(int stringId, std::uint32_t bcd) {
    const int number = BcdVersionNumber(bcd);
    return FormatString(stringId, number / 100, number % 100);
}

// Lengthens the channel's read bound for one slow reply.
class LongerReadBound {
  public:
    LongerReadBound(ServiceChannel& pipe, std::uint32_t factor)
        : pipe_(pipe), old_(pipe.ReadTimeout()) {
        if (old_ != 0) {
            const std::uint64_t longer = std::uint64_t{old_} * factor;
            pipe_.SetReadTimeout(static_cast<std::uint32_t>(
                std::min<std::uint64_t>(longer, std::numeric_limits<std::uint32_t>::max())));
        }
    }
    ~LongerReadBound() { pipe_.SetReadTimeout(old_); }
    LongerReadBound(const LongerReadBound&) = delete;
    LongerReadBound& operator=(const LongerReadBound&) = delete;

  private:
    ServiceChannel& pipe_;
    std::uint32_t old_;
};

// Holds `flashBusy` for a run and clears it on every way out.
class FlashBusyScope {
  public:
    explicit FlashBusyScope(ServiceLink& link) : link_(link) { link_.flashBusy = true; }
    ~FlashBusyScope() { link_.flashBusy = false; }
    FlashBusyScope(const FlashBusyScope&) = delete;
    FlashBusyScope& operator=(const FlashBusyScope&) = delete;

  private:
    ServiceLink& link_;
};

}  // namespace

namespace flash_text {

std::string BackupIncomplete(const std::string& fileError) {
    return Format(
        //% "The backup file could not be written completely:\n%s\n"
        //% "The FlashROM was left as it is."
        qtTrId("flash.the-backup-file-could-not-be-written").toStdString(), fileError);
}

std::string BackupSizeMismatch(std::uint64_t backupSize, std::uint64_t romSize) {
    return Format(
        //% "The backup holds %u bytes, the FlashROM %u bytes.\n"
        //% "The FlashROM was left as it is."
        qtTrId("flash.the-backup-holds-u-bytes-the-flashro").toStdString(), backupSize, romSize);
}

std::string Verifying() {
    return
        //% "verifying FlashROM..."
        qtTrId("flash.verifying-flashrom").toStdString();
}

std::string Verified() {
    return
        //% "FlashROM verified."
        qtTrId("flash.flashrom-verified").toStdString();
}

std::string NotVerified() {
    return
        //% "FlashROM not verified (no answer)."
        qtTrId("flash.flashrom-not-verified-no-answer").toStdString();
}

std::string Differs() {
    return
        //% "FlashROM differs from the new BIOS!"
        qtTrId("flash.flashrom-differs-from-the-new-bios").toStdString();
}

std::string DiffersMessage(std::uint64_t offset, const std::string& backupPath) {
    std::string text = Format(
        //% "The FlashROM does not hold the BIOS that was written.\n"
        //% "First difference at offset 0x%X (%u).\n"
        qtTrId("flash.the-flashrom-does-not-hold-the-bios").toStdString(), offset, offset);
    if (backupPath.empty()) {
        text +=
            //% "No backup of the old BIOS was made in this run."
            qtTrId("flash.no-backup-of-the-old-bios-was-made-i").toStdString();
    } else {
        text += Format(
            //% "The old BIOS is saved in:\n%s"
            qtTrId("flash.the-old-bios-is-saved-in-s").toStdString(), backupPath);
    }
    return text;
}

}  // namespace flash_text

// A failed write or read: the message to show.
class FlashConversation::Failure {
  public:
    explicit Failure(std::string text) : text_(std::move(text)) {}
    const std::string& Text() const { return text_; }

  private:
    std::string text_;
};

FlashConversation::FlashConversation(ServiceLink& link, UserQuestions& questions,
                                     FlashObserver& observer, FlashWaits waits)
    : link_(link), questions_(questions), observer_(observer), waits_(waits) {}

void FlashConversation::Send(std::uint32_t code, std::span<const std::uint8_t> data, int site) {
    request_.SetRequest(code, data);
    try {
        link_.pipe.Write(request_.raw.data(), request_.WireSize());
    } catch (const ChannelError&) {
        throw Failure(ErrorText(ids::kServiceWriteError, site, kErrorPrefix));
    }
}

void FlashConversation::SendByte(std::uint32_t code, std::uint8_t value, int site) {
    const std::array<std::uint8_t, 1> data{value};
    Send(code, data, site);
}

void FlashConversation::Receive(int site) {
    reply_.Clear();
    try {
        reply_.received = link_.pipe.Read(reply_.raw.data(), reply_.raw.size());
    } catch (const ChannelError&) {
        throw Failure(ErrorText(ids::kServiceReadError, site, kErrorPrefix));
    }
}

bool FlashConversation::Wait(std::uint32_t ms, int site) {
    try {
        return link_.pipe.WaitForResponse(ms);
    } catch (const ChannelError&) {
        throw Failure(ErrorText(ids::kServiceReadError, site, kErrorPrefix));
    }
}

std::uint32_t FlashConversation::ReplyNumber() const {
    return ByteView(reply_.Data()).U32(0);
}

std::span<const std::uint8_t> FlashConversation::ReplyData() const {
    const std::size_t received = reply_.received > ServiceMessage::kHeaderSize
                                     ? reply_.received - ServiceMessage::kHeaderSize
                                     : 0;
    const std::size_t n =
        std::min({static_cast<std::size_t>(reply_.Length()), received, ServiceMessage::kMaxData});
    return std::span<const std::uint8_t>(reply_.Data()).first(n);
}

std::span<const std::uint8_t> FlashConversation::StreamBlock(int site) const {
    const std::size_t length = reply_.Length();
    if (reply_.received < ServiceMessage::kHeaderSize ||
        reply_.received - ServiceMessage::kHeaderSize < length || length > kFlashBlockSize) {
        throw Failure(ErrorText(ids::kServiceReadError, site, kErrorPrefix));
    }
    return ReplyData();
}

void FlashConversation::CheckStreamEnd(std::uint32_t lastProgress, int site) {
    if (lastProgress != kLastProgress) {
        throw Failure(ErrorText(ids::kServiceReadError, site, kErrorPrefix));
    }
}

void FlashConversation::ReadOut(std::uint8_t controller, const std::string& status,
                                const std::function<void(std::span<const std::uint8_t>)>& onBlock) {
    SendByte(FLASH_READ_START, controller, site::kReadStartWrite);
    if (!status.empty()) {
        observer_.ShowText(FlashLine::Status, status);
    }
    progress_ = -1;
    std::size_t total = 0;
    std::uint32_t lastProgress = 0;
    for (;;) {
        Receive(site::kStreamRead);
        const std::uint32_t progress = reply_.Code();
        // A malformed reply or an end before 100 % would leave a backup that is not
        // the ROM under the backup's name.
        const auto data = StreamBlock(site::kStreamRead);
        total += data.size();
        // The acknowledgement goes out from its own buffer: the reply stays.
        Send(FLASH_READ_ACK, {}, site::kAckWrite);
        if (progress > kLastProgress) {
            CheckStreamEnd(lastProgress, site::kStreamRead);
            return;
        }
        lastProgress = progress;
        if (total > kMaxReadOutBytes) {
            // A stream longer than any ROM: the service is not reading a ROM.
            throw Failure(ErrorText(ids::kServiceReadError, site::kStreamRead, kErrorPrefix));
        }
        onBlock(data);
        Progress(progress);
    }
}

void FlashConversation::DropStaleReplies() {
    try {
        for (int i = 0; i < kMaxStaleReplies; ++i) {
            std::size_t waiting = 0;
            link_.pipe.Peek(nullptr, 0, &waiting, nullptr);
            if (waiting == 0) {
                return;
            }
            reply_.Clear();
            link_.pipe.Read(reply_.raw.data(), reply_.raw.size());
        }
    } catch (const ChannelError&) {
        // The exchange that follows reports the channel's state.
    }
}

void FlashConversation::Progress(std::uint32_t percent) {
    // A report only when the bar moves: a thousand blocks move it a hundred times.
    if (static_cast<int>(percent) != progress_) {
        progress_ = static_cast<int>(percent);
        observer_.ShowProgress(progress_);
    }
}

void FlashConversation::Show(const std::string& text, MessageIcon icon, MessageButtons buttons) {
    questions_.ShowMessage(text, icon, buttons);
}

FlashParameters FlashConversation::Start(std::uint8_t controller, const std::string& controllerName,
                                         const std::string& hostName, FlashParameters known) {
    if (!link_.pipe.IsOpen()) {
        Show(LoadString(ids::kHostNotConnected));
        observer_.ParametersRead(known);
        return known;
    }
    const PipeBusyLock busy(link_);
    DropStaleReplies();
    return ReadFlashParameters(controller, controllerName, hostName, std::move(known));
}

FlashParameters FlashConversation::ReadFlashParameters(std::uint8_t controller,
                                                       const std::string& controllerName,
                                                       const std::string& hostName,
                                                       FlashParameters known) {
    FlashParameters p = std::move(known);
    observer_.ShowText(FlashLine::ControllerName, controllerName);
    try {
        SendByte(FLASH_GET_TYPE_ID, controller, site::kTypeIdWrite);
        Wait(waits_.parameterMs, site::kTypeIdRead);
        Receive(site::kTypeIdRead);
        p.flashId = ReplyNumber();
        p.flashSize = 0;

        std::string info;
        const FlashChipKind kind = FlashChipKindOf(p.flashId);
        p.noFlashRom = kind == FlashChipKind::NoRom;
        if (p.noFlashRom) {
            observer_.EnableControls(FlashControl::Start | kFlashFilesAndModes, false);
            info = LoadString(ids::kFlashNotFound);
        } else {
            p.flashSize = FlashSizeOfChip(p.flashId);
            SendByte(FLASH_GET_TYPE_NAME, controller, site::kTypeNameWrite);
            Wait(waits_.parameterMs, site::kTypeNameRead);
            Receive(site::kTypeNameRead);
            p.typeName = reply_.Text(ServiceMessage::kSize);
            info = LoadString(ids::kFlashType) + p.typeName;

            SendByte(FLASH_GET_BIOS_VERSION, controller, site::kVersionWrite);
            if (!Wait(waits_.versionMs, site::kVersionRead)) {
                Show(kNoVersionAnswer);
            } else {
                Receive(site::kVersionRead);
                p.biosVersion = static_cast<std::int32_t>(ReplyNumber());
                if (p.biosVersion == kNoBios) {
                    info += LoadString(ids::kFlashBiosNotFound);
                } else if (p.biosVersion == kIoError) {
                    info += LoadString(ids::kFlashIoError);
                } else {
                    info += BiosVersionText(ids::kFlashBiosVersion,
                                            static_cast<std::uint32_t>(p.biosVersion));
                }
            }
        }
        observer_.ShowText(FlashLine::FlashRom, info);
        std::string computer = LoadString(ids::kInComputer) + hostName;
        if (hostName == ".") {
            computer += " (localhost)";
        }
        observer_.ShowText(FlashLine::Computer, computer);
    } catch (const Failure& failure) {
        Show(failure.Text());
    }
    observer_.ParametersRead(p);
    return p;
}

FlashRunResult FlashConversation::Run(const FlashPlan& plan) {
    FlashRunResult result;
    result.backupAnswer = plan.backupAnswer;
    result.flashId = plan.parameters.flashId;
    result.typeName = plan.parameters.typeName;
    backupMade_ = false;
    backupSize_ = 0;
    romMissing_ = false;

    if (!link_.pipe.IsOpen()) {
        Show(LoadString(ids::kHostNotConnected));
        observer_.EnableControls(FlashControl::Ready | FlashControl::Close, true);
        result.end = FlashRunResult::End::NotConnected;
        return result;
    }
    // The run has buffers of its own: only flashBusy keeps the poll away (set below).
    DropStaleReplies();

    observer_.ShowText(FlashLine::Status, LoadString(ids::kDeterminingFlashParameters));
    try {
        SendByte(FLASH_GET_TYPE_ID, plan.controller, site::kRunTypeIdWrite);
        Receive(site::kRunTypeIdRead);
        result.flashId = ReplyNumber();
        SendByte(FLASH_GET_TYPE_NAME, plan.controller, site::kRunTypeNameWrite);
        Receive(site::kRunTypeNameRead);
        result.typeName = reply_.Text(ServiceMessage::kSize);
    } catch (const Failure& failure) {
        Show(failure.Text());
        observer_.EnableControls(FlashControl::Close, true);
        result.end = FlashRunResult::End::Failed;
        return result;
    }

    const FlashBusyScope flashBusy(link_);
    if (result.flashId != kNoRomId) {
        const bool backup =
            plan.mode == FlashMode::BackupAndUpdate || plan.mode == FlashMode::BackupOnly;
        const bool write =
            plan.mode == FlashMode::BackupAndUpdate || plan.mode == FlashMode::UpdateOnly;
        if (backup && !BackupPhase(plan, result)) {
            return result;
        }
        if (write && !WritePhase(plan, result)) {
            return result;
        }
        // The controls of the mode, unless the read after the write found no ROM.
        if (!romMissing_) {
            FlashControls controls = FlashControl::Modes;
            if (plan.mode != FlashMode::UpdateOnly) {
                controls |= FlashControl::BackupFile;
            }
            if (plan.mode != FlashMode::BackupOnly) {
                controls |= FlashControl::BiosFile;
            }
            observer_.EnableControls(controls, true);
        }
    }
    observer_.EnableControls(FlashControl::Ready | FlashControl::Close, true);
    result.end = FlashRunResult::End::Completed;
    return result;
}

bool FlashConversation::BackupPhase(const FlashPlan& plan, FlashRunResult& result) {
    observer_.EnableControls(kFlashFilesAndModes, false);
    const std::int32_t version = plan.parameters.biosVersion;
    if (version == kIoError || version == 0 || version == kNoBios) {
        const MessageAnswer answer = questions_.ShowMessage(
            LoadString(ids::kFlashNotBios), MessageIcon::None, MessageButtons::YesNo);
        result.backupAnswer = answer == MessageAnswer::Yes ? kAnswerYes : kAnswerNo;
    }
    if (result.backupAnswer != kAnswerYes) {
        return true;
    }

    BackupFile file;
    if (!file.Create(plan.backupPath)) {
        Show(file.Error());
        observer_.EnableControls(FlashControl::Close, true);
        return false;
    }
    try {
        // After a failed write the stream is still taken to its end, so that the
        // channel stays in step; nothing more is written.
        ReadOut(plan.controller, LoadString(ids::kSavingOldBios),
                [&file](std::span<const std::uint8_t> data) { file.Append(data); });
    } catch (const Failure& failure) {
        file.Abandon();
        Show(failure.Text());
        observer_.EnableControls(FlashControl::Close, true);
        return false;
    }
    if (!file.Commit()) {
        Show(flash_text::BackupIncomplete(file.Error()), MessageIcon::Error);
        observer_.EnableControls(FlashControl::Close, true);
        return false;
    }
    backupMade_ = true;
    backupSize_ = file.Size();
    result.backupFile = plan.backupPath;
    observer_.ShowText(FlashLine::Status, LoadString(ids::kBackupComplete));
    return true;
}

bool FlashConversation::WritePhase(const FlashPlan& plan, FlashRunResult& result) {
    int fileError = 0;
    const auto image =
        ReadFilePrefix(plan.biosPath, std::size_t{kMaxWriteBlocks} * kFlashBlockSize, fileError);
    if (!image) {
        Show(FormatString(ids::kFileError, fileError));
        observer_.EnableControls(FlashControl::Close, true);
        return false;
    }
    observer_.EnableControls(kFlashFilesAndModes, false);

    std::size_t romSize = 0;
    try {
        if (plan.flashAnswer == kAnswerYes) {
            if (backupMade_) {
                // The backup must hold the whole ROM before the ROM is erased.
                const auto romBytes = static_cast<std::uint64_t>(FlashSizeOfChip(result.flashId));
                if (backupSize_ != romBytes) {
                    Show(flash_text::BackupSizeMismatch(backupSize_, romBytes), MessageIcon::Error);
                    observer_.EnableControls(FlashControl::Close, true);
                    return false;
                }
            }
            observer_.ShowText(FlashLine::Status, LoadString(ids::kErasingFlash));
            SendByte(FLASH_ERASE, plan.controller, site::kEraseWrite);
            result.erased = true;
            {
                const LongerReadBound eraseBound(link_.pipe, kEraseBoundFactor);
                Receive(site::kEraseRead);
            }

            observer_.ShowText(FlashLine::Status, LoadString(ids::kWritingBios));
            SendByte(FLASH_WRITE_START, plan.controller, site::kWriteStartWrite);
            Receive(site::kWriteStartRead);
            const std::uint32_t blocks = std::min(ReplyNumber() >> 9, kMaxWriteBlocks);
            romSize = std::size_t{blocks} * kFlashBlockSize;
            progress_ = -1;
            std::array<std::uint8_t, kFlashBlockSize> block{};
            for (std::uint32_t i = 0; i < blocks; ++i) {
                FlashRomBlock(*image, i, block);
                Send(FLASH_WRITE_BLOCK + i, block, site::kBlockWrite);
                Receive(site::kBlockRead);
                const std::uint32_t progress = reply_.Code();
                if (progress > kLastProgress) {
                    Show(LoadString(ids::kFlashWriteError));
                    break;
                }
                Progress(progress);
            }
        }
        Send(FLASH_END, {}, site::kEndWrite);
    } catch (const Failure& failure) {
        Show(failure.Text());
        observer_.EnableControls(FlashControl::Close, true);
        return false;
    }

    std::string status = LoadString(ids::kUpdateComplete);
    if (result.erased) {
        Verify(plan, *image, romSize, result);
        status += ' ';
        switch (result.verification) {
            case FlashVerification::Verified:
                status += flash_text::Verified();
                break;
            case FlashVerification::Differs:
                status += flash_text::Differs();
                break;
            default:
                status += flash_text::NotVerified();
                break;
        }
    }
    observer_.ShowText(FlashLine::Status, status);
    const FlashParameters now =
        ReadFlashParameters(plan.controller, plan.controllerName, plan.hostName, plan.parameters);
    romMissing_ = now.noFlashRom;
    return true;
}

void FlashConversation::Verify(const FlashPlan& plan, const std::vector<std::uint8_t>& image,
                               std::size_t romSize, FlashRunResult& result) {
    observer_.ShowText(FlashLine::Status, flash_text::Verifying());
    RomComparison comparison(image, romSize);
    try {
        ReadOut(plan.controller, {},
                [&comparison](std::span<const std::uint8_t> data) { comparison.Add(data); });
    } catch (const Failure&) {
        result.verification = FlashVerification::NoAnswer;
        return;
    }
    const std::optional<std::uint64_t> difference = comparison.FirstDifference();
    if (!difference) {
        result.verification = FlashVerification::Verified;
        return;
    }
    result.verification = FlashVerification::Differs;
    result.firstDifference = *difference;
    Show(flash_text::DiffersMessage(result.firstDifference, result.backupFile), MessageIcon::Error);
}

}  // namespace veltrix
