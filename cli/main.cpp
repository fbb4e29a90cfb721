// prismel-convert: the window's conversion for scripts and batch work.

#include "cli/input.h"
#include "cli/options.h"
#include "cli/output.h"
#include "cli/utf8.h"
#include "core/chunking.h"
#include "core/codelength.h"
#include "core/conversion.h"
#include "core/fit.h"
#include "core/format.h"
#include "core/gradient.h"
#include "core/gradientsfile.h"
#include "core/messagetext.h"
#include "core/regularfile.h"
#include "core/utf8.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <sysexits.h>
#include <unistd.h>
#include <unordered_set>
#include <vector>

namespace {

// <sysexits.h> has no name for "did what was asked, and the answer is no".
constexpr int exitNoStepFits = 1;

void printError(const std::string& message)
{
    std::fprintf(stderr, "prismel-convert: %s\n", message.c_str());
}

// A length in the unit of --count, as the messages write it.
std::string lengthText(std::uint64_t length, prismel::LengthUnit unit)
{
    const char* name = "characters";
    if (unit == prismel::LengthUnit::Bytes)
        name = length == 1 ? "byte" : "bytes";
    else if (unit == prismel::LengthUnit::Units)
        name = length == 1 ? "UTF-16 unit" : "UTF-16 units";
    else if (length == 1)
        name = "character";
    return std::to_string(length) + " " + name;
}

// The line of --stats: characters and bytes always, UTF-16 units as well when they are the
// count, so that the unit --fit measured in is always there.
std::string statsLine(const prismel::cli::Options& options, std::int32_t step,
                      const prismel::cli::TextLengths& code)
{
    std::string line = "step " + std::to_string(step);
    line += ", " + lengthText(code.chars, prismel::LengthUnit::Chars);
    line += ", " + lengthText(code.bytes, prismel::LengthUnit::Bytes);
    if (options.count == prismel::LengthUnit::Units)
        line += ", " + lengthText(code.utf16Units, prismel::LengthUnit::Units);
    return line;
}

int writeFailed(int error)
{
    printError(std::string("cannot write to standard output: ") + std::strerror(error));
    return EX_IOERR;
}

// The user's gradients, read only when a name is asked for; a bad line is told and the rest
// still count.
std::vector<prismel::NamedGradient> userGradients(const prismel::cli::Options& options)
{
    if (!options.listGradients && !options.gradientName)
        return {};
    const std::string path = prismel::userGradientsPath();
    auto read = prismel::readGradientsFile(path);
    for (const auto& warning : prismel::gradientsFileWarnings(path, read))
        printError(warning);
    return std::move(read.file.gradients);
}

// --list-gradients: the built-in names, then the user's, each once.
int listGradients(const std::vector<prismel::NamedGradient>& own)
{
    std::string names;
    std::unordered_set<std::u16string_view> listed;
    for (const auto* list : {&prismel::builtinGradients(), &own}) {
        for (const auto& named : *list) {
            if (!listed.insert(named.name).second)
                continue;
            const std::u8string name = prismel::toUtf8(named.name);
            names.append(name.begin(), name.end());
            names += '\n';
        }
    }
    const int error = prismel::writeAll(STDOUT_FILENO, names);
    return error == 0 ? EX_OK : writeFailed(error);
}

// One conversion of the input to standard output, in the steps the methods name; each gives the
// exit status when the conversion cannot go on. `allocating` names what the memory is for at
// each step, for the message when it runs out.
class Conversion {
public:
    Conversion(const prismel::cli::Options& options, const prismel::Gradient& gradient,
               const char*& allocating)
        : m_options(options), m_allocating(allocating), m_request{options.step, options.tags,
                                                                  gradient, options.conversion}
    {
    }

    int run()
    {
        if (const auto exit = readInput())
            return *exit;
        if (const auto exit = checkText())
            return *exit;
        if (const auto exit = fitStep())
            return *exit;
        return writeCode();
    }

private:
    using Exit = std::optional<int>;

