#pragma once

#include "core/codelength.h"
#include "window/form/convertrequest.h"
#include "window/platform.h"

#include <QObject>
#include <QStringView>

#include <array>
#include <functional>

class QAction;

namespace prismel {

class LongTextEdit;

// The output box's own commands, offered in its context menu after the standard items: copy as
// rich text, merged tags (a setting of the next Convert, never saved), fit to a length and the
// decorations (bold and the rest, in the codes of the chosen format; never saved). The
// window hands in the request a Convert would make now, which the menu asks for at the moment a
// command runs, and a Convert at a given step, which a fit ends with.
class CodeMenu : public QObject {
    Q_OBJECT
public:
    CodeMenu(LongTextEdit& output, const Platform& platform, std::function<TextRequest()> request,
             std::function<void(int step)> convertAtStep, QObject* parent);

    // Whether Convert merges runs of one colour under one set of tags.
    bool merges() const;

    // The decorations ticked and offered, indexed by Decoration; none while they are greyed.
    std::array<bool, decorationCount> decorations() const;

    // Greys the decorations (a typed template has no codes for them) or offers them again.
    void offerDecorations(bool offered);

    // Shows the code's length in code points and UTF-8 bytes as the output box's tool tip.
    void showLength(const CodeLength::Sizes& code);

    // A request whose gradient tag the server cannot draw gets prismel-convert's words in a
    // message box, and true.
    bool refused(const TextRequest& request);

private:
    void copyAsRichText();
    void fitToLength();

    LongTextEdit& m_output;
    Platform m_platform;
    std::function<TextRequest()> m_request;
    std::function<void(int step)> m_convertAtStep;
    QAction* m_merge;
    std::array<QAction*, decorationCount> m_decorations{};
    int m_lastLimit = 10000;
};

} // namespace prismel
