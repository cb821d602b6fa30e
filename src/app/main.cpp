// Veltrix: the status client for the RAID controllers' monitoring service.

#include <iostream>

#include "app/kavo_gui_app.h"

int main(int argc, char** argv) {
    if (const auto status = veltrix::CKavoGUIApp::AnswerInformationOptions(argc, argv, std::cout)) {
        return *status;
    }
    veltrix::CKavoGUIApp app(argc, argv);
    if (const auto status = app.HandOverToRunningInstance(std::cerr)) {
        return *status;
    }
    return app.Run();
}
