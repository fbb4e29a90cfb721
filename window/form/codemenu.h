#pragma once

#include "core/codelength.h"
#include "core/colorpair.h"
#include "core/mergedtags.h"
#include "window/form/controltable.h"
#include "window/platform.h"

#include <QObject>
#include <QStringView>

#include <functional>

class QAction;

namespace prismel {

// The output box's own commands, offered in its context menu after the standard items: copy as
// rich text, merged tags (a setting of the next Convert, never saved) and fit to a length. The
// window hands in its controls, its colours and its Convert; the menu reads them at the moment
// a command runs, as Convert does.
class CodeMenu : public QObject {
    Q_OBJECT
public:
    CodeMenu(const FormControls& controls, const ColorPair& colors, const Platform& platform,
             std::function<void()> convert, QObject* parent);

    // The choices Convert applies.
    ConvertOptions options() const;

    // Shows the code's length in code points and UTF-8 bytes as the output box's tool tip.
    void showLength(const CodeLength::Sizes& code);

private:
    void copyAsRichText();
    void fitToLength();

    const FormControls& m_controls;
    const ColorPair& m_colors;
    Platform m_platform;
    std::function<void()> m_convert;
    QAction* m_merge;
    int m_lastLimit = 10000;
};

} // namespace prismel
