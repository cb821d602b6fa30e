#pragma once
// What the reading of the controllers after the login is doing: a line such as
// "Reading controller 1 of 2: drive 3 of 4…" beside a busy bar. Hidden until the login
// is accepted and again once the lists are filled; each new line is announced to
// screen readers.

#include <QWidget>

#include "session/session_types.h"

class QLabel;
class QProgressBar;

namespace veltrix {

class ConnectProgress : public QWidget {
    Q_OBJECT

  public:
    static constexpr char kObjectName[] = "connectProgress";
    static constexpr char kTextObjectName[] = "connectProgressText";

    explicit ConnectProgress(QWidget* parent);

    // Shows the step's line (in the program's language) and announces it.
    void ShowStep(const EnumerationStep& step);
    // The line of a step.
    static QString Text(const EnumerationStep& step);

  signals:
    // A step's line was shown and announced.
    void StepShown(const QString& text);

  private:
    QLabel* text_ = nullptr;
    QProgressBar* bar_ = nullptr;
};

}  // namespace veltrix
