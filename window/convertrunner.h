#pragma once

#include "core/codelength.h"
#include "core/colorpair.h"
#include "core/mergedtags.h"
#include "core/tagtemplate.h"
#include "window/longtextedit.h"

#include <QObject>
#include <QString>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QTimer;
class QWidget;

namespace prismel {

// What one Convert reads from the window, taken when the button is pressed.
struct ConvertRequest {
    QString input;
    QString step;
    TagTemplate tags;
    ColorPair colors;
    ConvertOptions options;
};

// Runs Convert so that the window never freezes. A short conversion runs to its end inside the
// click, as it always has. A long one runs on two worker threads: one converts, and the other
// lays the code into the output box's blocks right behind it, so the two take little more than
// the longer of them, while the window keeps painting. After about half a second a modal
// progress dialog shows, and its Cancel stops both at once. Nothing on show changes until the
// code is ready: then `finish` draws the preview and shows the code, so a cancelled Convert
// leaves the window exactly as it was.
class ConvertRunner : public QObject {
    Q_OBJECT
public:
    // `prepared` is the generated code laid into the box's blocks, `code` its sizes.
    using Finish = std::function<void(const ConvertRequest&, PreparedText& prepared,
                                      const CodeLength::Sizes& code)>;

    // `window` is the one the dialog is modal to and whose input waits while a Convert runs.
    explicit ConvertRunner(QWidget* window);
    ~ConvertRunner() override;

    void run(ConvertRequest request, Finish finish);
    bool isRunning() const { return m_job != nullptr; }

    // Code up to `syncUnits` code units long is made inside the click; the dialog shows once a
    // Convert has run for `dialogDelay`. Tests and benchmarks lower them.
    void setLimits(std::size_t syncUnits, std::chrono::milliseconds dialogDelay);

private:
    struct Job;
    class InputBlocker;

    static void convertCode(Job& job);
    static void fillBlocks(Job& job, ConvertRunner* runner);

    void tick();
    void showDialog(Job& job);
    void cancel();
    void complete();
    void reapEnded();
    void scheduleTick(int ms);

    QWidget* m_window;
    QTimer* m_timer;
    InputBlocker* m_blocker;
    std::size_t m_syncUnits;
    std::chrono::milliseconds m_dialogDelay;
    std::u16string m_buffer; // reused by the short conversions, which stay small
    std::unique_ptr<Job> m_job;
    std::vector<std::unique_ptr<Job>> m_ending; // done or cancelled, their workers ending
};

} // namespace prismel
