#include "window/form/convertrunner.h"

#include "core/conversion.h"
#include "window/adapters/qtstring.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEvent>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <span>
#include <utility>

namespace prismel {

namespace {

// Code this short is made inside the click on the window's thread: whatever its text, a few
// milliseconds of work, less than handing it to a worker would cost.
constexpr std::size_t kInlineUnits = std::size_t{1} << 16;
// Long enough for a Convert of a few megabytes of code to end inside the click, short enough
// not to be felt as a pause.
constexpr std::chrono::milliseconds kClickWait{50};
constexpr std::chrono::milliseconds kDialogDelay{500};
// The filler lays the code in slices of this many units, a few milliseconds each, and looks for
// a Cancel between them.
constexpr qsizetype kSliceUnits = 1 << 18;
constexpr int kProgressSteps = 1000;
// The window is told of the filler's progress at most this often.
constexpr qint64 kProgressMs = 40;
// A long Convert's buffer is kept for the next one up to this many code units (64 MB); a larger
// one would hold a few hundred megabytes for nothing between Converts.
constexpr std::size_t kKeptUnits = std::size_t{1} << 25;

QStringView view(std::u16string_view code)
{
    return {code.data(), static_cast<qsizetype>(code.size())};
}

int progressOf(qsizetype filled, std::size_t capacity)
{
    const double part =
        static_cast<double>(filled) / static_cast<double>(std::max<std::size_t>(capacity, 1));
    return static_cast<int>(std::min(part, 1.0) * kProgressSteps);
}

} // namespace

// One long Convert, shared by the window's thread and the two workers; the last of them to let
// go of it frees it.
struct ConvertRunner::Job {
    TextRequest request; // read only, by all
    std::size_t capacity = 0;
    bool keepsCode = false;

    // Everything below changes under `mutex`, and `changed` tells of each change. `cancelled`
    // is also read without it, between slices of work.
    std::mutex mutex;
    std::condition_variable changed;
    std::atomic<bool> cancelled{false};
    QStringView ready;         // the code so far: the front of `code`
    bool converted = false;    // `ready` is the whole code, or all there will be
    bool codeReleased = false; // the filler reads `code` no more
    bool filled = false;       // `text` holds the whole code in blocks
    std::unique_ptr<PreparedText> text;
    CodeLength::Sizes sizes;
    std::atomic<qsizetype> filledUnits{0}; // for the progress shown, read without `mutex`

    // Written by the converter, which makes it unless it is one kept from an earlier Convert;
    // read by the filler up to `ready`.
    std::unique_ptr<char16_t[]> code;
    std::size_t codeCapacity = 0;

    void stop()
    {
        {
            const std::lock_guard lock(mutex);
            cancelled = true;
        }
        changed.notify_all();
    }

