#pragma once

#include "core/gradient.h"

#include <QDialog>

#include <optional>
#include <vector>

class QLineEdit;
class QListView;
class QSortFilterProxyModel;

namespace prismel {

// "更多…" in the presets: all of the user's saved gradients in a list that a line of text
// filters, for when there are more than a menu can show. Tens of thousands of names cost a model
// of strings, not a widget each.
class SavedGradientsDialog : public QDialog {
    Q_OBJECT
public:
    // `gradients` must outlive the dialog.
    SavedGradientsDialog(const std::vector<NamedGradient>& gradients, QWidget* parent);

    // The gradient OK would apply: the one chosen in the list, else the first that shows.
    std::optional<Gradient> chosen() const;

private:
    const std::vector<NamedGradient>& m_gradients;
    QListView* m_list;
    QLineEdit* m_filter;
    QSortFilterProxyModel* m_shown;
};

} // namespace prismel
