#pragma once
// The BIOS update's conversations with the service: reading the flash ROM's
// parameters, and the run that saves the old BIOS to a backup file, erases the ROM,
// writes the new image block by block and reads it back to compare.
//
// Both run on the session's thread (started as a conversation job) with the dialog's own
// message buffer. What the dialog shows goes out through a FlashObserver; questions and
// messages go to UserQuestions, and the conversation waits for the answer. Every reply
// has a bound: the erase 10 times the channel's read bound (300 s by default), every
// other reply the read bound itself (30 s).
//
// The old BIOS is never lost by the run: the backup is written to a temporary file in
// the target folder and takes its name only once the read-out ended normally and the
// file is on disk; a backup that could not be written completely, or whose size is not
// the ROM's, stops the run before the erase.

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include <QFlags>

#include "protocol/protocol.h"
#include "session/service_link.h"
#include "session/user_interface.h"

namespace veltrix {

// The controls of the update dialog that a conversation switches on and off.
enum class FlashControl : std::uint8_t {
    Ready = 1U << 0U,
    Close = 1U << 1U,
    Start = 1U << 2U,
    BackupFile = 1U << 3U,
    BiosFile = 1U << 4U,
    Modes = 1U << 5U,  // the three mode buttons
};
Q_DECLARE_FLAGS(FlashControls, FlashControl)
Q_DECLARE_OPERATORS_FOR_FLAGS(FlashControls)
inline constexpr FlashControls kFlashFilesAndModes =
    FlashControl::BackupFile | FlashControl::BiosFile | FlashControl::Modes;

// The text lines of the update dialog a conversation fills.
enum class FlashLine { Status, ControllerName, FlashRom, Computer };

// The answers the dialog keeps (the platform's Yes and No).
inline constexpr int kAnswerYes = 6;
inline constexpr int kAnswerNo = 7;

// What the service told about the controller's flash ROM.
struct FlashParameters {
    std::uint32_t flashId = 0;
    std::int32_t flashSize = 0;  // 0: unknown chip
    std::string typeName;
    // BCD (0x0360 is 3.60); 1: no BIOS in the ROM; -1: I/O error; 0: not read.
    std::int32_t biosVersion = 0;
    // The chip id says there is no flash ROM: the dialog's controls stay off.
    bool noFlashRom = false;
};

// How the read-back after a write compared with what was written.
enum class FlashVerification { NotChecked, Verified, Differs, NoAnswer };

// The modes of a run, in the order of the dialog's mode buttons.
enum class FlashMode : std::uint8_t { BackupAndUpdate, UpdateOnly, BackupOnly };

// What the dialog hands to a run.
struct FlashPlan {
    std::uint8_t controller = 0;
    FlashMode mode = FlashMode::BackupAndUpdate;
    std::string backupPath;
    std::string biosPath;
    int flashAnswer = kAnswerYes;
    int backupAnswer = kAnswerYes;
    FlashParameters parameters;  // as the dialog knows them
    std::string controllerName;
    std::string hostName;
};

// How a run ended and what the dialog keeps from it.
struct FlashRunResult {
    enum class End {
        NotConnected,  // nothing was sent
        Failed,        // a channel or file failure ended it: only Close is enabled
        Completed,     // through its last step: Ready and Close are enabled
    };
    End end = End::Failed;
    int backupAnswer = kAnswerYes;
    std::uint32_t flashId = 0;
    std::string typeName;
    bool erased = false;  // FLASH_ERASE was sent
    FlashVerification verification = FlashVerification::NotChecked;
    std::uint64_t firstDifference = 0;  // for Differs
    std::string backupFile;             // the backup written in this run, else empty
};

class FlashObserver {
  public:
    virtual ~FlashObserver() = default;
    virtual void ShowText(FlashLine line, const std::string& text) = 0;
    virtual void ShowProgress(int percent) = 0;
    virtual void EnableControls(FlashControls controls, bool enable) = 0;
    // The parameters as far as they were read (at the dialog's start, after a write).
    virtual void ParametersRead(const FlashParameters& parameters) = 0;
};

// The waits of the parameter read: for the chip's id and name (their outcome is not
// used), and for the BIOS version (without its reply the version stays unread).
struct FlashWaits {
    std::uint32_t parameterMs = 1000;
    std::uint32_t versionMs = 20000;
};

class FlashConversation {
  public:
    // The longest read-out the client takes: more than any flash ROM holds.
    static constexpr std::size_t kMaxReadOutBytes = 16U << 20;
    // The most blocks a run writes: more would reach other command codes.
    static constexpr std::uint32_t kMaxWriteBlocks = 4096;
    // The erase may take this many times the channel's read bound.
    static constexpr std::uint32_t kEraseBoundFactor = 10;

