#include "window/form/gradienteditor.h"

namespace prismel {

GradientEditor::GradientEditor(const GradientChoice& start, const QString& sample,
                               ColorDialog& dialog, QWidget* parent)
    : QDialog(parent), m_choice(start)
{
    Q_UNUSED(sample);
    Q_UNUSED(dialog);
}

} // namespace prismel