    // Fitting reads the text many times, so a file is copied for it: every pass then sees the
    // same bytes. The conversion alone reads a file where it lies, and asks at the end whether
    // it changed.
    Exit readInput()
    {
        m_allocating = "the input";
        const bool useStdin = m_options.file == "-";
        m_inputName = useStdin ? std::string("standard input") : m_options.file;
        const int fd =
            useStdin ? STDIN_FILENO : ::open(m_options.file.c_str(), O_RDONLY | O_CLOEXEC);
        const int openError = errno;
        m_file.reset(fd == STDIN_FILENO ? -1 : fd);
        m_fd = fd;
        const std::size_t memory = prismel::cli::availableMemory();
        const int readError =
            fd < 0 ? openError
                   : m_input.readAll(fd,
                                     m_options.fitLimit ? prismel::cli::InputBytes::Regular::Copy
                                                        : prismel::cli::InputBytes::Regular::Map,
                                     memory);
        if (readError == EFBIG) {
            printError("the input is larger than the memory available (" +
                       std::to_string(memory >> 20) + " MiB)");
            return EX_OSERR;
        }
        if (readError != 0) {
            printError("cannot read " + prismel::quoted(m_inputName) + ": " +
                       std::strerror(readError));
            return EX_NOINPUT;
        }
        prismel::cli::exitWhenPagesAreLost(m_input, "prismel-convert: " + changedMessage());
        return std::nullopt;
    }

    // The input is converted where it lies, mapped or copied; one pass checks it and counts its
    // UTF-16 units, the measure of steps and positions.
    Exit checkText()
    {
        m_bytes = m_input.bytes();
        // Taken before the check, so that any change after it shows at the end.
        m_fingerprint = m_input.mapped() ? prismel::cli::fingerprintOf(m_bytes) : 0;
        const std::size_t bomSize = prismel::cli::byteOrderMarkSize(m_bytes);
        m_bytes.remove_prefix(bomSize);
        const prismel::cli::Utf8Check check = prismel::cli::checkUtf8(m_bytes);
        if (check.errorOffset) {
            // A file caught half rewritten can read as bad UTF-8 that is not in it.
            if (m_input.changedSinceRead(m_fd))
                return changed();
            printError("input is not valid UTF-8: bad byte at offset " +
                       std::to_string(bomSize + *check.errorOffset));
            return EX_DATAERR;
        }
        m_text = {reinterpret_cast<const char8_t*>(m_bytes.data()), m_bytes.size()};
        m_textUnits = check.utf16Units;
        // The terminal's escaping takes escape sequences out before anything is measured, so
        // that the step --stats reports is the one the conversion takes.
        m_allocating = "the input without its escape sequences";
        if (m_options.conversion.escaping == prismel::Escaping::Terminal)
            m_stripped = prismel::withoutEscapeSequences(m_text);
        if (m_stripped) {
            m_text = *m_stripped;
            m_textUnits = prismel::utf16Units(m_text);
        }
        return std::nullopt;
    }

    // Fitting measures the code at many steps with the UTF-16 core, so it works on a UTF-16
    // copy, dropped before the conversion.
    Exit fitStep()
    {
        if (!m_options.fitLimit)
            return std::nullopt;
        m_allocating = "the decoded input";
        const prismel::cli::DecodedText decoded = prismel::cli::decodeUtf8(m_bytes);
        if (decoded.changed || decoded.errorOffset)
            return changed();
        m_allocating = "measuring the code";
        const auto fit =
            prismel::fitToLength(*m_options.fitLimit, decoded.text, m_request, m_options.count);
        if (!fit.fits) {
            if (m_input.changedSinceRead(m_fd))
                return changed();
            printError("no step fits " + lengthText(*m_options.fitLimit, m_options.count) +
                       "; the shortest code is " + lengthText(fit.length, m_options.count) +
                       ", at step " + std::to_string(fit.step));
            return exitNoStepFits;
        }
        m_request.step = fit.step;
        return std::nullopt;
    }

