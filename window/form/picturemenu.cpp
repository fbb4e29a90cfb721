#include "window/form/picturemenu.h"

#include <QAction>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QProgressDialog>
#include <QSaveFile>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <atomic>

namespace prismel {

namespace {

// Below this many code units a picture takes a few tens of milliseconds at most: less than a
// thread is worth. A longer one is waited for inside the click for a moment, so that most
// pictures of a post are still made inside it.
constexpr qsizetype kInlineUnits = 256;
constexpr std::chrono::milliseconds kClickWait{50};
constexpr std::chrono::milliseconds kDialogDelay{500};

// Writes `bytes` to `path` whole, or leaves whatever was there as it was; gives why it could not,
// or an empty text when it wrote. QSaveFile takes a short write for a whole one and would put
// the short file in place, so the size written is checked before it does.
QString writeWhole(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    const bool whole =
        file.write(bytes) == bytes.size() && file.flush() && file.size() == bytes.size();
    if (!whole || file.error() != QFileDevice::NoError) {
        QString error = file.error() != QFileDevice::NoError
                            ? file.errorString()
                            : PictureMenu::tr("只写入了 %1 字节中的 %2 字节")
                                  .arg(bytes.size())
                                  .arg(file.size());
        file.cancelWriting();
        return error;
    }
    if (!file.commit())
        return file.errorString();
    return {};
}

} // namespace

struct PictureMenu::Job {
    PictureRequest request;
    PictureFormat format;
    std::atomic<bool> cancelled{false};
    TextPicture picture; // written by the worker, read once it has finished
};

PictureMenu::PictureMenu(QWidget& window, const Platform& platform,
                         std::function<PictureRequest()> request, QObject* parent)
    : QObject(parent), m_window(window), m_platform(platform), m_request(std::move(request)),
      m_menu(new QMenu(&window)), m_copy(new QAction(tr("复制为图片(&C)"), this)),
      m_save(new QAction(tr("保存为图片(&S)…"), this)), m_dialogTimer(new QTimer(this)),
      m_inlineUnits(kInlineUnits), m_lastPath(QDir::home().filePath(QStringLiteral("prismel.png")))
{
    m_menu->addAction(m_copy);
    m_menu->addAction(m_save);
    connect(m_copy, &QAction::triggered, this, &PictureMenu::copyAsPicture);
    connect(m_save, &QAction::triggered, this, &PictureMenu::saveAsPicture);
    m_dialogTimer->setSingleShot(true);
    connect(m_dialogTimer, &QTimer::timeout, this, &PictureMenu::showDialog);
}

PictureMenu::~PictureMenu()
{
    cancel();
    for (QThread* worker : findChildren<QThread*>(Qt::FindDirectChildrenOnly))
        worker->wait();
}

void PictureMenu::popup(QPoint globalPos)
{
    m_menu->popup(globalPos);
}

bool PictureMenu::waitForWorker(std::chrono::milliseconds timeout)
{
    const QDeadlineTimer deadline(timeout);
    const QList<QThread*> workers = findChildren<QThread*>(Qt::FindDirectChildrenOnly);
    return std::all_of(workers.begin(), workers.end(),
                       [&deadline](QThread* worker) { return worker->wait(deadline); });
}

void PictureMenu::copyAsPicture()
{
    make(PictureFormat::Png, [this](TextPicture& picture) {
        m_platform.clipboard.setImage(picture.image, picture.file);
        if (picture.cut)
            tellIfCut(picture, tr("复制为图片"));
        else
            m_platform.messageBoxes.inform(tr("成功"), tr("复制到剪贴板成功"));
    });
}

void PictureMenu::saveAsPicture()
{
    const QString title = tr("保存为图片");
    const auto path = m_platform.fileDialog.askSavePath(
        title, m_lastPath, {tr("PNG 图片 (*.png)"), tr("SVG 图片 (*.svg)")});
    if (!path)
        return;
    m_lastPath = *path;
    const bool svg = QFileInfo(*path).suffix().compare(u"svg", Qt::CaseInsensitive) == 0;
    make(svg ? PictureFormat::Svg : PictureFormat::Png,
         [this, title, target = *path](TextPicture& picture) {
             const QString error = writeWhole(target, picture.file);
             if (!error.isEmpty()) {
                 m_platform.messageBoxes.inform(
                     title, tr("无法写入“%1”：%2").arg(QDir::toNativeSeparators(target), error));
                 return;
             }
             tellIfCut(picture, title);
         });
}

void PictureMenu::tellIfCut(const TextPicture& picture, const QString& title)
{
    if (picture.cut)
        m_platform.messageBoxes.inform(
            title, tr("文字太长，图片只画下了前 %1 行，其后以“…”表示。").arg(picture.lines));
}

void PictureMenu::make(PictureFormat format, Done done)
{
    if (m_job)
        return;
    auto job = std::make_shared<Job>();
    job->request = m_request();
    job->format = format;
    if (job->request.convert.input.size() <= m_inlineUnits) {
        job->picture = makeTextPicture(job->request, format);
        done(job->picture);
        return;
    }
    m_job = job;
    m_done = std::move(done);
    m_copy->setEnabled(false);
    m_save->setEnabled(false);
    // The worker keeps the job alive while it runs; the window's thread reads the picture only
    // once the worker has finished, told by a queued signal.
    QThread* worker = QThread::create(
        [job] { job->picture = makeTextPicture(job->request, job->format, &job->cancelled); });
    worker->setParent(this);
    connect(worker, &QThread::finished, this, [this, job] { finish(job); });
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    worker->start();
    if (worker->wait(QDeadlineTimer(kClickWait))) {
        finish(job); // the queued news of the end finds the job gone
        return;
    }
    m_dialogTimer->start(kDialogDelay);
}

void PictureMenu::finish(const std::shared_ptr<Job>& job)
{
    if (job != m_job)
        return; // cancelled
    const Done done = std::move(m_done);
    end();
    if (!job->picture.cancelled)
        done(job->picture);
}

void PictureMenu::showDialog()
{
    if (!m_job)
        return;
    auto* dialog = new QProgressDialog(tr("正在生成图片…"), tr("取消"), 0, 0, &m_window);
    dialog->setWindowModality(Qt::NonModal);
    dialog->setWindowTitle(m_window.windowTitle());
    dialog->setMinimumDuration(0);
    connect(dialog, &QProgressDialog::canceled, this, &PictureMenu::cancel);
    m_dialog = dialog;
    dialog->show();
}

void PictureMenu::cancel()
{
    if (!m_job)
        return;
    m_job->cancelled = true;
    end();
}

void PictureMenu::end()
{
    m_dialogTimer->stop();
    if (m_dialog) {
        m_dialog->disconnect(this);
        m_dialog->hide();
        m_dialog->deleteLater(); // this may run inside the dialog's own signal
    }
    m_copy->setEnabled(true);
    m_save->setEnabled(true);
    m_done = nullptr;
    m_job.reset();
}

} // namespace prismel
