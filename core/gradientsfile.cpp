#include "gradientsfile.h"

#include "messagetext.h"
#include "regularfile.h"
#include "utf8.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

namespace prismel {

namespace {

// Calls `use` with each line of `bytes` without its line end, and the line end itself.
template <typename Use> void forEachLine(std::string_view bytes, Use&& use)
{
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t end = std::min(bytes.find('\n', at), bytes.size());
        const std::size_t next = std::min(end + 1, bytes.size());
        std::string_view line = bytes.substr(at, end - at);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        use(line, bytes.substr(at + line.size(), next - at - line.size()));
        at = next;
    }
}

// The name a line gives, or nothing for a blank line, a comment or a line without one.
std::optional<std::string_view> lineName(std::string_view line)
{
    line = trimBlanks(line, Blanks::SpacesAndTabs);
    if (line.empty() || line.front() == '#')
        return std::nullopt;
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos)
        return std::nullopt;
    return trimBlanks(line.substr(0, colon), Blanks::SpacesAndTabs);
}

std::string narrow(std::u16string_view text)
{
    const std::u8string utf8 = toUtf8(text);
    return {utf8.begin(), utf8.end()};
}

FileStamp stampOf(const struct stat& status)
{
    return {true, static_cast<std::uint64_t>(status.st_dev),
            static_cast<std::uint64_t>(status.st_ino), static_cast<std::int64_t>(status.st_size),
            static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1'000'000'000 +
                status.st_mtim.tv_nsec};
}

GradientsFileTrouble troubleOf(const RegularFileRead& file)
{
    using Trouble = RegularFileRead::Trouble;
    switch (file.trouble) {
    case Trouble::None:
    case Trouble::Missing:
        return GradientsFileTrouble::None;
    case Trouble::Folder:
    case Trouble::NotRegular:
        return GradientsFileTrouble::NotRegular;
    case Trouble::TooLarge:
        return GradientsFileTrouble::TooLarge;
    case Trouble::Failed:
        break;
    }
    return GradientsFileTrouble::Failed;
}

// The mode a new file gets from open(): 0666 less the process's umask, which can only be read
// by setting it.
mode_t newFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

GradientsFile parseGradientsFile(std::string_view bytes)
{
    GradientsFile file;
    // Where each name stands in file.gradients, so that a later line of a name replaces the
    // earlier one without a search; the replaced ones are dropped at the end. A name is ASCII,
    // so its bytes in the file serve as the key.
    const auto lines = static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')) + 1;
    std::unordered_map<std::string_view, std::size_t> places;
    places.reserve(lines);
    file.gradients.reserve(lines);
    std::vector<bool> replaced;
    replaced.reserve(lines);
    std::size_t number = 0;
    forEachLine(bytes, [&](std::string_view line, std::string_view) {
        ++number;
        line = trimBlanks(line, Blanks::SpacesAndTabs);
        if (line.empty() || line.front() == '#')
            return;
        const auto text = fromUtf8(line);
        if (!text) {
            file.faults.push_back({number, u"not valid UTF-8"});
            return;
        }
        auto parsed = parseGradientLine(*text);
        if (!parsed.value) {
            file.faults.push_back({number, std::move(parsed.error)});
            return;
        }
        const std::string_view name =
            trimBlanks(line.substr(0, line.find(':')), Blanks::SpacesAndTabs);
        const auto [place, isNew] = places.try_emplace(name, file.gradients.size());
        if (!isNew) {
            replaced[place->second] = true;
            place->second = file.gradients.size();
        }
        file.gradients.push_back(std::move(*parsed.value));
        replaced.push_back(false);
    });
    std::size_t kept = 0;
    for (std::size_t i = 0; i < file.gradients.size(); ++i) {
        if (replaced[i])
            continue;
        if (kept != i)
            file.gradients[kept] = std::move(file.gradients[i]);
        ++kept;
    }
    file.gradients.resize(kept);
    return file;
}

std::string userGradientsPath()
{
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && *config)
        return std::string(config) + "/prismel/gradients";
    const char* home = std::getenv("HOME");
    if (home && *home)
        return std::string(home) + "/.config/prismel/gradients";
    return {};
}

