#pragma once
// The session without a window against the simulated service: the service on a private
// pipe folder, and a ServiceSession on a manual clock whose questions a script answers.
// The test program's QCoreApplication is support/core_app_environment.cpp's.

#include <gtest/gtest.h>

#include <memory>

#include "servicesim/scenario.h"
#include "session/manual_time_source.h"
#include "session/service_session.h"
#include "support/recording_ui.h"
#include "support/sim_session.h"

namespace veltrix::testing {

template <typename Base = ::testing::Test, typename Questions = RecordingUi>
class SessionFixture : public Base {
  protected:
    // The session ends before what a test class adds (observers, files) goes away.
    void TearDown() override {
        session_.reset();
        service_.reset();
    }

    // The service alone, for what reads it without a session.
    void StartService(sim::Scenario scenario) {
        service_ = std::make_unique<SimSession>(std::move(scenario), Transport::Local);
    }
    // The service and a session that has not connected yet.
    void StartSession(sim::Scenario scenario) {
        StartService(std::move(scenario));
        session_ = std::make_unique<ServiceSession>(questions_, &clock_);
    }

    ManualTimeSource clock_;
    Questions questions_;
    std::unique_ptr<SimSession> service_;
    std::unique_ptr<ServiceSession> session_;
};

}  // namespace veltrix::testing
