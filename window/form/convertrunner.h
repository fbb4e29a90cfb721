#pragma once

#include "core/codelength.h"
#include "window/form/convertrequest.h"
#include "window/widgets/longtextedit.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

class QProgressDialog;
class QTimer;
class QWidget;

namespace prismel {

// Runs Convert so that the window never freezes. A small conversion runs inside the click, as it
// always has. Any other runs on two worker threads: one converts, and the other lays the code
// into the output box's blocks right behind it, so the two take little more than the longer of
// them. They share one mutex, under which the converter hands over its code and a Cancel is
// set, and the filler's news reaches the window's thread by queued signals. The click waits a
// moment for them, so that most Converts still end inside it; one that takes longer goes on while
// the window keeps painting, with its input held back by a see-through pane, and after about half a
// second a progress dialog shows whose Cancel stops both. The workers look for a Cancel every few
// milliseconds of work; with what they let go of on the way out, they end within about a tenth of
// a second of it (bench_window measures 10 to 120 ms on 20 M characters). Nothing on show changes
// until the code is ready: then `finish` draws the preview and shows the code, so a cancelled
// Convert leaves the window exactly as it was.
class ConvertRunner : public QObject {
    Q_OBJECT
public:
    // `prepared` is the generated code laid into the box's blocks, `code` its sizes.
    using Finish = std::function<void(const TextRequest&, PreparedText& prepared,
                                      const CodeLength::Sizes& code)>;

    // `window` is the one the dialog belongs to and whose input waits while a Convert runs.
    explicit ConvertRunner(QWidget* window);
    // Stops a Convert still running and waits the moment its workers take to end.
    ~ConvertRunner() override;

    void run(TextRequest request, Finish finish);
    bool isRunning() const { return m_job != nullptr; }

    // Stops the Convert under way, if any, leaving the window as it was. Its workers end on
    // their own a moment later.
    void cancel();

    // True once no worker of any Convert, running or stopped, is left, within `timeout`.
    bool waitForWorkers(std::chrono::milliseconds timeout);

    // Code up to `inlineUnits` code units long is made on the window's thread; a longer one is
    // waited for inside the click for up to `clickWait`, and the dialog shows once a Convert has
    // run for `dialogDelay`. Tests and benchmarks change them: with no wait and no delay, the
    // dialog is up before the click returns, whatever the workers have done by then.
    void setLimits(std::size_t inlineUnits, std::chrono::milliseconds clickWait,
                   std::chrono::milliseconds dialogDelay);

Q_SIGNALS:
    // From the filler's thread: it has laid more of the code, or all of it.
    void progressed();
    void filled();

private:
    struct Job;
    class InputBlock;

    static void convertCode(Job& job);
    static void fillBlocks(Job& job, ConvertRunner* runner);

    void startWorkers(const std::shared_ptr<Job>& job);
    void showProgress();
    void runLong(std::chrono::milliseconds dialogIn);
    void showDialog();
    void complete();
    void end();

    QWidget* m_window;
    QPointer<InputBlock> m_block; // made with the first long Convert
    QTimer* m_dialogTimer;
    QPointer<QProgressDialog> m_dialog;
    std::size_t m_inlineUnits;
    std::chrono::milliseconds m_clickWait;
    std::chrono::milliseconds m_dialogDelay;
    std::u16string m_buffer; // the code of the Converts made inside the click
    // A long Convert's memory up to kKeptUnits, kept for the next one.
    std::unique_ptr<char16_t[]> m_kept;
    std::size_t m_keptCapacity = 0;
    std::shared_ptr<Job> m_job;
    Finish m_finish;
};

} // namespace prismel
