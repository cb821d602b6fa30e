// Veltrix: the status client for the RAID controllers' monitoring service.

#include <cstdio>

#include "gui/app/application.h"

int main(int argc, char** argv) {
    if (const auto status =
            veltrix::Application::AnswerInformationOptions(argc, argv, stdout, stderr)) {
        return *status;
    }
    veltrix::Application app(argc, argv);
    if (const auto status = app.HandOverToRunningInstance(stderr)) {
        return *status;
    }
    return app.Run();
}
