#include "gui/platform/dialog_parts.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>

#include "gui/platform/control_id.h"
#include "texts/strings.h"

namespace veltrix::platform {

OkCancelRow MakeOkCancelRow(QDialog& dialog) {
    OkCancelRow row;
    row.box = new QDialogButtonBox(&dialog);
    // Our own texts, not Qt's translations of its standard buttons.
    row.ok = row.box->addButton(
        //% "OK"
        qtTrId("dialog.ok"), QDialogButtonBox::AcceptRole);
    row.cancel = row.box->addButton(
        //% "Cancel"
        qtTrId("dialog.cancel"), QDialogButtonBox::RejectRole);
    SetControlId(row.ok, kOkId);
    SetControlId(row.cancel, kCancelId);
    row.ok->setDefault(true);
    QObject::connect(row.box, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(row.box, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    return row;
}

std::size_t WireLength(const QString& text) {
    return static_cast<std::size_t>(text.toUtf8().size());
}

}  // namespace veltrix::platform
