#include "window/form/controltable.h"

#include "window/config.h"

#include <QtGlobal>

#include <array>

namespace prismel {

namespace {

using C = FormControls;

constexpr Rgb magenta{255, 0, 255};
constexpr Rgb contactColor{192, 0, 192};
// Classic Windows: COLOR_WINDOW and COLOR_CAPTIONTEXT are both white.
constexpr Rgb windowColor{255, 255, 255};
constexpr Rgb captionTextColor{255, 255, 255};
constexpr Rgb windowTextColor{0, 0, 0};

// A caption in QT_TRANSLATE_NOOP is the window's to translate; other text is shown as written.
// Not constexpr: GCC's sanitizer builds refuse QStringView's null check on a named array at
// compile time, so the table is built once, before main.
// clang-format off
const std::array<ControlDescription, 27> table{{
    // name, index, slot, container, text, left, top, width, height, tab, bold, fore, back
    {u"Command4", -1, &C::command4, {}, QT_TRANSLATE_NOOP("prismel::Form1", "交流论坛"), 4440, 5760, 1695, 375, 26},
    {u"Text5", -1, &C::text5, {}, config::contactLine, 1680, 5760, 2415, 375, 25, true, contactColor},
    {u"Text4", -1, &C::text4, {}, u"1", 2640, 5280, 495, 270, 22},
    {u"Command3", 1, &C::command3, {}, QT_TRANSLATE_NOOP("prismel::Form1", "退出(&X)"), 7080, 5280, 855, 255, 21},
    {u"Command3", 0, &C::command3, {}, QT_TRANSLATE_NOOP("prismel::Form1", "关于(&A)"), 6120, 5280, 855, 255, 20},
    {u"Command2", 2, &C::command2, {}, QT_TRANSLATE_NOOP("prismel::Form1", "从剪贴板粘贴(&V)"), 120, 5160, 1575, 375, 19},
    {u"Command2", 1, &C::command2, {}, QT_TRANSLATE_NOOP("prismel::Form1", "复制到剪贴板(&C)"), 4200, 5280, 1695, 255, 18},
    {u"Command2", 0, &C::command2, {}, QT_TRANSLATE_NOOP("prismel::Form1", "转换(&T)"), 3240, 5280, 855, 255, 17},
    {u"Text3", -1, &C::text3, {}, u"", 3120, 3960, 4815, 1215, 16},
    {u"Combo1", -1, &C::combo1, {}, QT_TRANSLATE_NOOP("prismel::Form1", "UBB(论坛)"), 6600, 3480, 1455, 300, 15},
    {u"Text2", 2, &C::text2, {}, u"[/color]", 5640, 3480, 855, 270, 13},
    {u"Text2", 1, &C::text2, {}, u"]", 4800, 3480, 375, 270, 11},
    {u"Text2", 0, &C::text2, {}, u"[color=#", 3120, 3480, 1095, 270, 9},
    {u"Command1", 1, &C::command1, {}, QT_TRANSLATE_NOOP("prismel::Form1", "结束颜色(&E)"), 6840, 3120, 1215, 255, 7},
    {u"Command1", 0, &C::command1, {}, QT_TRANSLATE_NOOP("prismel::Form1", "起始颜色(&B)"), 6840, 2760, 1215, 255, 6},
    {u"Picture2", -1, &C::picture2, {}, u"", 3480, 2880, 3255, 375, 5, false, windowTextColor, windowColor},
    {u"Frame2", -1, &C::frame2, {}, QT_TRANSLATE_NOOP("prismel::Form1", "输入待转换文本"), 120, 2760, 2415, 2415, 2},
    {u"Text1", -1, &C::text1, &C::frame2, u"", 120, 240, 2175, 2055, 3},
    {u"Frame1", -1, &C::frame1, {}, QT_TRANSLATE_NOOP("prismel::Form1", "效果预览(不显示回车)"), 120, 120, 7815, 2535, 0},
    {u"Picture1", -1, &C::picture1, &C::frame1, u"", 120, 240, 7575, 2175, 1, false, {}, captionTextColor},
    {u"WebBrowser1", -1, &C::webBrowser1, {}, u"", 240, 5760, 735, 495, 24},
    {u"Label1", 5, &C::label1, {}, QT_TRANSLATE_NOOP("prismel::Form1", "字体距度"), 1800, 5280, 720, 225, 23},
    {u"Label1", 4, &C::label1, {}, QT_TRANSLATE_NOOP("prismel::Form1", "代码:"), 2640, 3840, 450, 180, 14},
    {u"Label1", 3, &C::label1, {}, QT_TRANSLATE_NOOP("prismel::Form1", "文字"), 5180, 3525, 390, 180, 12, true, magenta},
    {u"Label1", 2, &C::label1, {}, u"FF00FF", 4220, 3525, 540, 180, 10},
    {u"Label1", 1, &C::label1, {}, QT_TRANSLATE_NOOP("prismel::Form1", "格式:"), 2640, 3480, 450, 180, 8},
    {u"Label1", 0, &C::label1, {}, QT_TRANSLATE_NOOP("prismel::Form1", "渐色预览:"), 2640, 3000, 810, 180, 4},
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
