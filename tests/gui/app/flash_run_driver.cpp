// veltrix-flash-run-driver: the program exactly as Veltrix starts it, with a user who
// opens the BIOS update once connected, chooses the backup file and the image in the
// file dialogs ("Backup and Update") and presses Start. A question of the run is
// answered Yes once the answer file exists. It prints "started" when the run has begun
// and "question" when the run asks.
//
//   veltrix-flash-run-driver <image-path> <backup-path> <answer-file>

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>
#include <memory>
#include <string>

#include "gui/app/application.h"
#include "gui/bios/bios_update_dialog.h"
#include "gui/mainwindow/main_window.h"
#include "gui/platform/control_id.h"
#include "gui/resources/main_window_ids.h"

namespace {

using namespace veltrix;

constexpr int kStepMs = 20;

struct Script {
    QString image;
    QString backup;
    QString answerFile;
    bool opened = false;
    bool choosing = false;
    bool started = false;
    bool asked = false;
};

QAbstractButton* Button(QWidget& dialog, int id) {
    return platform::FindControl<QAbstractButton>(dialog, id);
}

void Say(const char* line) {
    std::puts(line);
    std::fflush(stdout);
}

// Types the path into the dialog's name field (selectFile leaves a field that has the
// focus alone) and takes it as the Open or Save button would.
void Answer(QFileDialog& files, const QString& path) {
    if (auto* name = files.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
        name->setText(path);
    }
    files.selectFile(path);
    if (files.selectedFiles().value(0) == path) {
        static_cast<QDialog&>(files).accept();
    }
}

// Clicks button `id` of the dialog from the event loop: a file dialog opens inside.
void ClickLater(BiosUpdateDialog* dialog, int id, const std::shared_ptr<Script>& script) {
    script->choosing = true;
    QTimer::singleShot(0, dialog, [dialog, id, script] {
        Button(*dialog, id)->click();
        script->choosing = false;
    });
}

void Step(MainWindow& window, const std::shared_ptr<Script>& script) {
    QWidget* modal = QApplication::activeModalWidget();
    if (!script->opened && window.Monitor().IsConnected() &&
        window.Monitor().ControllerCount() > 0) {
        script->opened = true;
        // The dialog runs modally inside the handler: not from this tick.
        QTimer::singleShot(0, &window, [&window] { window.Choose(menu_id::kBiosUpdate); });
        return;
    }
    if (auto* files = qobject_cast<QFileDialog*>(modal)) {
        Answer(*files,
               files->acceptMode() == QFileDialog::AcceptSave ? script->backup : script->image);
        return;
    }
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        if (!script->asked) {
            script->asked = true;
            Say("question");
        }
        if (QFileInfo::exists(script->answerFile)) {
            box->button(QMessageBox::Yes)->click();
        }
        return;
    }
    auto* dialog = qobject_cast<BiosUpdateDialog*>(modal);
    if (dialog == nullptr || script->started || script->choosing) {
        return;
    }
    if (Button(*dialog, flash_dialog_id::kStart)->isEnabled()) {
        script->started = true;
        Button(*dialog, flash_dialog_id::kStart)->click();
        Say("started");
    } else if (!Button(*dialog, flash_dialog_id::kBiosFile)->isEnabled()) {
        return;  // the parameters are on their way
    } else if (dialog->BackupPath().empty()) {
        ClickLater(dialog, flash_dialog_id::kBackupFile, script);
    } else if (dialog->BiosPath().empty()) {
        ClickLater(dialog, flash_dialog_id::kBiosFile, script);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fputs("Usage: veltrix-flash-run-driver <image-path> <backup-path> <answer-file>\n",
                   stderr);
        return 2;
    }
    auto script = std::make_shared<Script>();
    script->image = QString::fromLocal8Bit(argv[1]);
    script->backup = QString::fromLocal8Bit(argv[2]);
    script->answerFile = QString::fromLocal8Bit(argv[3]);
    Application app(argc, argv);
    return app.Run([script](MainWindow& window) {
        auto* step = new QTimer(&window);
        QObject::connect(step, &QTimer::timeout, &window,
                         [&window, script] { Step(window, script); });
        step->start(kStepMs);
    });
}
