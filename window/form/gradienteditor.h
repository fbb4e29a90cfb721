#pragma once

#include "core/gradient.h"

#include <QDialog>
#include <QString>

#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;

namespace prismel {

class BarStops;
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
    GradientEditor(GradientChoice start, const QString& sample, ColorDialog& dialog,
                   QWidget* parent);

    // What OK would apply.
    const GradientChoice& choice() const { return m_choice; }

private:
    void createControls();
    void connectControls();
    // Makes `gradient` the choice and shows it; the bar is redrawn unless it made the change.
    void setGradient(Gradient gradient, bool fromBar = false);
    void showChoice(bool redrawBar);
    void fillStops();
    void stopEdited(QTableWidgetItem* item);
    void addStop();
    void removeStop();
    void changeColor();
    int currentStop() const;

    GradientChoice m_choice;
    ColorDialog& m_dialog;
    std::u16string m_sampleText;
    BarStops* m_barStops = nullptr;
    QTableWidget* m_stops = nullptr;
    QPushButton* m_add = nullptr;
    QPushButton* m_remove = nullptr;
    QPushButton* m_color = nullptr;
    QPushButton* m_reverse = nullptr;
    QComboBox* m_space = nullptr;
    QComboBox* m_hue = nullptr;
    QCheckBox* m_perLine = nullptr;
    QLabel* m_sample = nullptr;
};

} // namespace prismel
