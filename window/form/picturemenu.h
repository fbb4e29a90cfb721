#pragma once

#include "window/form/textpicture.h"
#include "window/platform.h"

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>

#include <chrono>
#include <functional>
#include <memory>

class QAction;
class QMenu;
class QProgressDialog;
class QTimer;
class QWidget;

namespace prismel {

// The preview's context menu: the coloured text as a picture, for the many places that take no
// colour markup. Copy puts a PNG on the clipboard; save writes a PNG or an SVG whole or not at
// all. The picture of a few words is made inside the click; any other on a worker thread, waited
// for a moment inside the click and then left to run while the window goes on, with a progress
// dialog after half a second whose Cancel drops it. The menu asks for the request at the moment a
// command runs.
class PictureMenu : public QObject {
    Q_OBJECT
public:
    PictureMenu(QWidget& window, const Platform& platform, std::function<PictureRequest()> request,
                QObject* parent);
    // Stops a picture still being made and waits for its worker.
    ~PictureMenu() override;

    QMenu* menu() const { return m_menu; }
    void popup(QPoint globalPos);

    void copyAsPicture();
    void saveAsPicture();

    bool isMaking() const { return m_job != nullptr; }
    // Drops the picture being made, if any; its worker ends on its own a moment later.
    void cancel();
    // True once no worker is left, within `timeout`.
    bool waitForWorker(std::chrono::milliseconds timeout);
    // Text longer than `units` code units is drawn on a worker; tests and benchmarks change it.
    void setInlineUnits(qsizetype units) { m_inlineUnits = units; }

private:
    struct Job;
    using Done = std::function<void(TextPicture&)>;

    void make(PictureFormat format, Done done);
    void finish(const std::shared_ptr<Job>& job);
    void showDialog();
    void end();
    void tellIfCut(const TextPicture& picture, const QString& title);

    QWidget& m_window;
    Platform m_platform;
    std::function<PictureRequest()> m_request;
    QMenu* m_menu;
    QAction* m_copy;
    QAction* m_save;
    QTimer* m_dialogTimer;
    QPointer<QProgressDialog> m_dialog;
    qsizetype m_inlineUnits;
    std::shared_ptr<Job> m_job;
    Done m_done;
    QString m_lastPath;
};

} // namespace prismel
