#include "ui/mainwindow/dialog_texts.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

#include "texts/strings.h"
#include "ui/platform/control_id.h"

namespace veltrix {

QString DialogText(const char* en, const char* de) {
    return QString::fromUtf8(UiLanguage() == Language::German ? de : en);
}

QHBoxLayout* OkCancelRow(QDialog& dialog) {
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
    platform::SetControlId(ok, 1);
    ok->setDefault(true);
    auto* cancel = new QPushButton(DialogText("Cancel", "Abbrechen"), &dialog);
    platform::SetControlId(cancel, 2);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}

}  // namespace veltrix
