#include "window/adapters/browserpane.h"

#include "window/platform.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

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

QString BrowserPane::linkText()
{
    return tr("论坛");
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

    QFont font = this->font();
    font.setUnderline(true);
    painter.setFont(font);
    painter.setPen(palette().color(QPalette::Link));
    painter.drawText(rect().adjusted(margin, margin, -margin, -margin), Qt::AlignCenter,
                     linkText());
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
