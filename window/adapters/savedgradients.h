#pragma once

#include "core/gradient.h"
#include "core/gradientsfile.h"

#include <QString>

#include <optional>
#include <vector>

namespace prismel {

// The user's gradients file, the one prismel-convert reads (userGradientsPath()), from the
// window's side.
class SavedGradients {
public:
    // The file's good lines, read again only when what stands at its path has changed since
    // the last call, so that a right click on a large file costs a stat().
    const std::vector<NamedGradient>& gradients();

    // Why the file's gradients could not be read at the last call, in a few words; empty when
    // they could (or there is no file).
    const QString& trouble() const { return m_trouble; }

    // Why a save failed: `why` in a few words, with "%1" where `path` goes when it names one.
    struct SaveFailure {
        QString why;
        QString path;
    };

    // Adds the line for `gradient` under `name` (a valid gradient name) or replaces the one
    // there; every other line stays byte for byte. Gives why it could not, or nothing when it
    // saved.
    static std::optional<SaveFailure> save(std::u16string_view name, const Gradient& gradient);

private:
    std::string m_path;
    FileStamp m_stamp;
    bool m_read = false;
    std::vector<NamedGradient> m_gradients;
    QString m_trouble;
};

} // namespace prismel
