#pragma once

#include <QUrl>
#include <QWidget>

class QWebEngineView;

namespace prismel {

class UrlOpener;

// WebBrowser1: a small pane told once at start-up which page to show. The default build keeps it
// light: the pane shows a short link, "论坛" (forum), with the page's address as its tooltip, and
// opens the page in the user's browser when clicked. Built with PRISMEL_WEBENGINE, it embeds the
// page itself; a page that fails to load shows its error in the pane and nowhere else.
class BrowserPane : public QWidget {
    Q_OBJECT

public:
    explicit BrowserPane(UrlOpener& opener, QWidget* parent = nullptr);

    void navigate(const QUrl& url);
    QUrl url() const { return m_url; }

    // The link the light pane draws once it has a page. An address does not fit 49 by 33 pixels.
    static QString linkText();

    QSize sizeHint() const override;

protected:
#ifndef PRISMEL_WITH_WEBENGINE
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
#endif

private:
    void openInBrowser();

    UrlOpener& m_opener;
    QUrl m_url;
#ifdef PRISMEL_WITH_WEBENGINE
    QWebEngineView* m_view = nullptr;
#endif
};

} // namespace prismel
