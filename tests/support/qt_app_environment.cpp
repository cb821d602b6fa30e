// One QApplication for the whole test program, on the offscreen platform unless
// the environment picks another, and away from the machine's D-Bus.

#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

#include "session/text_catalogue.h"

namespace {

using veltrix::TextCatalogue;

class QtAppEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        // No test reaches the machine's own D-Bus; tests that need one start private
        // buses (support/private_buses.h), which replace these addresses.
        for (const char* bus : {"DBUS_SESSION_BUS_ADDRESS", "DBUS_SYSTEM_BUS_ADDRESS"}) {
            qputenv(bus, "unix:path=/nonexistent/veltrix-test-bus");
        }
        app_ = std::make_unique<QApplication>(argc_, argv_);
        TextCatalogue::Install(app_.get());
        QApplication::setApplicationDisplayName(QStringLiteral("Veltrix Test"));
    }

    void TearDown() override { app_.reset(); }

  private:
    int argc_ = 1;
    char name_[16] = "veltrix_tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] ::testing::Environment* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtAppEnvironment);

}  // namespace
