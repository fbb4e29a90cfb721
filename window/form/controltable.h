#pragma once

#include "core/colorpair.h"

#include <QString>
#include <QStringView>

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <variant>

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace prismel {

class BrowserPane;
class GradientBarWidget;
class LongTextEdit;
class PreviewWidget;

// The window's typed handles on its controls, filled while the controls are made. A control array
// of buttons is one QButtonGroup whose ids are the members' indexes, so that one connection per
// array serves all its members.
struct FormControls {
    QButtonGroup* command1 = nullptr;  // start colour, end colour
    QButtonGroup* command2 = nullptr;  // convert, copy, paste
    QButtonGroup* command3 = nullptr;  // about, exit
    QPushButton* command4 = nullptr;   // forum
    LongTextEdit* text1 = nullptr;     // the input
    std::array<QLineEdit*, 3> text2{}; // head, middle and close of the tag template
    LongTextEdit* text3 = nullptr;     // the generated code
    QLineEdit* text4 = nullptr;        // the step
    QLineEdit* text5 = nullptr;        // the contact line
    QComboBox* combo1 = nullptr;       // the format presets
    PreviewWidget* picture1 = nullptr;
    GradientBarWidget* picture2 = nullptr;
    QGroupBox* frame1 = nullptr;
    QGroupBox* frame2 = nullptr;
    std::array<QLabel*, 6> label1{};
    BrowserPane* webBrowser1 = nullptr;
};

// Where the window keeps a control, which also says what widget the control is: a QButtonGroup
// slot makes a push button that joins the group, an array slot a member at the row's index.
using ControlSlot =
    std::variant<QPushButton * FormControls::*, QButtonGroup * FormControls::*,
                 QLineEdit * FormControls::*, std::array<QLineEdit*, 3> FormControls::*,
                 LongTextEdit * FormControls::*, QComboBox * FormControls::*,
                 QGroupBox * FormControls::*, std::array<QLabel*, 6> FormControls::*,
                 GradientBarWidget * FormControls::*, PreviewWidget * FormControls::*,
                 BrowserPane * FormControls::*>;

// A control's caption or design-time text. A caption the translators own is the UTF-8 source
// text, which the window translates as it makes the control; other text (the contact line, the
// tag template) is shown as it is.
struct ControlText {
    // Implicit, so that a table row names its text alone: "转换(&T)" or u"[color=#".
    constexpr ControlText(const char* source) : translatable(source) {}
    template <std::size_t N> constexpr ControlText(const char16_t (&text)[N]) : fixed(text) {}

    const char* translatable = nullptr;
    QStringView fixed;
};

// One control of Form1. Geometry is in twips, relative to the container's top-left corner.
struct ControlDescription {
    QStringView name; // "Command2"; with `index` the control "Command2(1)"
    int index = -1;   // member of a control array, or -1 for a single control
    ControlSlot slot;
    QGroupBox* FormControls::*container = nullptr; // the frame holding it; null for the window
    ControlText text;                              // caption or design-time text
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int tab = 0; // place in the tab order, from 0
    bool bold = false;
    std::optional<Rgb> foreground{};
    std::optional<Rgb> background{};
};

// The 27 controls in the order the window creates them; a control inside a frame comes right
// after its frame.
std::span<const ControlDescription> controlTable();

// "Text2(0)" for an array member, "Text1" otherwise; also the widget's objectName.
QString controlName(const ControlDescription& control);

// The client area of the window in twips.
inline constexpr int formWidthTwips = 8085;
inline constexpr int formHeightTwips = 6270;

} // namespace prismel
