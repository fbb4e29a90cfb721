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
#include <condition_variable>
#include <mutex>
#include <thread>

namespace prismel {

namespace {

// About 20 ms of work inside a click, which no one sees as a pause.
constexpr std::size_t kSyncUnits = std::size_t{1} << 21;
constexpr std::chrono::milliseconds kDialogDelay{500};
// The filler lays the code in slices of this many units, looking between them for a Cancel.
constexpr qsizetype kSliceUnits = 1 << 18;
// While the workers run, the event loop looks in on them this often.
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
    std::size_t capacity = 0; // the code's size at most, for the progress shown

    // What the converter hands the filler, under the mutex.
    std::mutex mutex;
    std::condition_variable progressed;
    QStringView ready;      // the code so far: the front of `code`
    bool converted = false; // `ready` is the whole code, or all there will be

    std::u16string code;                // the converter's until `converted`, then the filler's
    bool keepsCode = false;             // kept for the next Convert, else dropped by the filler
    CodeLength::Sizes sizes;            // the converter's until `converted`
    std::unique_ptr<PreparedText> text; // the filler's until `filled`
    std::atomic<qsizetype> filledUnits{0};
    std::atomic<bool> filled{false};
    std::atomic<bool> cancelled{false};
    std::atomic<int> ended{0}; // worker threads at their end
    std::thread converter;
    std::thread filler;

    QElapsedTimer clock;
    QPointer<QProgressDialog> dialog;

    ~Job()
    {
        stop();
        if (converter.joinable())
            converter.join();
        if (filler.joinable())
            filler.join();
        delete dialog.data();
    }

    void stop()
    {
        cancelled.store(true);
        progressed.notify_all();
    }
};

void ConvertRunner::convertCode(Job& job)
{
    const auto handOver = [&job](std::u16string_view done) {
        {
            const std::lock_guard lock(job.mutex);
            job.ready = QStringView(done.data(), static_cast<qsizetype>(done.size()));
        }
        job.progressed.notify_one();
        return !job.cancelled.load();
    };
    const ConvertRequest& request = job.request;
    const bool finished = convertTextInto(job.code, view(request.input), view(request.step),
                                          request.tags, request.colors, request.options, handOver);
    // Measured here while the filler is still some way behind.
    if (finished)
        job.sizes = CodeLength::sizesOf(job.code);
    {
        const std::lock_guard lock(job.mutex);
        if (finished)
            job.ready = view(job.code);
        job.converted = true;
    }
    job.progressed.notify_one();
    ++job.ended;
}

void ConvertRunner::fillBlocks(Job& job, ConvertRunner* runner)
{
    // The document is made, filled and, when cancelled, dropped in this thread, which then hands
    // it to the window's.
    auto text = std::make_unique<PreparedText>(QStringView(), false);
    qsizetype seen = -1;
    for (;;) {
        QStringView ready;
        bool complete = false;
        {
            std::unique_lock lock(job.mutex);
            job.progressed.wait(lock, [&] {
                return job.cancelled.load() || job.converted || job.ready.size() > seen;
            });
            ready = job.ready;
            complete = job.converted;
        }
        if (job.cancelled.load())
            break;
        seen = ready.size();
        text->grow(ready, complete);
        bool done = false;
        qsizetype before = -1;
        while (!done && text->filled() != before && !job.cancelled.load()) {
            before = text->filled();
            done = text->fill(kSliceUnits);
            job.filledUnits.store(text->filled(), std::memory_order_relaxed);
        }
        if (done) {
            text->moveToThread(runner->thread());
            job.text = std::move(text);
            job.filled.store(true, std::memory_order_release);
            // The code is shown at once rather than at the next look in.
            QMetaObject::invokeMethod(runner, &ConvertRunner::tick, Qt::QueuedConnection);
            // Giving back a few hundred megabytes takes a while, better spent here.
            if (!job.keepsCode)
                std::u16string().swap(job.code);
            break;
        }
    }
    text.reset();
    ++job.ended;
}

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

// The jobs' destructors stop their workers and wait the few milliseconds they take to end.
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
    reapEnded();
    const std::size_t capacity =
        markupCapacity(view(request.input), view(request.step), request.tags);
    if (capacity <= m_syncUnits) {
        convertInto(m_buffer, request);
        PreparedText code(view(m_buffer));
        finish(request, code, CodeLength::sizesOf(m_buffer));
        return;
    }

    m_job = std::make_unique<Job>();
    Job& job = *m_job;
    job.code = std::move(m_buffer);
    job.request = std::move(request);
    job.finish = std::move(finish);
    job.capacity = capacity;
    job.keepsCode = capacity <= kKeptUnits;
    job.clock.start();
    // The workers read only the job's own copies of the inputs; the converter alone writes the
    // code, and the filler reads only the part of it handed over.
    job.converter = std::thread(&ConvertRunner::convertCode, std::ref(job));
    job.filler = std::thread(&ConvertRunner::fillBlocks, std::ref(job), this);
    m_blocker->setActive(true);
    scheduleTick(kPollMs);
}

void ConvertRunner::scheduleTick(int ms)
{
    m_timer->start(ms);
}

void ConvertRunner::tick()
{
    reapEnded();
    if (!m_job) {
        if (!m_ending.empty())
            scheduleTick(50);
        return;
    }
    Job& job = *m_job;
    if (!job.dialog && job.clock.elapsed() >= m_dialogDelay.count()) {
        showDialog(job);
        if (job.cancelled)
            return;
    }
    if (job.filled.load(std::memory_order_acquire)) {
        complete();
        return;
    }
    if (job.dialog) {
        const double part = static_cast<double>(job.filledUnits.load(std::memory_order_relaxed)) /
                            static_cast<double>(std::max<std::size_t>(job.capacity, 1));
        // A modal dialog serves the event loop here, and its Cancel may come through.
        job.dialog->setValue(static_cast<int>(std::min(part, 1.0) * 1000));
        if (job.cancelled)
            return;
    }
    scheduleTick(kPollMs);
}

void ConvertRunner::showDialog(Job& job)
{
    auto* dialog =
        new QProgressDialog(QStringLiteral("正在转换…"), QStringLiteral("取消"), 0, 0, m_window);
    dialog->setWindowTitle(m_window->windowTitle());
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setMinimumDuration(0);
    dialog->setRange(0, 1000);
    dialog->setAutoClose(false);
    dialog->setAutoReset(false);
    job.dialog = dialog;
    connect(dialog, &QProgressDialog::canceled, this, &ConvertRunner::cancel);
    dialog->show();
}

void ConvertRunner::cancel()
{
    if (!m_job)
        return;
    m_job->stop();
    if (m_job->dialog)
        m_job->dialog->deleteLater();
    m_job->dialog = nullptr;
    m_blocker->setActive(false);
    // The workers stop within a few milliseconds; the job waits for them without holding
    // anything up.
    m_ending.push_back(std::move(m_job));
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
    job->finish(job->request, *job->text, job->sizes);
    job->text.reset();
    if (job->keepsCode && job->code.capacity() > m_buffer.capacity())
        m_buffer = std::move(job->code);
    // The filler may still be giving back the code.
    m_ending.push_back(std::move(job));
    scheduleTick(50);
}

void ConvertRunner::reapEnded()
{
    std::erase_if(m_ending, [](const auto& job) { return job->ended.load() == 2; });
}

} // namespace prismel
