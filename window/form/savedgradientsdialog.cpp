#include "window/form/savedgradientsdialog.h"

#include "window/adapters/qtstring.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QSortFilterProxyModel>
#include <QStringListModel>
#include <QVBoxLayout>

namespace prismel {

namespace {

// The filter line hands the keys that move in a list to the list, so that typing a few letters
// and going down to the name wanted needs no Tab.
class FilterLine : public QLineEdit {
public:
    FilterLine(QListView* list, QWidget* parent) : QLineEdit(parent), m_list(list) {}

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        switch (event->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            QApplication::sendEvent(m_list, event);
            return;
        default:
            QLineEdit::keyPressEvent(event);
        }
    }

private:
    QListView* m_list;
};

} // namespace

SavedGradientsDialog::SavedGradientsDialog(const std::vector<NamedGradient>& gradients,
                                           QWidget* parent)
    : QDialog(parent), m_gradients(gradients), m_list(new QListView(this)),
      m_filter(new FilterLine(m_list, this)), m_shown(new QSortFilterProxyModel(this))
{
    setWindowTitle(tr("已保存的渐变"));
    QStringList names;
    names.reserve(static_cast<qsizetype>(gradients.size()));
    for (const NamedGradient& named : gradients)
        names.append(toQString(named.name));
    // The row of a name in the source model is its place in `gradients`.
    m_shown->setSourceModel(new QStringListModel(names, m_shown));
    m_shown->setFilterCaseSensitivity(Qt::CaseInsensitive);
    m_list->setModel(m_shown);
    m_list->setUniformItemSizes(true);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_filter->setClearButtonEnabled(true);
    // Typing goes to the filter first, though the list comes first in the order of creation.
    m_filter->setFocus(Qt::OtherFocusReason);

    auto* label = new QLabel(tr("筛选(&F)："), this);
    label->setBuddy(m_filter);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_filter);
    layout->addWidget(m_list);
    layout->addWidget(buttons);

    connect(m_filter, &QLineEdit::textChanged, m_shown,
            &QSortFilterProxyModel::setFilterFixedString);
    connect(m_list, &QListView::activated, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    resize(sizeHint().width(), sizeHint().height() * 3 / 2);
}

std::optional<Gradient> SavedGradientsDialog::chosen() const
{
    QModelIndex shown = m_list->currentIndex();
    if (!shown.isValid())
        shown = m_shown->index(0, 0);
    if (!shown.isValid())
        return std::nullopt;
    return m_gradients.at(static_cast<std::size_t>(m_shown->mapToSource(shown).row())).gradient;
}

} // namespace prismel
