#pragma once

// Form1 is the whole application: one window of 27 fixed controls. The controls come from the
// table in controltable.h, made and placed by one loop; the handlers below are the window's
// events, one per control array, told the member's index. The conversion itself lives in the
// core, the two pictures in preview/ (drawn through GradientBarWidget and PreviewWidget), and
// every service of the desktop (colour dialog, clipboard, message boxes, web addresses) comes in
// through Platform so that tests can hand in fakes.

#include "core/colorpair.h"
#include "window/platform.h"

#include <QWidget>

#include <array>
#include <memory>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace prismel {

class BrowserPane;
class GradientBarWidget;
class LongTextEdit;
class PreviewWidget;

class Form1 : public QWidget {
    Q_OBJECT
public:
    // Creates the controls, then runs the Load sequence: default colours, the bar's coordinate
    // system, the first bar, the browser pane's page. The window is not shown yet.
    explicit Form1(const Platform& platform, QWidget* parent = nullptr);
    ~Form1() override;

    // Shows the window centred on its screen.
    void showCentred();

    const ColorPair& colors() const { return m_colors; }

private:
    void createControls();
    void connectHandlers();
    void setTabOrder();
    void load();

    void buttonClick(QStringView name, int index);
    void combo1Click(int index);
    void command1Click(int index);
    void command2Click(int index);
    void command3Click(int index);
    void command4Click();

    void convert();
    void copyToClipboard();
    void pasteFromClipboard();
    void showAbout();

    template <typename T> T* control(const QString& objectName) const;

    Platform m_platform;
    std::unique_ptr<UrlOpener> m_noUrlOpener; // stands in when the platform has none
    ColorPair m_colors;

    LongTextEdit* m_text1 = nullptr;
    std::array<QLineEdit*, 3> m_text2{};
    LongTextEdit* m_text3 = nullptr;
    QLineEdit* m_text4 = nullptr;
    QComboBox* m_combo1 = nullptr;
    PreviewWidget* m_picture1 = nullptr;
    GradientBarWidget* m_picture2 = nullptr;
    BrowserPane* m_webBrowser1 = nullptr;
};

} // namespace prismel