    FlashConversation(ServiceLink& link, UserQuestions& questions, FlashObserver& observer,
                      FlashWaits waits = {});

    // The dialog's start: string 143 when the channel is closed, else the parameters.
    FlashParameters Start(std::uint8_t controller, const std::string& controllerName,
                          const std::string& hostName, FlashParameters known);
    // Reads chip id, chip name and BIOS version and fills the three lines. Starts
    // from `known`; a channel failure leaves the rest as it was.
    FlashParameters ReadFlashParameters(std::uint8_t controller, const std::string& controllerName,
                                        const std::string& hostName, FlashParameters known);
    // The Start button's run, from its check of the channel to its end.
    FlashRunResult Run(const FlashPlan& plan);

  private:
    class Failure;

    // One request, one reply, one wait; a channel failure throws Failure with the
    // message for `site`.
    void Send(std::uint32_t code, std::span<const std::uint8_t> data, int site);
    void SendByte(std::uint32_t code, std::uint8_t value, int site);
    void Receive(int site);
    bool Wait(std::uint32_t ms, int site);
    std::uint32_t ReplyNumber() const;
    std::span<const std::uint8_t> ReplyData() const;
    // The bytes of one reply of a read-out stream; a reply cut short of its `length`
    // or carrying more than a block throws Failure with the message for `site`.
    std::span<const std::uint8_t> StreamBlock(int site) const;
    // The stream's end reply: the stream must have reached 100 % before it, or it
    // broke off and Failure is thrown with the message for `site`.
    static void CheckStreamEnd(std::uint32_t lastProgress, int site);
    // Takes the read-out stream of `controller` to its end, acknowledging every reply
    // (the end reply too), and hands each block's bytes to `onBlock`. `status` shows
    // once the stream was asked for. A malformed stream, or one longer than any ROM,
    // throws Failure with the read error.
    void ReadOut(std::uint8_t controller, const std::string& status,
                 const std::function<void(std::span<const std::uint8_t>)>& onBlock);
    // Takes replies of an earlier exchange that came too late off the channel.
    void DropStaleReplies();
    // Reports a progress value that differs from the last one reported.
    void Progress(std::uint32_t percent);
    void Show(const std::string& text, MessageIcon icon = MessageIcon::None,
              MessageButtons buttons = MessageButtons::Ok);

    // The run's phases; false ends the run.
    bool BackupPhase(const FlashPlan& plan, FlashRunResult& result);
    bool WritePhase(const FlashPlan& plan, FlashRunResult& result);
    // Reads the ROM back through the read-out stream and compares it with `expected`.
    void Verify(const FlashPlan& plan, const std::vector<std::uint8_t>& image, std::size_t romSize,
                FlashRunResult& result);

    ServiceLink& link_;
    UserQuestions& questions_;
    FlashObserver& observer_;
    FlashWaits waits_;
    // The dialog's own buffers: requests, and the reply last read.
    ServiceMessage request_;
    ServiceMessage reply_;
    // Bytes of the backup made in this run; meaningful when a backup was made.
    std::uint64_t backupSize_ = 0;
    bool backupMade_ = false;
    // The progress last reported in this phase; -1: none yet.
    int progress_ = -1;
    // The parameters read after the write found no flash ROM.
    bool romMissing_ = false;
};

// Texts of the run's own safety checks, in the program's language.
namespace flash_text {
std::string BackupIncomplete(const std::string& fileError);
std::string BackupSizeMismatch(std::uint64_t backupSize, std::uint64_t romSize);
std::string Verifying();
std::string Verified();
std::string NotVerified();
std::string Differs();
std::string DiffersMessage(std::uint64_t offset, const std::string& backupPath);
}  // namespace flash_text

}  // namespace veltrix
