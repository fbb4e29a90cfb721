#include "window/form/gradienteditor.h"

#include "core/richtext.h"
#include "preview/colorpick.h"
#include "preview/gradientbar.h"
#include "window/adapters/qtcolor.h"
#include "window/adapters/qtstring.h"
#include "window/form/fonts.h"
#include "window/form/mixingitems.h"
#include "window/widgets/barstops.h"
#include "window/widgets/gradientbarwidget.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QTextBoundaryFinder>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

namespace prismel {

namespace {

enum Column { swatchColumn, codeColumn, placeColumn, columnCount };

constexpr int barHeight = 40;    // pixels; the window's bar is half as tall
constexpr int sampleLength = 40; // graphemes of the sample line

QString codeText(Rgb color)
{
    return QLatin1Char('#') + toQString(hexCode(color));
}

// The first line of `text`, cut after `sampleLength` graphemes so that no character is split.
QString firstLine(const QString& text)
{
    qsizetype end = 0;
    while (end < text.size() && text[end] != QLatin1Char('\n') && text[end] != QLatin1Char('\r'))
        ++end;
    const QString line = text.left(end);
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, line);
    qsizetype cut = 0;
    for (int count = 0; count < sampleLength && cut < line.size(); ++count)
        cut = graphemes.toNextBoundary();
    return line.left(cut);
}

QTableWidgetItem* itemAt(QTableWidget& table, int row, int column)
{
    if (QTableWidgetItem* item = table.item(row, column))
        return item;
    auto* item = new QTableWidgetItem;
    if (column == swatchColumn)
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    if (column == placeColumn)
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    table.setItem(row, column, item);
    return item;
}

} // namespace

GradientEditor::GradientEditor(GradientChoice start, const QString& sample, ColorDialog& dialog,
                               QWidget* parent)
    : QDialog(parent), m_choice(std::move(start)), m_dialog(dialog)
{
    QString line = firstLine(sample);
    if (line.trimmed().isEmpty())
        line = tr("彩虹字 Rainbow");
    m_sampleText = view(line);

    setObjectName(QStringLiteral("gradientEditor"));
    setWindowTitle(tr("编辑渐变"));
    setModal(true);
    setFont(windowFont());
    createControls();
    connectControls();
    showChoice(false);
    m_stops->setCurrentCell(0, codeColumn);
    m_stops->setFocus(Qt::OtherFocusReason);
}

void GradientEditor::createControls()
{
    auto* bar = new GradientBarWidget(this);
    bar->setObjectName(QStringLiteral("bar"));
    bar->setMinimumWidth(256 + 2 * bar->frameWidth());
    bar->setFixedHeight(barHeight);
    setGradientBarScale(*bar);
    m_barStops = new BarStops(*bar, m_dialog, m_choice.gradient, this);

    m_stops = new QTableWidget(0, columnCount, this);
    m_stops->setObjectName(QStringLiteral("stops"));
    m_stops->setHorizontalHeaderLabels({tr("颜色"), tr("代码"), tr("位置")});
    m_stops->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_stops->setSelectionMode(QAbstractItemView::SingleSelection);
    m_stops->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                             QAbstractItemView::AnyKeyPressed);
    // Tab moves on to the next control, as everywhere else in the dialog; arrows move in the list.
    m_stops->setTabKeyNavigation(false);
    m_stops->horizontalHeader()->setSectionResizeMode(swatchColumn, QHeaderView::ResizeToContents);
    m_stops->horizontalHeader()->setSectionResizeMode(codeColumn, QHeaderView::Stretch);
    m_stops->horizontalHeader()->setSectionResizeMode(placeColumn, QHeaderView::Stretch);
    m_stops->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    auto* stopsLabel = new QLabel(tr("色标(&S)："), this);
    stopsLabel->setBuddy(m_stops);

    // O and C are left free: GNOME's theme gives OK and Cancel 确定(&O) and 取消(&C).
    m_add = new QPushButton(tr("添加(&A)"), this);
    m_add->setObjectName(QStringLiteral("addStop"));
    m_remove = new QPushButton(tr("删除(&D)"), this);
    m_remove->setObjectName(QStringLiteral("removeStop"));
    m_color = new QPushButton(tr("更改颜色(&E)…"), this);
    m_color->setObjectName(QStringLiteral("changeColor"));
    m_reverse = new QPushButton(tr("反转(&R)"), this);
    m_reverse->setObjectName(QStringLiteral("reverse"));

    m_space = new QComboBox(this);
    m_space->setObjectName(QStringLiteral("space"));
    for (const MixingItem& item : mixingItems(colorSpaceKeywords(), AccessKey::Left))
        m_space->addItem(item.caption, item.value);
    m_hue = new QComboBox(this);
    m_hue->setObjectName(QStringLiteral("hue"));
    for (const MixingItem& item : mixingItems(hueMethodKeywords(), AccessKey::Left))
        m_hue->addItem(item.caption, item.value);
    m_perLine = new QCheckBox(tr("每行重新开始(&L)"), this);
    m_perLine->setObjectName(QStringLiteral("perLine"));

    m_sample = new QLabel(this);
    m_sample->setObjectName(QStringLiteral("sample"));
    m_sample->setTextFormat(Qt::RichText);
    QFont sampleFont = font();
    sampleFont.setPixelSize(18);
    m_sample->setFont(sampleFont);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* stopButtons = new QVBoxLayout;
    stopButtons->addWidget(m_add);
    stopButtons->addWidget(m_remove);
    stopButtons->addWidget(m_color);
    stopButtons->addStretch();
    stopButtons->addWidget(m_reverse);
    auto* stopsRow = new QHBoxLayout;
    stopsRow->addWidget(m_stops, 1);
    stopsRow->addLayout(stopButtons);

    auto* mixing = new QFormLayout;
    mixing->addRow(tr("色彩空间(&P)："), m_space);
    mixing->addRow(tr("色相方向(&H)："), m_hue);
    mixing->addRow(m_perLine);
    mixing->addRow(tr("示例："), m_sample);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(bar);
    layout->addWidget(stopsLabel);
    layout->addLayout(stopsRow, 1);
    layout->addLayout(mixing);
    layout->addWidget(buttons);
}

