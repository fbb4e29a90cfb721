#include "window/widgets/barstops.h"

#include "preview/gradientbar.h"
#include "window/widgets/gradientbarwidget.h"

namespace prismel {

BarStops::BarStops(GradientBarWidget& bar, ColorDialog& dialog, Gradient gradient, QObject* parent)
    : QObject(parent), m_bar(bar), m_dialog(dialog), m_gradient(std::move(gradient))
{
    redraw();
}

void BarStops::setGradient(Gradient gradient)
{
    m_gradient = std::move(gradient);
    redraw();
}

void BarStops::redraw()
{
    DrawGradientBar(m_bar, m_gradient);
}

} // namespace prismel
