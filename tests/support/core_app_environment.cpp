// One QCoreApplication for a test program of the layers below the GUI.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <memory>

namespace {

class CoreAppEnvironment : public ::testing::Environment {
  public:
    void SetUp() override { app_ = std::make_unique<QCoreApplication>(argc_, argv_); }

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