    bool isCancelled() const { return cancelled.load(std::memory_order_relaxed); }
};

void ConvertRunner::convertCode(Job& job)
{
    const auto handOver = [&job](std::u16string_view done) {
        {
            const std::lock_guard lock(job.mutex);
            job.ready = view(done);
        }
        job.changed.notify_all();
        return !job.isCancelled();
    };
    const TextRequest& request = job.request;
    WrittenCode written;
    if (!job.isCancelled()) {
        // Not cleared first: the pages are touched only as the code is written.
        if (job.codeCapacity < job.capacity) {
            job.code = std::make_unique_for_overwrite<char16_t[]>(job.capacity);
            job.codeCapacity = job.capacity;
        }
        written = convertTextInto(std::span(job.code.get(), job.capacity), view(request.input),
                                  request, handOver);
    }
    const std::u16string_view code(job.code.get(), written.length);
    // Measured here while the filler is still some way behind.
    CodeLength::Sizes sizes;
    if (written.finished)
        sizes = CodeLength::sizesOf(code);
    {
        const std::lock_guard lock(job.mutex);
        if (written.finished) {
            job.ready = view(code);
            job.sizes = sizes;
        }
        job.converted = true;
    }
    job.changed.notify_all();
    if (job.keepsCode)
        return;
    // Giving back a few hundred megabytes takes a while, better spent here than in the filler,
    // which the window waits for.
    {
        std::unique_lock lock(job.mutex);
        job.changed.wait(lock, [&job] { return job.codeReleased; });
    }
    job.code.reset();
}

void ConvertRunner::fillBlocks(Job& job, ConvertRunner* runner)
{
    // The document is made and filled here, or dropped here when cancelled; a filled one has no
    // thread until the window's takes it.
    auto text = std::make_unique<PreparedText>(QStringView(), false);
    QElapsedTimer sinceTold; // invalid until the window is first told, after the first slice
    qsizetype seen = -1;
    bool done = false;
    while (!done) {
        QStringView ready;
        bool complete = false;
        {
            std::unique_lock lock(job.mutex);
            job.changed.wait(
                lock, [&] { return job.cancelled || job.converted || job.ready.size() > seen; });
            if (job.cancelled)
                break;
            ready = job.ready;
            complete = job.converted;
        }
        seen = ready.size();
        text->grow(ready, complete);
        // Until the code is complete, a slice that lays nothing waits for more of it.
        for (qsizetype before = -1;
             !done && !job.isCancelled() && (complete || text->filled() != before);) {
            before = text->filled();
            done = text->fill(kSliceUnits);
            job.filledUnits.store(text->filled(), std::memory_order_relaxed);
            if (!sinceTold.isValid() || sinceTold.hasExpired(kProgressMs)) {
                Q_EMIT runner->progressed();
                sinceTold.start();
            }
        }
        if (job.isCancelled())
            break;
    }
    if (done)
        text->moveToThread(nullptr);
    {
        const std::lock_guard lock(job.mutex);
        job.codeReleased = true;
        if (done && !job.cancelled) {
            job.text = std::move(text);
            job.filled = true;
        }
    }
    job.changed.notify_all();
    if (done)
        Q_EMIT runner->filled();
}

// Holds the keys and the mouse back from the window while a long Convert runs, without changing
// a pixel of it: a child over the whole window that paints nothing takes the mouse (a QWidget
// ignores it, and so does the window it then goes to), and the keys, the shortcuts they would
// trigger and the input method's text are stopped at the widget they go to, the window's focus
// widget. Between Converts the child lets the mouse through rather than being hidden, since
// showing or hiding it would repaint the whole window. Once the progress dialog is up it has the
// keys as the active window.
class ConvertRunner::InputBlock : public QWidget {
public:
    explicit InputBlock(QWidget* window) : QWidget(window), m_window(window)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setGeometry(window->rect());
        window->installEventFilter(this);
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
            if (m_active && now != nullptr && now->window() == m_window)
                watchKeysOf(now);
        });
        show(); // the last child made, so above every other
    }

    void setActive(bool active)
    {
        if (active == m_active)
            return;
        m_active = active;
        setAttribute(Qt::WA_TransparentForMouseEvents, !active);
        watchKeysOf(active ? m_window->focusWidget() : nullptr);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Resize && watched == m_window) {
            setGeometry(m_window->rect());
            return false;
        }
        if (!m_active)
            return false;
        switch (event->type()) {
        case QEvent::ShortcutOverride:
            // Taken as the widget's own key, it triggers no shortcut; the press is stopped next.
            event->accept();
            return true;
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::InputMethod:
            return true;
        default:
            return false;
        }
    }

private:
    void watchKeysOf(QWidget* widget)
    {
        if (m_keys == widget)
            return;
        if (m_keys && m_keys != m_window)
            m_keys->removeEventFilter(this);
        m_keys = widget;
        if (m_keys && m_keys != m_window)
            m_keys->installEventFilter(this);
    }

    QWidget* m_window;
    QPointer<QWidget> m_keys;
    bool m_active = false;
};

ConvertRunner::ConvertRunner(QWidget* window)
    : QObject(window), m_window(window), m_dialogTimer(new QTimer(this)),
      m_inlineUnits(kInlineUnits), m_clickWait(kClickWait), m_dialogDelay(kDialogDelay)
{
    m_dialogTimer->setSingleShot(true);
    connect(m_dialogTimer, &QTimer::timeout, this, &ConvertRunner::showDialog);
    // Emitted by the filler; queued to this thread, where each looks at the Convert under way.
    connect(this, &ConvertRunner::progressed, this, &ConvertRunner::showProgress,
            Qt::QueuedConnection);
    connect(this, &ConvertRunner::filled, this, &ConvertRunner::complete, Qt::QueuedConnection);
}

// The workers tell this object of their progress, so it waits for them to end.
ConvertRunner::~ConvertRunner()
{
    cancel();
    for (QThread* worker : findChildren<QThread*>(Qt::FindDirectChildrenOnly))
        worker->wait();
}

void ConvertRunner::setLimits(std::size_t inlineUnits, std::chrono::milliseconds clickWait,
                              std::chrono::milliseconds dialogDelay)
{
    m_inlineUnits = inlineUnits;
    m_clickWait = clickWait;
    m_dialogDelay = dialogDelay;
}

bool ConvertRunner::waitForWorkers(std::chrono::milliseconds timeout)
{
    const QDeadlineTimer deadline(timeout);
    const QList<QThread*> workers = findChildren<QThread*>(Qt::FindDirectChildrenOnly);
    return std::all_of(workers.begin(), workers.end(),
                       [&deadline](QThread* worker) { return worker->wait(deadline); });
}

