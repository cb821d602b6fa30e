#include "ui/platform/dialog_template.h"

namespace veltrix::platform {

ControlTemplate Control(int id, ControlKind kind, int x, int y, int w, int h, std::string en,
                        std::string de) {
    ControlTemplate control;
    control.id = id;
    control.kind = kind;
    control.x = x;
    control.y = y;
    control.w = w;
    control.h = h;
    control.textEn = std::move(en);
    control.textDe = std::move(de);
    return control;
}

const std::string& LocalText(const std::string& en, const std::string& de, Language language) {
    return language == Language::German ? de : en;
}

const std::string& LocalText(const std::string& en, const std::string& de) {
    return LocalText(en, de, UiLanguage());
}

const ControlTemplate* FindControl(const DialogTemplate& dialog, int id) {
    for (const ControlTemplate& control : dialog.controls) {
        if (control.id == id) {
            return &control;
        }
    }
    return nullptr;
}

}  // namespace veltrix::platform
