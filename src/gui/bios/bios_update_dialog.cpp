#include "gui/bios/bios_update_dialog.h"

#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>
#include <vector>

#include "gui/platform/control_id.h"
#include "gui/platform/dialog_ui.h"
#include "gui/platform/service_mode.h"
#include "model/bios_image.h"
#include "session/flash_signals.h"
#include "texts/format.h"
#include "texts/string_ids.h"
#include "texts/strings.h"
#include "watch/conversation_job.h"
#include "watch/host_monitor.h"

namespace veltrix {

namespace {

using namespace flash_dialog_id;
using platform::SetControlId;

// The service mode's texts: German in both languages.
constexpr char kUseAnyway[] = "\nTrotzdem verwenden?";
constexpr char kFileLargerThanFlash[] = "Datei ist größer als Flashspeicher";
constexpr char kFlashTooSmall[] = "Flashspeicher ist zu klein!\n Trotzdem flaschen?";
constexpr char kForeignBiosTooLarge[] =
    "BIOS-Datei ist größer als der Flashspeicher.\nKein Problem bei einem KAVOTRONIK-BIOS.\n"
    "Bei einem Fremd-BIOS ist mit Fehlfunktion zu rechnen.\nTrotzdem flaschen?";

// Images for ROMs below this size are refused unless the service mode asks.
constexpr std::int64_t kSmallestFlashSize = 0x8000;
// Room for a path of some length beside the file buttons.
constexpr int kDialogMinimumWidth = 440;
// The platform's error text for a file is cut to this many characters.
constexpr int kMaxFileErrorText = 1023;

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// A static that shows a long path with its middle left out when it does not fit; its
// text stays whole.
class PathLabel : public QLabel {
  public:
    using QLabel::QLabel;

