#include "window/controltable.h"

#include "window/config.h"

#include <array>

namespace prismel {

namespace {

using Kind = ControlKind;

constexpr QRgb magenta = qRgb(255, 0, 255);
constexpr QRgb contactColor = qRgb(192, 0, 192);
// Classic Windows: COLOR_WINDOW and COLOR_CAPTIONTEXT are both white.
constexpr QRgb windowColor = qRgb(255, 255, 255);
constexpr QRgb captionTextColor = qRgb(255, 255, 255);
constexpr QRgb windowTextColor = qRgb(0, 0, 0);

// Not constexpr: GCC's sanitizer builds refuse QStringView's null check on a named array at
// compile time, so the table is built once, before main.
// clang-format off
const std::array<ControlDescription, 27> table{{
    // name, index, kind, container, text, left, top, width, height, tab, bold, fore, back
    {u"Command4", -1, Kind::CommandButton, {}, u"交流论坛", 4440, 5760, 1695, 375, 26},
    {u"Text5", -1, Kind::TextBox, {}, config::contactLine, 1680, 5760, 2415, 375, 25, true, contactColor},
    {u"Text4", -1, Kind::TextBox, {}, u"1", 2640, 5280, 495, 270, 22},
    {u"Command3", 1, Kind::CommandButton, {}, u"退出(&X)", 7080, 5280, 855, 255, 21},
    {u"Command3", 0, Kind::CommandButton, {}, u"关于(&A)", 6120, 5280, 855, 255, 20},
    {u"Command2", 2, Kind::CommandButton, {}, u"从剪贴板粘贴(&V)", 120, 5160, 1575, 375, 19},
    {u"Command2", 1, Kind::CommandButton, {}, u"复制到剪贴板(&C)", 4200, 5280, 1695, 255, 18},
    {u"Command2", 0, Kind::CommandButton, {}, u"转换(&T)", 3240, 5280, 855, 255, 17},
    {u"Text3", -1, Kind::MultiLineTextBox, {}, u"", 3120, 3960, 4815, 1215, 16},
    {u"Combo1", -1, Kind::ComboBox, {}, u"UBB(论坛)", 6600, 3480, 1455, 300, 15},
    {u"Text2", 2, Kind::TextBox, {}, u"[/color]", 5640, 3480, 855, 270, 13},
    {u"Text2", 1, Kind::TextBox, {}, u"]", 4800, 3480, 375, 270, 11},
    {u"Text2", 0, Kind::TextBox, {}, u"[color=#", 3120, 3480, 1095, 270, 9},
    {u"Command1", 1, Kind::CommandButton, {}, u"结束颜色(&E)", 6840, 3120, 1215, 255, 7},
    {u"Command1", 0, Kind::CommandButton, {}, u"起始颜色(&B)", 6840, 2760, 1215, 255, 6},
    {u"Picture2", -1, Kind::GradientPicture, {}, u"", 3480, 2880, 3255, 375, 5, false, windowTextColor, windowColor},
    {u"Frame2", -1, Kind::Frame, {}, u"输入待转换文本", 120, 2760, 2415, 2415, 2},
    {u"Text1", -1, Kind::MultiLineTextBox, u"Frame2", u"", 120, 240, 2175, 2055, 3},
    {u"Frame1", -1, Kind::Frame, {}, u"效果预览(不显示回车)", 120, 120, 7815, 2535, 0},
    {u"Picture1", -1, Kind::PreviewPicture, u"Frame1", u"", 120, 240, 7575, 2175, 1, false, {}, captionTextColor},
    {u"WebBrowser1", -1, Kind::WebBrowser, {}, u"", 240, 5760, 735, 495, 24},
    {u"Label1", 5, Kind::Label, {}, u"字体距度", 1800, 5280, 720, 225, 23},
    {u"Label1", 4, Kind::Label, {}, u"代码:", 2640, 3840, 450, 180, 14},
    {u"Label1", 3, Kind::Label, {}, u"文字", 5180, 3525, 390, 180, 12, true, magenta},
    {u"Label1", 2, Kind::Label, {}, u"FF00FF", 4220, 3525, 540, 180, 10},
    {u"Label1", 1, Kind::Label, {}, u"格式:", 2640, 3480, 450, 180, 8},
    {u"Label1", 0, Kind::Label, {}, u"渐色预览:", 2640, 3000, 810, 180, 4},
}};
// clang-format on

} // namespace

std::span<const ControlDescription> controlTable()
{
    return table;
}

QString controlName(const ControlDescription& control)
{
    if (control.index < 0)
        return control.name.toString();
    return control.name.toString() + u'(' + QString::number(control.index) + u')';
}

} // namespace prismel
