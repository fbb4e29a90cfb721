#pragma once

#include <QRgb>
#include <QString>
#include <QStringView>

#include <optional>
#include <span>

namespace prismel {

// What kind of widget a control of the window is. The two picture boxes get a kind each because
// each is a different drawing surface.
enum class ControlKind {
    CommandButton,
    TextBox,          // single line
    MultiLineTextBox, // wraps, vertical scroll bar
    ComboBox,         // editable text field with a drop-down list
    Frame,
    Label,
    GradientPicture, // the gradient bar
    PreviewPicture,  // the coloured-text preview
    WebBrowser,
};

// One control of Form1. Geometry is in twips, relative to the container's top-left corner.
struct ControlDescription {
    QStringView name; // "Command2"; with `index` the control "Command2(1)"
    int index = -1;   // member of a control array, or -1 for a single control
    ControlKind kind = ControlKind::Label;
    QStringView container; // the frame holding it, or empty for the window itself
    QStringView text;      // caption or design-time text
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int tab = 0; // place in the tab order, from 0
    bool bold = false;
    std::optional<QRgb> foreground{};
    std::optional<QRgb> background{};
};

inline constexpr int twipsPerPixel = 15;

// The nearest whole pixel of a length in twips.
constexpr int twipsToPixels(int twips)
{
    return (twips + twipsPerPixel / 2) / twipsPerPixel;
}

// The 27 controls in the order the window creates them; a control inside a frame comes right
// after its frame.
std::span<const ControlDescription> controlTable();

// "Text2(0)" for an array member, "Text1" otherwise; also the widget's objectName.
QString controlName(const ControlDescription& control);

// The client area of the window in twips.
inline constexpr int formWidthTwips = 8085;
inline constexpr int formHeightTwips = 6270;

} // namespace prismel
