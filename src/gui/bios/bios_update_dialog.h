#pragma once
// The BIOS update dialog (dialog 173): the choice of mode, backup file and BIOS image,
// the checks an image must pass, and the run that saves, erases and writes the
// controller's flash ROM through the service.
//
// The conversations run on the session's thread; the dialog shows what they report
// through queued signals, so it keeps painting and its progress bar moves while the
// session talks to the service. A run cannot be cancelled: Close, Esc and the
// window's close button do nothing until it has ended.

#include <QDialog>
#include <cstdint>
#include <memory>
#include <string>

#include "model/bios_image.h"
#include "session/flash_conversation.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QVBoxLayout;

namespace veltrix {

class FlashSignals;
class HostMonitor;

namespace platform {
class DialogUi;
}

// Resource numbers of dialog 173 and its controls.
namespace flash_dialog_id {
inline constexpr int kDialog = 173;
inline constexpr int kReady = 1;
inline constexpr int kClose = 2;
inline constexpr int kProgress = 1113;
inline constexpr int kBackupFile = 1114;
inline constexpr int kBiosFile = 1121;
inline constexpr int kStart = 1122;
inline constexpr int kRadioBackupAndUpdate = 1130;
inline constexpr int kRadioUpdateOnly = 1131;
inline constexpr int kRadioBackupOnly = 1132;
inline constexpr int kStatus = 1134;
inline constexpr int kFlashRom = 1135;
inline constexpr int kComputer = 1136;
inline constexpr int kControllerName = 1137;
inline constexpr int kBackupPath = 1140;
inline constexpr int kBiosPath = 1141;
inline constexpr int kFileVersion = 1147;
inline constexpr int kChipset = 1148;
}  // namespace flash_dialog_id

// The controller an update is for, as the main window knows it.
struct FlashTarget {
    std::uint8_t controllerIndex = 0;
    std::string controllerName;
    std::uint16_t vendorId = 0;
    std::uint16_t deviceId = 0;
    std::string hostName;  // "." for this computer
};

class BiosUpdateDialog : public QDialog {
    Q_OBJECT

  public:
    // Image files larger than this are not read (no flash ROM comes near it).
    static constexpr std::int64_t kMaxImageFileBytes = 64LL << 20;

    BiosUpdateDialog(platform::DialogUi& ui, HostMonitor& monitor, FlashTarget target,
                     QWidget* parent = nullptr);
    ~BiosUpdateDialog() override;

    // The dialog's start: progress 0, the fields exchanged to the controls, and the
    // flash ROM's parameters read (string 143 without a connection). The file and
    // mode buttons wait for the parameters.
    void InitDialog();

    // The controls' handlers.
    void OnModeBackupAndUpdate();
    void OnModeUpdateOnly();
    void OnModeBackupOnly();
    void OnChooseBackupFile();
    void OnChooseBiosFile();
    void OnStart();

    // A run is in progress (from Start until its end was reported).
    bool IsRunning() const { return running_; }

    // What the dialog holds (tests).
    FlashMode Mode() const { return mode_; }
    int FlashAnswer() const { return flashAnswer_; }
    bool FileAccepted() const { return fileAccepted_; }
    const std::string& BackupPath() const { return backupPath_; }
    const std::string& BiosPath() const { return biosPath_; }
    const FlashParameters& Parameters() const { return parameters_; }

  signals:
    // The flash ROM's parameters arrived after the dialog's start.
    void ParametersReady();
    // A run has ended and everything it reported is shown.
    void RunEnded();

  public slots:
    // Close, Esc and the close button: ignored during a run.
    void reject() override;

  private:
    // The controls in creation order (which is the tab order).
    void BuildControls();
    void AddModeButtons(QVBoxLayout* layout);
    void AddFileRows(QVBoxLayout* layout);
    void AddButtonRow(QVBoxLayout* layout);
    void ConnectReports();
    // Fields to controls (false) or controls to fields (true): the mode, the file's
    // version text and the chipset text.
    void UpdateData(bool toFields);
    void ClearStatus();
    void SetEnabled(FlashControls controls, bool enable);
    // Step 6 of OnChooseBiosFile: the decision over the header search's result.
    void DecideImage(BiosImageResult result, std::int64_t fileLength);
    int Ask(const std::string& text, MessageIcon icon, MessageButtons buttons);

    void OnText(int line, const std::string& text);
    void OnParameters(const FlashParameters& parameters);
    void OnRunEnded(const FlashRunResult& result);

    platform::DialogUi& ui_;
    HostMonitor& monitor_;
    FlashTarget target_;
    std::shared_ptr<FlashSignals> reports_;

    FlashMode mode_ = FlashMode::BackupAndUpdate;
    FlashParameters parameters_;
    std::uint32_t fileBiosVersion_ = 0;
    std::uint16_t fileVendorId_ = 0;
    std::uint16_t fileDeviceId_ = 0;
    bool fileAccepted_ = false;
    int flashAnswer_ = kAnswerYes;
    int backupAnswer_ = kAnswerYes;
    std::string backupPath_;
    std::string biosPath_;
    std::string fileVersionText_;
    std::string chipsetText_;  // stays empty

    bool awaitingParameters_ = false;
    bool running_ = false;
    bool parametersReadInRun_ = false;

    QPushButton* ready_ = nullptr;
    QPushButton* close_ = nullptr;
    QPushButton* start_ = nullptr;
    QPushButton* backupFile_ = nullptr;
    QPushButton* biosFile_ = nullptr;
    QRadioButton* modeButtons_[3] = {};
    QProgressBar* progress_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* controllerName_ = nullptr;
    QLabel* computer_ = nullptr;
    QLabel* flashRom_ = nullptr;
    QLabel* backupPathLabel_ = nullptr;
    QLabel* biosPathLabel_ = nullptr;
    QLabel* fileVersion_ = nullptr;
    QLabel* chipset_ = nullptr;
};

}  // namespace veltrix
