#pragma once

#include "core/codelength.h"
#include "window/form/convertrequest.h"
#include "window/platform.h"

#include <QObject>
#include <QStringView>

#include <functional>

class QAction;

namespace prismel {

class LongTextEdit;

// The output box's own commands, offered in its context menu after the standard items: copy as
// rich text, merged tags (a setting of the next Convert, never saved) and fit to a length. The
// window hands in the request a Convert would make now, which the menu asks for at the moment a
// command runs, and a Convert at a given step, which a fit ends with.
class CodeMenu : public QObject {
    Q_OBJECT
public:
    CodeMenu(LongTextEdit& output, const Platform& platform,
             std::function<ConvertRequest()> request, std::function<void(int step)> convertAtStep,
             QObject* parent);

    // Whether Convert merges runs of one colour under one set of tags.
    bool merges() const;

    // Shows the code's length in code points and UTF-8 bytes as the output box's tool tip.
    void showLength(const CodeLength::Sizes& code);

private:
    void copyAsRichText();
    void fitToLength();

    LongTextEdit& m_output;
    Platform m_platform;
    std::function<ConvertRequest()> m_request;
    std::function<void(int step)> m_convertAtStep;
    QAction* m_merge;
    int m_lastLimit = 10000;
};

} // namespace prismel
