#pragma once

// How the pieces meet. Form1 is the whole application: one window of 27 fixed controls. The
// table in controltable.cpp is the one description of them; each row names the FormControls
// member that keeps the control, and that member's type says what widget it is. One loop makes,
// places and keeps them, and connectHandlers() wires each control array to its handler through
// one QButtonGroup, whose ids are the members' indexes. The handlers call the conversion in core/
// and the two pictures in preview/, which draw on GradientBarWidget and PreviewWidget through
// small surface interfaces. The bar's stops are edited on it (BarStops) and its context menu
// (GradientMenu) chooses, edits and saves the gradient; the output box's context menu (CodeMenu)
// adds rich-text copy, merged tags and fit to a length; the preview's (PictureMenu) copies or
// saves the coloured text as a picture. What a Convert reads from the window is
// gathered in one place, request(), for Convert and the menus. Every desktop service (colour
// dialog, clipboard, message boxes, input and file dialogs, web addresses) comes in through
// Platform, owned by the program in app/ and by fakes in tests.
//
// A new button: add a row to the table (a new member of an existing array joins its group and
// reaches that array's handler with its index; a lone button gets a QPushButton member in
// FormControls and a connect in connectHandlers()), then the case in the handler.

#include "window/form/controltable.h"
#include "window/form/convertrequest.h"
#include "window/form/gradienteditor.h"
#include "window/platform.h"

#include <QWidget>

#include <utility>
#include <vector>

namespace prismel {

class BarStops;
class CodeMenu;
class ConvertRunner;
class GradientMenu;
class PictureMenu;

class Form1 : public QWidget {
    Q_OBJECT
public:
    // Creates the controls, then runs the Load sequence: default colours, the bar's coordinate
    // system, the first bar, the browser pane's page. The window is not shown yet. The platform's
    // services must outlive the window.
    explicit Form1(const Platform& platform, QWidget* parent = nullptr);
    ~Form1() override;

    // Shows the window centred on its screen.
    void showCentred();

    // Puts the text of the file at `path` into the input box, as a file dropped on it does; a
    // file that cannot be read gets a message naming it and why, and the box stays as it is.
    void openFile(const QString& path);

    // The gradient and per-line setting the next Convert takes.
    GradientChoice gradientChoice() const;

    // What a Convert started now would read.
    TextRequest request() const;

protected:
    // Closing the window while a long Convert or picture runs cancels it first.
    void closeEvent(QCloseEvent* event) override;

private:
    // The made controls with their places in the tab order.
    using TabStops = std::vector<std::pair<int, QWidget*>>;

    TabStops createControls();
    void connectHandlers();
    void setTabOrder(TabStops stops);
    void load();

    void combo1Click(int index);
    void command1Click(int index);
    void command2Click(int index);
    void command3Click(int index);
    void command4Click();

    void fieldsTyped();
    void showColorCode();

    void convert();
    void convertAtStep(int step);
    void startConvert(TextRequest asked);
    void copyToClipboard();
    void pasteFromClipboard();
    void showAbout();

    Platform m_platform;
    FormControls m_controls;
    BarStops* m_barStops = nullptr;
    GradientMenu* m_gradientMenu = nullptr;
    CodeMenu* m_codeMenu = nullptr;
    PictureMenu* m_pictureMenu = nullptr;
    ConvertRunner* m_converter;
    // The colour code, escaping and decoration codes of the format that last set the template
    // fields; at start-up prismel-convert's without --format.
    ConvertOptions m_format;
    bool m_fieldsTyped = false; // a typed template takes no decorations
};

} // namespace prismel
