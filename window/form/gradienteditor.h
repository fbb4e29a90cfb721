#pragma once

#include "core/gradient.h"

#include <QDialog>
#include <QString>

namespace prismel {

class ColorDialog;

// What the window colours text with: the gradient and whether it starts again on every line.
struct GradientChoice {
    Gradient gradient;
    bool perLine = false;

    friend bool operator==(const GradientChoice&, const GradientChoice&) = default;
};

// "编辑渐变": a modal dialog for every part of a GradientChoice, usable from the keyboard alone.
// It shows the gradient on a large bar whose stops are edited as on the window's bar, the list of
// stops (colour swatch, hex code, place, each editable), the colour space and hue method, reverse
// and per line, and a line of sample text coloured with the gradient as it changes.
class GradientEditor : public QDialog {
    Q_OBJECT
public:
    // `sample` is the text coloured live; the dialog must outlive this one.
    GradientEditor(const GradientChoice& start, const QString& sample, ColorDialog& dialog,
                   QWidget* parent);

    // What OK would apply.
    const GradientChoice& choice() const { return m_choice; }

private:
    GradientChoice m_choice;
};

} // namespace prismel
