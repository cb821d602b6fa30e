// One QCoreApplication for a test program of the layers below the GUI.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <memory>

#include "session/text_catalogue.h"

namespace {

using veltrix::TextCatalogue;

class CoreAppEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        app_ = std::make_unique<QCoreApplication>(argc_, argv_);
        TextCatalogue::Install(app_.get());
    }

    void TearDown() override { app_.reset(); }

  private:
    int argc_ = 1;
    char name_[16] = "veltrix_tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QCoreApplication> app_;
};

[[maybe_unused]] ::testing::Environment* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new CoreAppEnvironment);

}  // namespace
