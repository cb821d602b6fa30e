#pragma once
// Dialog templates: the plain description a Dialog is built from.
//
// One template carries both languages, so the English and the German dialog share
// ids, order and layout by construction; the texts shown are those of UiLanguage().
// Positions and sizes are pixels of the dialog's client area; list box tab stops are
// dialog units (a quarter of the font's average character width each).

#include <string>
#include <utility>
#include <vector>

#include "texts/strings.h"

namespace veltrix::platform {

// Command ids the dialog itself understands: Return on the default button and Esc.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
// Id of labels nobody addresses; several controls may share it.
inline constexpr int IDC_STATIC = -1;

enum class ControlKind {
    Static,
    Edit,
    PushButton,
    CheckBox,
    RadioButton,
    GroupBox,
    ListBox,
    ComboBox,
    TabControl,
    Trackbar,
    ProgressBar,
    Picture,
};

enum class TextAlign { Left, Center, Right };

// Style flags; each applies to the kinds named beside it and is ignored elsewhere.
struct ControlStyle {
    bool password = false;              // edit: shows bullets instead of the text
    bool readOnly = false;              // edit: the user cannot change the text
    bool multiline = false;             // edit: several lines; Return starts a new line
    bool numberOnly = false;            // edit: the user can type digits only
    bool defaultButton = false;         // push button: Return presses it
    bool sorted = false;                // list box, combo box: rows kept in alphabetical order
    bool group = false;                 // radio button: starts a new group of exclusive buttons
    bool vertical = false;              // trackbar, progress bar
    bool ticks = true;                  // trackbar: tick marks below the slider
    TextAlign align = TextAlign::Left;  // static
};

struct ControlTemplate {
    int id = 0;
    ControlKind kind = ControlKind::Static;
    std::string textEn;
    std::string textDe;
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
    bool visible = true;
    bool enabled = true;
    ControlStyle style;
    std::vector<int> tabStops;  // list box: column stops in dialog units
    int maxLength = 0;          // edit: most characters the user may type, 0 for no limit

    // Modifiers for writing templates: Control(...).Hidden().Password()...
    ControlTemplate& Hidden() { return visible = false, *this; }
    ControlTemplate& Disabled() { return enabled = false, *this; }
    ControlTemplate& Password() { return style.password = true, *this; }
    ControlTemplate& ReadOnly() { return style.readOnly = true, *this; }
    ControlTemplate& Multiline() { return style.multiline = true, *this; }
    ControlTemplate& NumberOnly() { return style.numberOnly = true, *this; }
    ControlTemplate& DefaultButton() { return style.defaultButton = true, *this; }
    ControlTemplate& Sorted() { return style.sorted = true, *this; }
    ControlTemplate& Group() { return style.group = true, *this; }
    ControlTemplate& Vertical() { return style.vertical = true, *this; }
    ControlTemplate& NoTicks() { return style.ticks = false, *this; }
    ControlTemplate& Align(TextAlign align) { return style.align = align, *this; }
    ControlTemplate& TabStops(std::vector<int> stops) { return tabStops = std::move(stops), *this; }
    ControlTemplate& MaxLength(int length) { return maxLength = length, *this; }
};

// A control at (x, y) of size w x h with its English and German text.
ControlTemplate Control(int id, ControlKind kind, int x, int y, int w, int h, std::string en = {},
                        std::string de = {});

struct DialogTemplate {
    int id = 0;
    std::string titleEn;
    std::string titleDe;
    int width = 0;
    int height = 0;
    std::vector<ControlTemplate> controls;
};

// The text of the two that belongs to `language`.
const std::string& LocalText(const std::string& en, const std::string& de, Language language);
// The same for the program's language (UiLanguage()).
const std::string& LocalText(const std::string& en, const std::string& de);

// The control with `id`, or nullptr.
const ControlTemplate* FindControl(const DialogTemplate& dialog, int id);

}  // namespace veltrix::platform
