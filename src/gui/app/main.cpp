// Veltrix: the status client for the RAID controllers' monitoring service.

#include <iostream>

#include "gui/app/application.h"

int main(int argc, char** argv) {
    if (const auto status =
            veltrix::Application::AnswerInformationOptions(argc, argv, std::cout, std::cerr)) {
        return *status;
    }
    veltrix::Application app(argc, argv);
    if (const auto status = app.HandOverToRunningInstance(std::cerr)) {
        return *status;
    }
    return app.Run();
}