    QSize minimumSizeHint() const override {
        QSize size = QLabel::minimumSizeHint();
        size.setWidth(fontMetrics().averageCharWidth() * 8);
        return size;
    }
    QSize sizeHint() const override {
        QSize size = QLabel::sizeHint();
        size.setWidth(std::min(size.width(), fontMetrics().averageCharWidth() * 40));
        return size;
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QRect area = contentsRect();
        const QString shown = fontMetrics().elidedText(text(), Qt::ElideMiddle, area.width());
        style()->drawItemText(&painter, area, static_cast<int>(alignment()), palette(), isEnabled(),
                              shown, foregroundRole());
    }
};

template <typename W>
W* WithId(W* widget, int id) {
    SetControlId(widget, id);
    return widget;
}

// A filter of the file dialog from a name and its pattern: the name as it stands
// when it already names the pattern, the pattern in brackets after it otherwise.
// "*.*" matches every file, also one without a dot.
QString FilterEntry(const std::string& name, const std::string& pattern) {
    const QString trimmed = Q(name).trimmed();
    const QString bracketed = QStringLiteral("(") + Q(pattern) + QStringLiteral(")");
    if (trimmed.endsWith(bracketed)) {
        return trimmed;
    }
    const QString shown = pattern == "*.*" ? QStringLiteral("(*)") : bracketed;
    return trimmed + QStringLiteral(" ") + shown;
}

}  // namespace

BiosUpdateDialog::BiosUpdateDialog(platform::DialogUi& ui, HostMonitor& monitor, FlashTarget target,
                                   QWidget* parent)
    : QDialog(parent),
      ui_(ui),
      monitor_(monitor),
      target_(std::move(target)),
      reports_(std::make_shared<FlashSignals>()) {
    SetControlId(this, kDialog);
    setWindowTitle(
        //% "BIOS Update"
        qtTrId("bios.title"));
    setMinimumWidth(kDialogMinimumWidth);
    BuildControls();
    ConnectReports();
}

BiosUpdateDialog::~BiosUpdateDialog() = default;

void BiosUpdateDialog::BuildControls() {
    auto* layout = new QVBoxLayout(this);

    controllerName_ = WithId(new QLabel(QStringLiteral("Text"), this), kControllerName);
    controllerName_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    computer_ = WithId(new QLabel(QStringLiteral("Text"), this), kComputer);
    flashRom_ = WithId(new PathLabel(QStringLiteral("TEXT"), this), kFlashRom);
    layout->addWidget(controllerName_);
    layout->addWidget(computer_);
    layout->addWidget(flashRom_);

    AddModeButtons(layout);
    AddFileRows(layout);

    auto* image = new QHBoxLayout;
    fileVersion_ = WithId(new QLabel(QStringLiteral("Version:  3.60"), this), kFileVersion);
    chipset_ = WithId(new QLabel(QStringLiteral("Chipsatz: 1095-3124"), this), kChipset);
    image->addWidget(fileVersion_);
    image->addStretch(1);
    image->addWidget(chipset_);
    layout->addLayout(image);

    progress_ = WithId(new QProgressBar(this), kProgress);
    progress_->setRange(0, 100);
    progress_->setValue(0);
    progress_->setTextVisible(false);
    layout->addWidget(progress_);
    status_ = WithId(new QLabel(this), kStatus);
    status_->setAlignment(Qt::AlignCenter);
    layout->addWidget(status_);

    AddButtonRow(layout);

    connect(modeButtons_[0], &QRadioButton::clicked, this, [this] { OnModeBackupAndUpdate(); });
    connect(modeButtons_[1], &QRadioButton::clicked, this, [this] { OnModeUpdateOnly(); });
    connect(modeButtons_[2], &QRadioButton::clicked, this, [this] { OnModeBackupOnly(); });
    connect(backupFile_, &QPushButton::clicked, this, [this] { OnChooseBackupFile(); });
    connect(biosFile_, &QPushButton::clicked, this, [this] { OnChooseBiosFile(); });
    connect(start_, &QPushButton::clicked, this, [this] { OnStart(); });
    connect(ready_, &QPushButton::clicked, this, &QDialog::accept);
    connect(close_, &QPushButton::clicked, this, &BiosUpdateDialog::reject);
}

// The three modes, in a group of their own.
void BiosUpdateDialog::AddModeButtons(QVBoxLayout* layout) {
    auto* modes = new QGroupBox(this);
    auto* modeLayout = new QVBoxLayout(modes);
    const QString modeTexts[] = {//% "Backup and Update"
                                 qtTrId("bios.backup-and-update"),

                                 //% "Update only"
                                 qtTrId("bios.update-only"),
                                 //% "Backup only"
                                 qtTrId("bios.backup-only")};
    const int modeIds[] = {kRadioBackupAndUpdate, kRadioUpdateOnly, kRadioBackupOnly};
    for (int i = 0; i < 3; ++i) {
        modeButtons_[i] = WithId(new QRadioButton(modeTexts[i], modes), modeIds[i]);
        modeLayout->addWidget(modeButtons_[i]);
    }
    layout->addWidget(modes);
}

// The backup and BIOS file buttons, each beside its path.
void BiosUpdateDialog::AddFileRows(QVBoxLayout* layout) {
    auto* files = new QGridLayout;
    backupFile_ = WithId(new QPushButton(
                             //% "Backup File..."
                             qtTrId("bios.backup-file"), this),
                         kBackupFile);
    biosFile_ = WithId(new QPushButton(
                           //% "BIOS File..."
                           qtTrId("bios.bios-file"), this),
                       kBiosFile);
    backupPathLabel_ = WithId(new PathLabel(this), kBackupPath);
    biosPathLabel_ = WithId(new PathLabel(this), kBiosPath);
    for (QLabel* path : {backupPathLabel_, biosPathLabel_}) {
        path->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        path->setFrameShape(QFrame::StyledPanel);
        path->setFrameShadow(QFrame::Sunken);
    }
    files->addWidget(backupFile_, 0, 0);
    files->addWidget(backupPathLabel_, 0, 1);
    files->addWidget(biosFile_, 1, 0);
    files->addWidget(biosPathLabel_, 1, 1);
    files->setColumnStretch(1, 1);
    layout->addLayout(files);
}

// Start, then Ready and Close on the right.
void BiosUpdateDialog::AddButtonRow(QVBoxLayout* layout) {
    auto* buttons = new QHBoxLayout;
    start_ = WithId(new QPushButton(
                        //% "Start"
                        qtTrId("bios.start"), this),
                    kStart);
    ready_ = WithId(new QPushButton(
                        //% "Ready"
                        qtTrId("bios.ready"), this),
                    kReady);
    close_ = WithId(new QPushButton(
                        //% "Close"
                        qtTrId("bios.close"), this),
                    kClose);
    start_->setEnabled(false);
    ready_->setEnabled(false);
    buttons->addWidget(start_);
    buttons->addStretch(1);
    buttons->addWidget(ready_);
    buttons->addWidget(close_);
    layout->addLayout(buttons);
}

void BiosUpdateDialog::ConnectReports() {
    FlashSignals* reports = reports_.get();
    connect(reports, &FlashSignals::TextShown, this, &BiosUpdateDialog::OnText,
            Qt::QueuedConnection);
    connect(reports, &FlashSignals::ProgressShown, progress_, &QProgressBar::setValue,
            Qt::QueuedConnection);
    connect(reports, &FlashSignals::ControlsEnabled, this, &BiosUpdateDialog::SetEnabled,
            Qt::QueuedConnection);
    connect(reports, &FlashSignals::ParametersReported, this, &BiosUpdateDialog::OnParameters,
            Qt::QueuedConnection);
    connect(reports, &FlashSignals::RunEnded, this, &BiosUpdateDialog::OnRunEnded,
            Qt::QueuedConnection);
}

void BiosUpdateDialog::InitDialog() {
    progress_->setValue(0);
    parameters_.biosVersion = 0;
    fileBiosVersion_ = 0;
    fileAccepted_ = false;
    fileVendorId_ = 0;
    fileDeviceId_ = 0;
    UpdateData(false);
    // Until the parameters are known the image checks would compare with nothing.
    SetEnabled(kFlashFilesAndModes, false);
    awaitingParameters_ = true;
    const FlashParameters known = parameters_;
    const FlashWork work =
        FlashParametersWork(monitor_.Session().Questions(), reports_, target_.controllerIndex,
                            target_.controllerName, target_.hostName, known);
    auto* job = ConversationJob::Start(monitor_, [work](ServiceLink& link, StatusRequests& r) {
        work(link, r);
        return ConversationResult{};
    });
    // Another conversation holds the channel: the dialog goes on with what it knows.
    connect(job, &ConversationJob::Finished, this, [this, known](const ConversationResult& result) {
        if (result.IsBusy()) {
            OnParameters(known);
        }
    });
}

void BiosUpdateDialog::UpdateData(bool toFields) {
    if (toFields) {
        for (int i = 0; i < 3; ++i) {
            if (modeButtons_[i]->isChecked()) {
                mode_ = static_cast<FlashMode>(i);
            }
        }
        fileVersionText_ = fileVersion_->text().toStdString();
        chipsetText_ = chipset_->text().toStdString();
        return;
    }
    modeButtons_[static_cast<int>(mode_)]->setChecked(true);
    fileVersion_->setText(Q(fileVersionText_));
    chipset_->setText(Q(chipsetText_));
}

void BiosUpdateDialog::ClearStatus() {
    status_->setText(QStringLiteral(" "));
    progress_->setValue(0);
}

void BiosUpdateDialog::SetEnabled(FlashControls controls, bool enable) {
    const auto apply = [&](FlashControl bit, QWidget* control) {
        if (controls.testFlag(bit)) {
            control->setEnabled(enable);
        }
    };
    apply(FlashControl::Ready, ready_);
    apply(FlashControl::Close, close_);
    apply(FlashControl::Start, start_);
    apply(FlashControl::BackupFile, backupFile_);
    apply(FlashControl::BiosFile, biosFile_);
    for (QRadioButton* mode : modeButtons_) {
        apply(FlashControl::Modes, mode);
    }
}

void BiosUpdateDialog::OnModeBackupAndUpdate() {
    ClearStatus();
    backupFile_->setEnabled(true);
    biosFile_->setEnabled(true);
    start_->setEnabled(!biosPath_.empty() && !backupPath_.empty() && flashAnswer_ == kAnswerYes);
}

void BiosUpdateDialog::OnModeUpdateOnly() {
    ClearStatus();
    backupFile_->setEnabled(false);
    biosFile_->setEnabled(true);
    start_->setEnabled(!biosPath_.empty() && flashAnswer_ == kAnswerYes);
}

void BiosUpdateDialog::OnModeBackupOnly() {
    ClearStatus();
    backupFile_->setEnabled(true);
    biosFile_->setEnabled(false);
    start_->setEnabled(!backupPath_.empty());
}

void BiosUpdateDialog::OnChooseBackupFile() {
    ClearStatus();
    UpdateData(true);
    const auto chosen =
        ui_.GetSaveFileName(LoadString(ids::kSelectBackupFile), std::string(), "bios.bak");
    if (!chosen) {
        return;
    }
    backupPath_ = *chosen;
    backupPathLabel_->setText(Q(backupPath_));
    if (mode_ == FlashMode::BackupOnly ||
        (mode_ == FlashMode::BackupAndUpdate && !biosPath_.empty())) {
        start_->setEnabled(true);
    }
}

int BiosUpdateDialog::Ask(const std::string& text, MessageIcon icon, MessageButtons buttons) {
    return static_cast<int>(ui_.ShowMessage(text, icon, buttons));
}

void BiosUpdateDialog::OnChooseBiosFile() {
    flashAnswer_ = kAnswerYes;
    ClearStatus();
    UpdateData(true);
    const std::string filter =
        (FilterEntry(LoadString(ids::kFilterBinaryName), LoadString(ids::kFilterBinaryPattern)) +
         QStringLiteral(";;") +
         FilterEntry(LoadString(ids::kFilterAllName), LoadString(ids::kFilterAllPattern)))
            .toStdString();
    const auto chosen =
        ui_.GetOpenFileName(LoadString(ids::kSelectBiosFile), filter, std::string());
    if (!chosen) {
        return;
    }
    biosPath_ = *chosen;
    biosPathLabel_->setText(Q(biosPath_));
    if (mode_ == FlashMode::BackupOnly) {
        return;
    }

    QFile file(Q(biosPath_));
    if (!file.open(QIODevice::ReadOnly)) {
        ui_.ShowMessage((Q(biosPath_) + QStringLiteral(": ") + file.errorString())
                            .left(kMaxFileErrorText)
                            .toStdString(),
                        MessageIcon::None, MessageButtons::Ok);
        return;
    }
    fileVendorId_ = 0;
    fileDeviceId_ = 0;
    fileBiosVersion_ = 0;
    fileVersionText_.clear();
    chipsetText_.clear();
    fileAccepted_ = false;

    const std::int64_t length = file.size();
    BiosImageResult result = BiosImageResult::ReadError;
    BiosImageHeader header;
    if (length <= kMaxImageFileBytes) {
        const QByteArray bytes = file.readAll();
        if (bytes.size() == length) {
            const auto* bytesIn = reinterpret_cast<const std::uint8_t*>(bytes.constData());
            result =
                ParseBiosImage(std::span(bytesIn, static_cast<std::size_t>(bytes.size())), header);
        }
    }
    if (result == BiosImageResult::Found) {
        fileBiosVersion_ = header.version;
        fileVendorId_ = header.vendorId;
        fileDeviceId_ = header.deviceId;
    }
    DecideImage(result, length);

    start_->setEnabled(flashAnswer_ == kAnswerYes);
    file.close();
    if (mode_ == FlashMode::BackupAndUpdate && backupPath_.empty()) {
        start_->setEnabled(false);
    }
    if (!fileAccepted_) {
        biosPath_.clear();
        fileVersionText_.clear();
        chipsetText_.clear();
        biosPathLabel_->clear();
    }
    UpdateData(false);
}

void BiosUpdateDialog::DecideImage(BiosImageResult result, std::int64_t fileLength) {
    const bool larger = fileLength > parameters_.flashSize;
    if (result == BiosImageResult::ReadError) {
        Ask(LoadString(ids::kBiosFileReadError), MessageIcon::Error, MessageButtons::Ok);
        flashAnswer_ = 0;
        return;
    }
    if (result == BiosImageResult::NotBios) {
        if (!platform::serviceMode) {
            Ask(LoadString(ids::kNotABiosFile), MessageIcon::Warning, MessageButtons::Ok);
            flashAnswer_ = 0;
            fileAccepted_ = false;
            return;
        }
        flashAnswer_ = Ask(LoadString(ids::kNotABiosFile) + kUseAnyway, MessageIcon::Warning,
                           MessageButtons::YesNoDefaultNo);
        if (larger) {
            Ask(kFileLargerThanFlash, MessageIcon::Error, MessageButtons::Ok);
            flashAnswer_ = 0;
        }
        fileAccepted_ = flashAnswer_ == kAnswerYes;
        return;
    }

    const int number = BcdVersionNumber(fileBiosVersion_);
    fileVersionText_ = FormatString(ids::kFileBiosVersion, number / 100, number % 100);
    if (fileVendorId_ != target_.vendorId || fileDeviceId_ != target_.deviceId) {
        if (!platform::serviceMode) {
            Ask(LoadString(ids::kWrongBiosFile), MessageIcon::Warning, MessageButtons::Ok);
            flashAnswer_ = 0;
            fileAccepted_ = false;
            return;
        }
        flashAnswer_ = Ask(LoadString(ids::kWrongBiosFile) + kUseAnyway, MessageIcon::Warning,
                           MessageButtons::YesNoDefaultNo);
        fileAccepted_ = flashAnswer_ == kAnswerYes;
        return;
    }

    fileAccepted_ = true;
    // A No to the version question stands: no later step turns it into a Yes, so an
    // image the user refused is never written.
    bool versionRefused = false;
    if (static_cast<std::int32_t>(fileBiosVersion_) <= parameters_.biosVersion) {
        flashAnswer_ =
            Ask(LoadString(ids::kBiosNotNewer), MessageIcon::None, MessageButtons::YesNo);
        versionRefused = flashAnswer_ != kAnswerYes;
    }
    if (!larger) {
        return;
    }
    if (parameters_.flashSize < kSmallestFlashSize) {
        if (!platform::serviceMode) {
            Ask(LoadString(ids::kBiosFileTooLarge), MessageIcon::Error, MessageButtons::Ok);
            flashAnswer_ = 0;
            fileAccepted_ = false;
        } else if (!versionRefused) {
            flashAnswer_ = Ask(kFlashTooSmall, MessageIcon::Error, MessageButtons::YesNoDefaultNo);
        }
        return;
    }
    if (platform::serviceMode) {
        if (!versionRefused) {
            flashAnswer_ = Ask(kForeignBiosTooLarge, MessageIcon::Warning, MessageButtons::YesNo);
            fileAccepted_ = flashAnswer_ == kAnswerYes;
        }
        return;
    }
    // A known ROM without the service mode: the image is taken as it is.
    fileAccepted_ = true;
    if (!versionRefused) {
        flashAnswer_ = kAnswerYes;
    }
}

void BiosUpdateDialog::OnStart() {
    UpdateData(true);
    start_->setEnabled(false);
    close_->setEnabled(false);
    running_ = true;
    parametersReadInRun_ = false;
    FlashPlan plan;
    plan.controller = target_.controllerIndex;
    plan.mode = mode_;
    plan.backupPath = backupPath_;
    plan.biosPath = biosPath_;
    plan.flashAnswer = flashAnswer_;
    plan.backupAnswer = backupAnswer_;
    plan.parameters = parameters_;
    plan.controllerName = target_.controllerName;
    plan.hostName = target_.hostName;
    const FlashWork work = FlashRunWork(monitor_.Session().Questions(), reports_, std::move(plan));
    auto* job = ConversationJob::Start(monitor_, [work](ServiceLink& link, StatusRequests& r) {
        work(link, r);
        return ConversationResult{};
    });
    // A run that could not start ends at once, with Close usable again; a run that took
    // place reported its end through RunEnded.
    connect(job, &ConversationJob::Finished, this, [this](const ConversationResult& result) {
        if (result.IsBusy()) {
            SetEnabled(FlashControl::Close, true);
            OnRunEnded(FlashRunResult{});
        }
    });
}

void BiosUpdateDialog::OnText(int line, const std::string& text) {
    switch (static_cast<FlashLine>(line)) {
        case FlashLine::Status:
            status_->setText(Q(text));
            break;
        case FlashLine::ControllerName:
            controllerName_->setText(Q(text));
            break;
        case FlashLine::FlashRom:
            flashRom_->setText(Q(text));
            break;
        case FlashLine::Computer:
            computer_->setText(Q(text));
            break;
    }
}

void BiosUpdateDialog::OnParameters(const FlashParameters& parameters) {
    parameters_ = parameters;
    if (running_) {
        parametersReadInRun_ = true;
    }
    if (awaitingParameters_) {
        awaitingParameters_ = false;
        if (!parameters.noFlashRom) {
            SetEnabled(kFlashFilesAndModes, true);
        }
        emit ParametersReady();
    }
}

void BiosUpdateDialog::OnRunEnded(const FlashRunResult& result) {
    running_ = false;
    backupAnswer_ = result.backupAnswer;
    if (!parametersReadInRun_) {
        parameters_.flashId = result.flashId;
        parameters_.typeName = result.typeName;
    }
    emit RunEnded();
}

void BiosUpdateDialog::reject() {
    if (running_) {
        return;
    }
    QDialog::reject();
}

}  // namespace veltrix
