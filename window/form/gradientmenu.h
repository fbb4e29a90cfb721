#pragma once

#include "window/adapters/savedgradients.h"
#include "window/form/gradienteditor.h"
#include "window/platform.h"

#include <QObject>
#include <QPoint>
#include <QString>

#include <functional>

class QAction;
class QActionGroup;
class QMenu;
class QWidget;

namespace prismel {

class BarStops;

// The gradient bar's context menu: the rainbow, the editor, reverse, per line, the colour space
// and hue method, the named gradients (built in, then the first hundred of the user's saved ones
// and "更多…" for the list of all), saving the current gradient under a name, and back to two
// colours. Every choice redraws the bar at once; the code and the preview take it at the next
// Convert, as the colour buttons' colours do.
class GradientMenu : public QObject {
    Q_OBJECT
public:
    // `sample` gives the text the editor colours; `window` owns the menu and the dialogs.
    GradientMenu(BarStops& stops, const Platform& platform, std::function<QString()> sample,
                 QWidget* window);

    GradientChoice choice() const;
    // Sets the gradient and the per-line setting, redrawing the bar.
    void setChoice(const GradientChoice& choice);

    QMenu* menu() const { return m_menu; }
    void popup(const QPoint& globalPos);

private:
    void updateChecks();
    void fillPresets();
    void chooseSaved();
    void setGradient(Gradient gradient);
    void edit();
    void save();

    BarStops& m_stops;
    Platform m_platform;
    std::function<QString()> m_sample;
    QWidget* m_window;
    QMenu* m_menu;
    QMenu* m_presets;
    QMenu* m_hueMenu;
    QAction* m_perLine;
    QActionGroup* m_spaces;
    QActionGroup* m_hues;
    QString m_lastName;
    SavedGradients m_saved;
};

} // namespace prismel
