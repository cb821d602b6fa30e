#pragma once
// What the small settings dialogs of the Configuration menu share: their texts in the
// program's language, and the row with OK (id 1, the default button) and Cancel (id 2).

#include <QString>
#include <cstddef>

class QDialog;
class QDialogButtonBox;
class QPushButton;

namespace veltrix::platform {

inline constexpr int kOkId = 1;
inline constexpr int kCancelId = 2;

struct OkCancelRow {
    QDialogButtonBox* box = nullptr;
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
};
// OK and Cancel, connected to the dialog's accept() and reject().
OkCancelRow MakeOkCancelRow(QDialog& dialog);

// The length of a text as it travels to the service (UTF-8 bytes).
std::size_t WireLength(const QString& text);

}  // namespace veltrix::platform
