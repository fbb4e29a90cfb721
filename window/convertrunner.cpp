#include "window/convertrunner.h"

#include "core/conversion.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QPointer>
#include <QProgressDialog>
#include <QTimer>
#include <QWidget>

#include <atomic>
#include <thread>

namespace prismel {

namespace {

// About 20 ms of work inside a click, which no one sees as a pause.
constexpr std::size_t kSyncUnits = std::size_t{1} << 21;
constexpr std::chrono::milliseconds kDialogDelay{500};
// Each slice of laying the code into blocks stops after this long, so the event loop is served
// several times in the ~100 ms in which a window still feels alive.
constexpr qint64 kSliceNs = 40'000'000;
constexpr qsizetype kSliceUnits = 1 << 18;
// While the worker converts, the event loop looks in on it this often.
constexpr int kPollMs = 10;
// A long Convert's buffer is kept for the next one up to this many code units (64 MB); a larger
// one would hold a few hundred megabytes for nothing between Converts.
constexpr std::size_t kKeptUnits = std::size_t{1} << 25;

std::u16string_view view(const QString& text)
{
    return {QStringView(text).utf16(), static_cast<std::size_t>(text.size())};
}

void convertInto(std::u16string& code, const ConvertRequest& request)
{
    convertTextInto(code, view(request.input), view(request.step), request.tags, request.colors,
                    request.options);
}

QStringView view(const std::u16string& code)
{
    return {code.data(), static_cast<qsizetype>(code.size())};
}

} // namespace

struct ConvertRunner::Job {
    ConvertRequest request;
    Finish finish;
    std::u16string code; // the worker's until `converted`
    std::atomic<bool> converted{false};
    std::thread worker;
    std::unique_ptr<PreparedText> text;
    QElapsedTimer clock;
    QPointer<QProgressDialog> dialog;
    bool cancelled = false;

    ~Job()
    {
        if (worker.joinable())
            worker.join();
        delete dialog.data();
    }
};

// Keeps the keys and the mouse away from the window while a Convert runs, before the modal
// dialog is up to do it: nothing may change the inputs or start a second Convert meanwhile.
class ConvertRunner::InputBlocker : public QObject {
public:
    InputBlocker(QWidget* window, QObject* parent) : QObject(parent), m_window(window) {}

    void setActive(bool active)
    {
        if (active == m_active)
            return;
        m_active = active;
        if (active)
            qApp->installEventFilter(this);
        else
            qApp->removeEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::InputMethod:
        case QEvent::DragEnter:
        case QEvent::Drop:
            break;
        default:
            return false;
        }
        auto* widget = qobject_cast<QWidget*>(watched);
        return widget != nullptr && widget->window() == m_window;
    }

private:
    QWidget* m_window;
    bool m_active = false;
};

ConvertRunner::ConvertRunner(QWidget* window)
    : QObject(window), m_window(window), m_timer(new QTimer(this)),
      m_blocker(new InputBlocker(window, this)), m_syncUnits(kSyncUnits),
      m_dialogDelay(kDialogDelay)
{
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &ConvertRunner::tick);
}

// The jobs' destructors wait for their workers, which end on their own within a second or so.
ConvertRunner::~ConvertRunner() = default;

void ConvertRunner::setLimits(std::size_t syncUnits, std::chrono::milliseconds dialogDelay)
{
    m_syncUnits = syncUnits;
    m_dialogDelay = dialogDelay;
}

void ConvertRunner::run(ConvertRequest request, Finish finish)
{
    if (m_job)
        return;
    reapAbandoned();
    const std::size_t capacity =
        markupCapacity(view(request.input), view(request.step), request.tags);
    if (capacity <= m_syncUnits) {
        convertInto(m_buffer, request);
        PreparedText code(view(m_buffer));
        finish(request, code, view(m_buffer));
        return;
    }

    m_job = std::make_unique<Job>();
    Job& job = *m_job;
    job.code = std::move(m_buffer);
    job.request = std::move(request);
    job.finish = std::move(finish);
    job.clock.start();
    // The worker reads only the job's own copies of the inputs and writes only its code.
    job.worker = std::thread([&job] {
        convertInto(job.code, job.request);
        job.converted.store(true, std::memory_order_release);
    });
    m_blocker->setActive(true);
    scheduleTick(0);
}

void ConvertRunner::scheduleTick(int ms)
{
    m_timer->start(ms);
}

void ConvertRunner::tick()
{
    reapAbandoned();
    if (!m_job) {
        if (!m_abandoned.empty())
            scheduleTick(50);
        return;
    }
    Job& job = *m_job;
    if (!job.dialog && job.clock.elapsed() >= m_dialogDelay.count()) {
        showDialog(job);
        if (job.cancelled)
            return;
    }
    if (!job.converted.load(std::memory_order_acquire)) {
        scheduleTick(kPollMs);
        return;
    }
    if (!job.text) {
        job.worker.join();
        job.text = std::make_unique<PreparedText>(view(job.code));
        if (job.dialog)
            job.dialog->setRange(0, 1000);
    }
    QElapsedTimer slice;
    slice.start();
    bool done = false;
    while (!done && slice.nsecsElapsed() < kSliceNs)
        done = job.text->fill(kSliceUnits);
    if (done) {
        complete();
        return;
    }
    if (job.dialog) {
        const double part = static_cast<double>(job.text->filled()) /
                            static_cast<double>(std::max<qsizetype>(job.text->size(), 1));
        // A modal dialog serves the event loop here, and its Cancel may come through.
        job.dialog->setValue(static_cast<int>(part * 1000));
        if (job.cancelled)
            return;
    }
    scheduleTick(0);
}

void ConvertRunner::showDialog(Job& job)
{
    auto* dialog =
        new QProgressDialog(QStringLiteral("正在转换…"), QStringLiteral("取消"), 0, 0, m_window);
    dialog->setWindowTitle(m_window->windowTitle());
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setMinimumDuration(0);
    dialog->setAutoClose(false);
    dialog->setAutoReset(false);
    job.dialog = dialog;
    connect(dialog, &QProgressDialog::canceled, this, &ConvertRunner::cancel);
    if (job.text)
        dialog->setRange(0, 1000);
    dialog->show();
}

void ConvertRunner::cancel()
{
    if (!m_job)
        return;
    m_job->cancelled = true;
    if (m_job->dialog)
        m_job->dialog->deleteLater();
    m_job->dialog = nullptr;
    m_job->text.reset();
    m_blocker->setActive(false);
    // A worker cannot be stopped halfway; the job waits for it without holding anything up.
    m_abandoned.push_back(std::move(m_job));
    scheduleTick(50);
}

void ConvertRunner::complete()
{
    std::unique_ptr<Job> job = std::move(m_job);
    if (job->dialog) {
        job->dialog->disconnect(this);
        job->dialog->deleteLater();
        job->dialog = nullptr;
    }
    m_blocker->setActive(false);
    job->finish(job->request, *job->text, view(job->code));
    job->text.reset();
    if (job->code.capacity() <= kKeptUnits && job->code.capacity() > m_buffer.capacity())
        m_buffer = std::move(job->code);
}

void ConvertRunner::reapAbandoned()
{
    std::erase_if(m_abandoned,
                  [](const auto& job) { return job->converted.load(std::memory_order_acquire); });
}

} // namespace prismel
