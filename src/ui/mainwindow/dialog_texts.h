#pragma once
// What the settings dialogs share: their texts in the program's language, and the row
// of their OK and Cancel buttons.

#include <QString>

class QDialog;
class QHBoxLayout;

namespace veltrix {

// `en` or `de` (UTF-8) by the program's language.
QString DialogText(const char* en, const char* de);

// OK (id 1, the default button, accepts) and Cancel (id 2, rejects), right-aligned.
QHBoxLayout* OkCancelRow(QDialog& dialog);

}  // namespace veltrix