void GradientEditor::connectControls()
{
    connect(m_barStops, &BarStops::changed, this,
            [this] { setGradient(m_barStops->gradient(), true); });
    connect(m_stops, &QTableWidget::itemChanged, this, &GradientEditor::stopEdited);
    connect(m_stops, &QTableWidget::cellDoubleClicked, this, [this](int, int column) {
        if (column == swatchColumn)
            changeColor();
    });
    connect(m_add, &QPushButton::clicked, this, &GradientEditor::addStop);
    connect(m_remove, &QPushButton::clicked, this, &GradientEditor::removeStop);
    // Delete in the list removes the current stop, as in a file list; while a cell is being
    // edited its editor has the focus and takes the key itself.
    auto* deleteKey =
        new QShortcut(QKeySequence::Delete, m_stops, nullptr, nullptr, Qt::WidgetShortcut);
    connect(deleteKey, &QShortcut::activated, this, &GradientEditor::removeStop);
    connect(m_color, &QPushButton::clicked, this, &GradientEditor::changeColor);
    connect(m_reverse, &QPushButton::clicked, this, [this] {
        const int row = currentStop();
        setGradient(reversed(m_choice.gradient));
        if (row >= 0)
            m_stops->setCurrentCell(m_stops->rowCount() - 1 - row, m_stops->currentColumn());
    });
    connect(m_space, &QComboBox::currentIndexChanged, this, [this](int index) {
        Gradient gradient = m_choice.gradient;
        gradient.space = static_cast<ColorSpace>(m_space->itemData(index).toInt());
        setGradient(std::move(gradient));
    });
    connect(m_hue, &QComboBox::currentIndexChanged, this, [this](int index) {
        Gradient gradient = m_choice.gradient;
        gradient.hue = static_cast<HueMethod>(m_hue->itemData(index).toInt());
        setGradient(std::move(gradient));
    });
    connect(m_perLine, &QCheckBox::toggled, this, [this](bool on) {
        m_choice.perLine = on;
        showChoice(false);
    });
}

void GradientEditor::setGradient(Gradient gradient, bool fromBar)
{
    m_choice.gradient = std::move(gradient);
    showChoice(!fromBar);
}