void ConvertRunner::run(TextRequest request, Finish finish)
{
    if (m_job)
        return;
    const std::size_t capacity = markupCapacity(view(request.input), request);
    if (capacity <= m_inlineUnits) {
        convertTextInto(m_buffer, view(request.input), request);
        PreparedText code(view(m_buffer));
        finish(request, code, CodeLength::sizesOf(m_buffer));
        return;
    }

    QElapsedTimer clock;
    clock.start();
    auto job = std::make_shared<Job>();
    job->request = std::move(request);
    job->capacity = capacity;
    job->keepsCode = capacity <= kKeptUnits;
    job->code = std::move(m_kept);
    job->codeCapacity = std::exchange(m_keptCapacity, 0);
    m_job = job;
    m_finish = std::move(finish);
    startWorkers(job);

    // Most Converts end in a moment; those waited for here show as if made inside the click.
    if (m_clickWait.count() > 0) {
        std::unique_lock lock(job->mutex);
        if (job->changed.wait_for(lock, m_clickWait, [&job] { return job->filled; })) {
            lock.unlock();
            complete();
            return;
        }
    }
    const auto waited = std::chrono::milliseconds(clock.elapsed());
    runLong(std::max(m_dialogDelay - waited, std::chrono::milliseconds(0)));
}

void ConvertRunner::startWorkers(const std::shared_ptr<Job>& job)
{
    // The workers keep the job alive as long as they run; each reads only its copies of the
    // inputs, and the converter alone writes the code. A thread of its own for each, rather than
    // a pool's, is started after everything it reads is written, in a way ThreadSanitizer sees
    // through the uninstrumented Qt.
    for (QThread* worker : {QThread::create([job] { convertCode(*job); }),
                            QThread::create([job, this] { fillBlocks(*job, this); })}) {
        worker->setParent(this);
        connect(worker, &QThread::finished, worker, &QObject::deleteLater);
        worker->start();
    }
}

void ConvertRunner::showProgress()
{
    if (m_job && m_dialog)
        m_dialog->setValue(
            progressOf(m_job->filledUnits.load(std::memory_order_relaxed), m_job->capacity));
}

void ConvertRunner::runLong(std::chrono::milliseconds dialogIn)
{
    if (!m_block)
        m_block = new InputBlock(m_window);
    m_block->setActive(true);
    if (dialogIn.count() > 0)
        m_dialogTimer->start(dialogIn);
    else
        showDialog();
}

void ConvertRunner::showDialog()
{
    if (!m_job)
        return;
    auto* dialog = new QProgressDialog(tr("正在转换…"), tr("取消"), 0, kProgressSteps, m_window);
    // Not modal: a modal dialog would make the window drop its close box's request, which here
    // cancels the Convert and closes the window; the window's input stays held back meanwhile.
    dialog->setWindowModality(Qt::NonModal);
    dialog->setWindowTitle(m_window->windowTitle());
    dialog->setAutoClose(false);
    dialog->setAutoReset(false);
    dialog->setMinimumDuration(0);
    connect(dialog, &QProgressDialog::canceled, this, &ConvertRunner::cancel);
    m_dialog = dialog;
    showProgress();
    dialog->show();
}

void ConvertRunner::cancel()
{
    if (!m_job)
        return;
    m_job->stop();
    end();
}

void ConvertRunner::complete()
{
    const std::shared_ptr<Job> job = m_job;
    if (!job)
        return;
    std::unique_ptr<PreparedText> text;
    CodeLength::Sizes sizes;
    // Taken under the job's lock rather than carried by the signal: the lock is a hand-over
    // ThreadSanitizer sees, where Qt's queued events are out of its sight.
    {
        const std::lock_guard lock(job->mutex);
        if (!job->filled)
            return;
        text = std::move(job->text);
        sizes = job->sizes;
        // The converter leaves a code it keeps alone once it is converted.
        if (job->keepsCode) {
            m_kept = std::move(job->code);
            m_keptCapacity = job->codeCapacity;
        }
    }
    const Finish finish = std::move(m_finish);
    end();
    text->moveToThread(thread());
    finish(job->request, *text, sizes);
}

void ConvertRunner::end()
{
    m_dialogTimer->stop();
    if (m_dialog) {
        m_dialog->disconnect(this);
        m_dialog->hide();
        // This may run inside the dialog's own signal.
        m_dialog->deleteLater();
    }
    if (m_block)
        m_block->setActive(false);
    m_finish = nullptr;
    // The workers of a cancelled job let go of it a moment later, the last one freeing it.
    m_job.reset();
}

} // namespace prismel
