#pragma once

#include "core/gradient.h"

#include <QObject>
#include <QPoint>

#include <cstdint>
#include <vector>

namespace prismel {

class ColorDialog;
class GradientBarWidget;

// A gradient edited on its bar with the mouse, as desktop gradient editors do it: a double click
// adds a stop there (its colour from the colour dialog; Cancel adds nothing), a middle stop's
// marker can be dragged between its neighbours, to 0.01 %, and a right click on the marker
// offers "更改颜色(&C)…" and "删除色标(&D)". The first and last stops have no marker; the colour
// buttons set them. With two stops nothing covers the bar. A right click on the bar away from a
// marker is left to the bar's owner (GradientBarWidget::barMenuRequested).
//
// Once the user has changed a place, every stop's place is written out (hundredths of a percent),
// so that the stops keep where they show.
class BarStops : public QObject {
    Q_OBJECT
public:
    // Draws `gradient` on `bar` at once. The dialog must outlive this object.
    BarStops(GradientBarWidget& bar, ColorDialog& dialog, Gradient gradient, QObject* parent);

    const Gradient& gradient() const { return m_gradient; }
    // Replaces the gradient and redraws the bar and its markers; announces nothing.
    void setGradient(Gradient gradient);

    GradientBarWidget& bar() const { return m_bar; }

Q_SIGNALS:
    // After every change the user makes on the bar, once it is drawn.
    void changed();

private:
    void addStop(int place);
    void moveStop(std::size_t index, int place);
    void offerStopMenu(std::size_t index, QPoint globalPos);
    void redraw();
    // Every stop's place as the bar shows it, in hundredths of a percent.

    GradientBarWidget& m_bar;
    ColorDialog& m_dialog;
    Gradient m_gradient;
};

} // namespace prismel