void GradientEditor::showChoice(bool redrawBar)
{
    if (redrawBar)
        m_barStops->setGradient(m_choice.gradient);
    fillStops();
    {
        const QSignalBlocker spaceBlocker(m_space);
        const QSignalBlocker hueBlocker(m_hue);
        const QSignalBlocker perLineBlocker(m_perLine);
        m_space->setCurrentIndex(m_space->findData(static_cast<int>(m_choice.gradient.space)));
        m_hue->setCurrentIndex(m_hue->findData(static_cast<int>(m_choice.gradient.hue)));
        m_perLine->setChecked(m_choice.perLine);
    }
    m_hue->setEnabled(takesHueMethod(m_choice.gradient.space));
    ConvertRequest sample;
    sample.gradient = m_choice.gradient;
    sample.options.perLine = m_choice.perLine;
    m_sample->setText(toQString(richTextFragment(m_sampleText, sample)));
}

void GradientEditor::fillStops()
{
    const QSignalBlocker blocker(m_stops);
    const std::vector<GradientStop>& stops = m_choice.gradient.stops;
    const std::vector<std::int32_t> places = shownPlaces(m_choice.gradient);
    m_stops->setRowCount(static_cast<int>(stops.size()));
    for (int row = 0; row < m_stops->rowCount(); ++row) {
        const auto at = static_cast<std::size_t>(row);
        itemAt(*m_stops, row, swatchColumn)->setData(Qt::DecorationRole, toQColor(stops[at].color));
        itemAt(*m_stops, row, codeColumn)->setText(codeText(stops[at].color));
        itemAt(*m_stops, row, placeColumn)
            ->setText(toQString(placeText(places[at], PlaceForm::TwoDecimals)));
    }
    m_add->setEnabled(stops.size() < Gradient::maxStops);
    m_remove->setEnabled(stops.size() > Gradient::minStops);
}

void GradientEditor::stopEdited(QTableWidgetItem* item)
{
    const auto at = static_cast<std::size_t>(item->row());
    Gradient gradient = m_choice.gradient;
    if (item->column() == codeColumn) {
        if (const auto color = parseColor(view(item->text().trimmed())))
            gradient.stops[at].color = *color;
    } else if (item->column() == placeColumn) {
        const QString typed = item->text();
        if (const auto place = parsePlace(view(typed), PlaceInput::Typed).value) {
            gradient = withPlacesWritten(std::move(gradient));
            const auto& stops = gradient.stops;
            const std::int32_t low = at > 0 ? *stops[at - 1].position : 0;
            const std::int32_t high =
                at + 1 < stops.size() ? *stops[at + 1].position : Gradient::wholeWay;
            gradient.stops[at].position = std::clamp(*place, low, high);
        }
    }
    // Refused text is replaced by what the stop still holds.
    setGradient(std::move(gradient));
}

void GradientEditor::addStop()
{
    const Gradient& old = m_choice.gradient;
    if (old.stops.size() >= Gradient::maxStops)
        return;
    Gradient gradient = withPlacesWritten(old);
    // Between the current stop and the next; after the last one, before it.
    const auto before = static_cast<std::size_t>(
        std::clamp(currentStop(), 0, static_cast<int>(gradient.stops.size()) - 2));
    const std::int32_t place =
        (*gradient.stops[before].position + *gradient.stops[before + 1].position) / 2;
    gradient.stops.insert(gradient.stops.begin() + static_cast<std::ptrdiff_t>(before) + 1,
                          {colorAt(old, place, Gradient::wholeWay), place});
    setGradient(std::move(gradient));
    m_stops->setCurrentCell(static_cast<int>(before) + 1, codeColumn);
}

void GradientEditor::removeStop()
{
    const int row = currentStop();
    if (row < 0 || m_choice.gradient.stops.size() <= Gradient::minStops)
        return;
    Gradient gradient = withPlacesWritten(m_choice.gradient);
    gradient.stops.erase(gradient.stops.begin() + row);
    setGradient(std::move(gradient));
    m_stops->setCurrentCell(std::min(row, m_stops->rowCount() - 1), codeColumn);
}

void GradientEditor::changeColor()
{
    const int row = currentStop();
    if (row < 0)
        return;
    const std::optional<Rgb> chosen = m_dialog.chooseColor();
    if (!chosen)
        return;
    Gradient gradient = m_choice.gradient;
    gradient.stops[static_cast<std::size_t>(row)].color = *chosen;
    setGradient(std::move(gradient));
}

int GradientEditor::currentStop() const
{
    return m_stops->currentRow();
}

} // namespace prismel
