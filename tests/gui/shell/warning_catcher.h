#pragma once
// Collects the Qt warnings raised while it lives, so a test can insist on none:
// headless runs must stay quiet.

#include <QtGlobal>
#include <string>
#include <vector>

namespace veltrix::testing {

class WarningCatcher {
  public:
    WarningCatcher() : previous_(qInstallMessageHandler(&Handle)) { Caught().clear(); }
    ~WarningCatcher() { qInstallMessageHandler(previous_); }
    static std::vector<std::string>& Caught() {
        static std::vector<std::string> messages;
        return messages;
    }

  private:
    static void Handle(QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type != QtDebugMsg && type != QtInfoMsg) {
            Caught().push_back(message.toStdString());
        }
    }
    QtMessageHandler previous_;
};

}  // namespace veltrix::testing
