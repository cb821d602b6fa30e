#pragma once
// Creates the Qt widget for one control of a dialog template.

#include "ui/platform/dialog_template.h"

class QWidget;

namespace veltrix::platform {

// A widget of the kind the template asks for, placed, styled, with its text in
// `language` and its initial visibility and enabled state. Radio button grouping and
// notifications are the dialog's business.
QWidget* CreateControl(const ControlTemplate& control, QWidget* parent, Language language);

}  // namespace veltrix::platform
