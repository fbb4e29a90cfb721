#include "window/browserpane.h"

#include "window/platform.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>

#ifdef PRISMEL_WITH_WEBENGINE
#include <QVBoxLayout>
#include <QWebEngineView>
#endif

namespace prismel {

namespace {

constexpr int paneWidth = 49;
constexpr int paneHeight = 33;
constexpr int margin = 2;

} // namespace

BrowserPane::BrowserPane(UrlOpener& opener, QWidget* parent) : QWidget(parent), m_opener(opener)
{
#ifdef PRISMEL_WITH_WEBENGINE
    m_view = new QWebEngineView(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
#else
    setCursor(Qt::PointingHandCursor);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
#endif
}

QSize BrowserPane::sizeHint() const
{
    return {paneWidth, paneHeight};
}

QString BrowserPane::displayText(const QUrl& url)
{
    QString text = url.toDisplayString(QUrl::RemoveScheme | QUrl::StripTrailingSlash);
    if (text.startsWith(QLatin1String("//"))) {
        text.remove(0, 2);
    }
    // Qt keeps a root path's slash; it says nothing in a pane this small.
    if (text.endsWith(QLatin1Char('/'))) {
        text.chop(1);
    }
    return text;
}

void BrowserPane::navigate(const QUrl& url)
{
    m_url = url;
    setToolTip(url.toDisplayString());
    setAccessibleName(url.toDisplayString());
#ifdef PRISMEL_WITH_WEBENGINE
    // The view shows its own error page when the page cannot be loaded.
    m_view->load(url);
#else
    update();
#endif
}

void BrowserPane::openInBrowser()
{
    if (m_url.isValid()) {
        m_opener.open(m_url);
    }
}

#ifndef PRISMEL_WITH_WEBENGINE

void BrowserPane::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    if (m_url.isEmpty()) {
        return;
    }

    // Break the address anywhere over as many lines as fit, and elide the last of them.
    QFont font = this->font();
    font.setUnderline(true);
    painter.setFont(font);
    painter.setPen(palette().color(QPalette::Link));
    const QFontMetrics metrics(font);
    const QRect area = rect().adjusted(margin, margin, -margin, -margin);
    const int lineCount = std::max(1, area.height() / metrics.lineSpacing());
    const QString text = displayText(m_url);

    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(area.width());
        if (lines.size() + 1 == lineCount) {
            lines.append(
                metrics.elidedText(text.mid(line.textStart()), Qt::ElideRight, area.width()));
            break;
        }
        lines.append(text.mid(line.textStart(), line.textLength()));
    }
    layout.endLayout();

    int y =
        area.top() + (area.height() - static_cast<int>(lines.size()) * metrics.lineSpacing()) / 2;
    for (const QString& line : std::as_const(lines)) {
        painter.drawText(QPoint(area.left(), y + metrics.ascent()), line);
        y += metrics.lineSpacing();
    }
}

void BrowserPane::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        openInBrowser();
    }
}

void BrowserPane::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        openInBrowser();
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

#endif

} // namespace prismel