    int writeCode()
    {
        m_allocating = "the output";
        prismel::cli::FdSink out(STDOUT_FILENO, m_options.stats);
        prismel::convertUtf8To(m_text, m_textUnits, m_request, out,
                               prismel::cli::FdSink::blockSize);
        out.finish();
        if (out.failed())
            return writeFailed(out.error());
        // A mapped file rewritten during the conversion may have handed it bytes the check never
        // saw. The file's size and time tell of a write begun since it was opened, and the
        // bytes' fingerprint of what is left of one that was under way then.
        if (m_input.changedSinceRead(m_fd) ||
            (m_input.mapped() && prismel::cli::fingerprintOf(m_input.bytes()) != m_fingerprint))
            return changed();
        if (m_options.stats) {
            const std::int32_t step =
                prismel::prepareText(m_text, m_textUnits, m_request.step).step;
            std::fprintf(stderr, "%s\n", statsLine(m_options, step, out.written()).c_str());
        }
        return EX_OK;
    }

    std::string changedMessage() const
    {
        return prismel::quoted(m_inputName) + ": the input file changed while being read";
    }

    int changed() const
    {
        printError(changedMessage());
        return EX_IOERR;
    }

    const prismel::cli::Options& m_options;
    const char*& m_allocating;
    prismel::ConvertRequest m_request;
    std::string m_inputName;
    prismel::FileDescriptor
        m_file; // kept open to the end, to ask whether the file changed meanwhile
    int m_fd = -1;
    prismel::cli::InputBytes m_input;
    std::string_view m_bytes; // without a byte order mark
    std::uint64_t m_fingerprint = 0;
    std::u8string_view m_text; // what is converted
    std::int64_t m_textUnits = 0;
    std::optional<std::u8string> m_stripped;
};

// Does as the command line asks.
int convert(int argc, char** argv, const char*& allocating)
{
    const auto parsed = prismel::cli::parseArguments(
        std::span<const char* const>(argv + 1, static_cast<std::size_t>(argc > 0 ? argc - 1 : 0)));
    if (const auto* error = std::get_if<prismel::cli::UsageError>(&parsed)) {
        printError(error->message);
        return EX_USAGE;
    }
    if (const auto* info = std::get_if<prismel::cli::Info>(&parsed)) {
        const int error = prismel::writeAll(STDOUT_FILENO, info->text);
        return error == 0 ? EX_OK : writeFailed(error);
    }
    const auto& options = std::get<prismel::cli::Options>(parsed);
    const std::vector<prismel::NamedGradient> own = userGradients(options);
    if (options.listGradients)
        return listGradients(own);
    const auto resolved = prismel::cli::resolveGradient(options, own);
    if (const auto* error = std::get_if<prismel::cli::UsageError>(&resolved)) {
        printError(error->message);
        return EX_USAGE;
    }
    return Conversion(options, std::get<prismel::Gradient>(resolved), allocating).run();
}

} // namespace

int main(int argc, char** argv)
{
    // A closed pipe must be an exit code the caller can read, not death by signal.
    std::signal(SIGPIPE, SIG_IGN);
    const char* allocating = "the command line";
    try {
        return convert(argc, argv, allocating);
    } catch (const std::bad_alloc&) {
        // No std::string here: building one could fail in turn.
        std::fprintf(stderr, "prismel-convert: not enough memory for %s\n", allocating);
        return EX_OSERR;
    } catch (const std::length_error&) {
        std::fprintf(stderr, "prismel-convert: not enough memory for %s\n", allocating);
        return EX_OSERR;
    } catch (const std::exception&) {
        // The library's own words would mean nothing to the user.
        std::fprintf(stderr, "prismel-convert: the system failed while handling %s\n", allocating);
        return EX_OSERR;
    }
}
