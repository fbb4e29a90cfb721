#pragma once

#include "colorpair.h"

#include <string_view>

namespace prismel::detail {

// Sits between the chunk loop and a writer (bare(text), tagged(text, colour)) and joins tagged
// chunks of one colour, with the space-only chunks between them, into one tagged run. Chunks are
// consecutive pieces of one text, so a run is again a single view of it. Spaces after a run are
// held back until the next chunk shows whether they go inside the tag or after it. `Unit` is the
// text's code unit, char16_t or char8_t.
template <typename Writer, typename Unit = char16_t> class MergingWriter {
    using View = std::basic_string_view<Unit>;

public:
    explicit MergingWriter(Writer& out) : m_out(out) {}

    void bare(View text)
    {
        // A bare chunk of one unit that is not a space is a tab or a line break.
        const bool spaces = text.size() != 1 || text[0] == Unit{' '};
        if (m_open && spaces) {
            m_spacesEnd = text.data() + text.size();
            return;
        }
        finish();
        m_out.bare(text);
    }

    void tagged(View text, Rgb color)
    {
        if (m_open && color == m_color) {
            m_runEnd = m_spacesEnd = text.data() + text.size();
            return;
        }
        finish();
        m_open = true;
        m_color = color;
        m_runBegin = text.data();
        m_runEnd = m_spacesEnd = text.data() + text.size();
    }

    /// Writes the run still open, then the spaces held back after it.
    void finish()
    {
        if (!m_open)
            return;
        m_out.tagged(View(m_runBegin, m_runEnd), m_color);
        if (m_spacesEnd != m_runEnd)
            m_out.bare(View(m_runEnd, m_spacesEnd));
        m_open = false;
    }

private:
    Writer& m_out;
    bool m_open = false;
    Rgb m_color;
    const Unit* m_runBegin = nullptr;
    const Unit* m_runEnd = nullptr;
    const Unit* m_spacesEnd = nullptr;
};

} // namespace prismel::detail
