#pragma once

#include "gradient.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace prismel {

/// The largest gradients file either program reads or edits. A million gradients fit in it.
inline constexpr std::size_t maxGradientsFileBytes = std::size_t{16} << 20;

/// What a gradients file holds: the gradients of its good lines, and a message for each bad one.
struct GradientsFile {
    struct Fault {
        std::size_t line = 0; ///< 1-based
        std::u16string message;
    };
    std::vector<NamedGradient> gradients;
    std::vector<Fault> faults;
};

/// Reads a gradients file's bytes, one gradient a line as parseGradientLine() reads it; blank
/// lines and lines starting with '#' are skipped. Each line is UTF-8 on its own: a bad line,
/// one that is not valid UTF-8 included, is a fault and the other lines still count. A later
/// line of a name replaces the earlier one. Takes time in proportion to the file's size.
GradientsFile parseGradientsFile(std::string_view bytes);

/// Where the user's named gradients live, for the window and prismel-convert alike:
/// $XDG_CONFIG_HOME/prismel/gradients, or ~/.config/prismel/gradients when XDG_CONFIG_HOME is
/// unset or empty; empty when neither variable says where.
std::string userGradientsPath();

/// What stands at a path, to tell whether a file read before has changed since.
struct FileStamp {
    bool exists = false;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0;

    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

/// The stamp of what stands at `path` now, links followed; it never opens the file.
FileStamp fileStampOf(const std::string& path);

/// Why a gradients file could not be read or written at all.
enum class GradientsFileTrouble {
    None,
    NotRegular, ///< a directory, FIFO, socket or device: never opened for reading
    TooLarge,   ///< over maxGradientsFileBytes
    Failed,     ///< the system said no; the error number says why
};

/// What reading the gradients file at `path` gave. A missing file holds no gradients and is no
/// trouble.
struct GradientsFileRead {
    GradientsFile file;
    GradientsFileTrouble trouble = GradientsFileTrouble::None;
    int error = 0;   ///< errno, with Failed
    FileStamp stamp; ///< of the file as it was read
};

/// Reads the gradients file at `path` without ever waiting on it: only a regular file is read,
/// and never more than maxGradientsFileBytes of it.
GradientsFileRead readGradientsFile(const std::string& path);

/// One line each, "PATH: why" for trouble with the whole file and "PATH:LINE: why" for a bad
/// line, with the path and the file's content shown as printable() shows them.
std::vector<std::string> gradientsFileWarnings(const std::string& path,
                                               const GradientsFileRead& read);

/// `file`, a gradients file's bytes, with the gradient `name` (a valid name) set to `gradient`:
/// the first line of that name replaced where it stands and any later ones dropped, or else a
/// new line at the end. Every other line, comments, faulty lines and bytes that are not UTF-8
/// included, stays byte for byte.
std::string withGradientLine(std::string_view file, std::u16string_view name,
                             const Gradient& gradient);

/// How saving a gradient went.
struct GradientsFileSave {
    enum class Step {
        Saved,
        NoPlace, ///< neither XDG_CONFIG_HOME nor HOME says where the file goes
        Reading, ///< the file there could not be read (see trouble)
        MakingFolder,
        Writing,
    };
    Step step = Step::Saved;
    GradientsFileTrouble trouble = GradientsFileTrouble::None;
    int error = 0; ///< errno, where the system said no
};

/// Sets the gradient `name` (a valid name) in the gradients file at `path` as
/// withGradientLine() does. The new file is written beside the old one, with its mode, and
/// renamed over it only once it is whole, so a failure leaves the old file as it was. A path
/// that is a link is saved at the file it leads to; what is not a regular file is refused.
GradientsFileSave saveGradientLine(const std::string& path, std::u16string_view name,
                                   const Gradient& gradient);

} // namespace prismel