FileStamp fileStampOf(const std::string& path)
{
    struct stat status {};
    if (path.empty() || ::stat(path.c_str(), &status) != 0)
        return {};
    return stampOf(status);
}

GradientsFileRead readGradientsFile(const std::string& path)
{
    GradientsFileRead read;
    if (path.empty())
        return read;
    const RegularFileRead file = readRegularFile(path, maxGradientsFileBytes);
    if (file.trouble == RegularFileRead::Trouble::Missing)
        return read;
    read.trouble = troubleOf(file);
    read.error = file.error;
    if (read.trouble != GradientsFileTrouble::Failed)
        read.stamp = stampOf(file.status);
    if (read.trouble == GradientsFileTrouble::None)
        read.file = parseGradientsFile(file.bytes);
    return read;
}

std::vector<std::string> gradientsFileWarnings(const std::string& path,
                                               const GradientsFileRead& read)
{
    const std::string shownPath = printable(path);
    std::vector<std::string> warnings;
    switch (read.trouble) {
    case GradientsFileTrouble::None:
        break;
    case GradientsFileTrouble::NotRegular:
        warnings.push_back(shownPath + ": not a regular file");
        break;
    case GradientsFileTrouble::TooLarge:
        warnings.push_back(shownPath + ": larger than " +
                           std::to_string(maxGradientsFileBytes >> 20) + " MiB");
        break;
    case GradientsFileTrouble::Failed:
        warnings.push_back(shownPath + ": " + std::strerror(read.error));
        break;
    }
    for (const auto& fault : read.file.faults)
        warnings.push_back(shownPath + ":" + std::to_string(fault.line) + ": " +
                           narrow(fault.message));
    return warnings;
}

std::string withGradientLine(std::string_view file, std::u16string_view name,
                             const Gradient& gradient)
{
    const std::string wanted = narrow(name);
    const std::string line = narrow(gradientLine(name, gradient));
    std::string out;
    out.reserve(file.size() + line.size() + 2);
    bool written = false;
    forEachLine(file, [&](std::string_view text, std::string_view end) {
        if (lineName(text) != wanted) {
            out += text;
            out += end;
        } else if (!written) {
            out += line;
            out += end;
            written = true;
        }
    });
    if (!written) {
        if (!out.empty() && out.back() != '\n')
            out += '\n';
        out += line;
        out += '\n';
    }
    return out;
}

GradientsFileSave saveGradientLine(const std::string& path, std::u16string_view name,
                                   const Gradient& gradient)
{
    using Step = GradientsFileSave::Step;
    if (path.empty())
        return {Step::NoPlace};
    std::string target = path;
    if (const std::unique_ptr<char, decltype(&std::free)> real{::realpath(path.c_str(), nullptr),
                                                               &std::free}) {
        target = real.get();
    }
    const RegularFileRead old = readRegularFile(target, maxGradientsFileBytes);
    const bool exists = old.trouble != RegularFileRead::Trouble::Missing;
    if (exists && old.trouble != RegularFileRead::Trouble::None)
        return {Step::Reading, troubleOf(old), old.error};
    if (!exists) {
        std::error_code error;
        std::filesystem::create_directories(std::filesystem::path(target).parent_path(), error);
        if (error)
            return {Step::MakingFolder, GradientsFileTrouble::Failed, error.value()};
    }
    const std::string bytes = withGradientLine(old.bytes, name, gradient);

    std::string temporary = target + ".XXXXXX";
    const FileDescriptor out{::mkostemp(temporary.data(), O_CLOEXEC)};
    if (out.get() < 0)
        return {Step::Writing, GradientsFileTrouble::Failed, errno};
    const auto failed = [&temporary](int error) {
        ::unlink(temporary.c_str());
        return GradientsFileSave{Step::Writing, GradientsFileTrouble::Failed, error};
    };
    const mode_t mode = exists ? (old.status.st_mode & 07777) : newFileMode();
    if (::fchmod(out.get(), mode) != 0)
        return failed(errno);
    if (const int error = writeAll(out.get(), bytes); error != 0)
        return failed(error);
    // A disc that is full or a quota that is spent may only say so here.
    if (::fsync(out.get()) != 0)
        return failed(errno);
    if (::rename(temporary.c_str(), target.c_str()) != 0)
        return failed(errno);
    return {};
}

} // namespace prismel
