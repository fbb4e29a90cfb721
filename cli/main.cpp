// prismel-convert: the window's conversion for scripts and batch work.

#include "cli/options.h"
#include "cli/output.h"
#include "cli/utf8.h"
#include "core/codelength.h"
#include "core/conversion.h"
#include "core/fit.h"
#include "core/step.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <new>
#include <string>
#include <sys/stat.h>
#include <sysexits.h>
#include <unistd.h>

namespace {

// <sysexits.h> has no name for "did what was asked, and the answer is no".
constexpr int exitNoStepFits = 1;

void printError(const std::string& message)
{
    std::fprintf(stderr, "prismel-convert: %s\n", message.c_str());
}

// Reads all of `fd`; returns errno on failure, 0 on success.
int readAll(int fd, std::string& bytes)
{
    // A file's size is known: one allocation of that size keeps the peak at the file itself
    // instead of a copy while growing.
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0)
        bytes.reserve(static_cast<std::size_t>(info.st_size));
    char chunk[64 * 1024];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n == 0)
            return 0;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        bytes.append(chunk, static_cast<std::size_t>(n));
    }
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
std::string statsLine(const prismel::cli::Options& options, std::u16string_view text,
                      std::u16string_view stepText)
{
    const prismel::CodeLength length(text, options.tags, options.colors, options.conversion);
    const std::int32_t step = prismel::effectiveStep(stepText, length.textSize());
    std::string line = "step " + std::to_string(step);
    for (const auto unit :
         {prismel::LengthUnit::Chars, prismel::LengthUnit::Bytes, prismel::LengthUnit::Units}) {
        if (unit != prismel::LengthUnit::Units || options.count == unit)
            line += ", " + lengthText(length.at(step, unit), unit);
    }
    return line;
}

int writeFailed(int error)
{
    printError(std::string("cannot write to standard output: ") + std::strerror(error));
    return EX_IOERR;
}

// Converts as the command line asks; `allocating` names what the memory is for at each stage,
// for the message when it runs out.
int convert(int argc, char** argv, const char*& allocating)
{
    const auto parsed = prismel::cli::parseArguments(
        std::span<const char* const>(argv + 1, static_cast<std::size_t>(argc > 0 ? argc - 1 : 0)));
    if (const auto* error = std::get_if<prismel::cli::UsageError>(&parsed)) {
        printError(error->message);
        return EX_USAGE;
    }
    if (const auto* info = std::get_if<prismel::cli::Info>(&parsed)) {
        const int error = prismel::cli::writeAll(STDOUT_FILENO, info->text);
        return error == 0 ? EX_OK : writeFailed(error);
    }
    const auto& options = std::get<prismel::cli::Options>(parsed);

    allocating = "the input";
    std::string bytes;
    {
        const bool useStdin = options.file == "-";
        const int fd = useStdin ? STDIN_FILENO : ::open(options.file.c_str(), O_RDONLY | O_CLOEXEC);
        const int readError = fd < 0 ? errno : readAll(fd, bytes);
        if (fd >= 0 && !useStdin)
            ::close(fd);
        if (readError != 0) {
            printError("cannot read '" + (useStdin ? std::string("standard input") : options.file) +
                       "': " + std::strerror(readError));
            return EX_NOINPUT;
        }
    }

    allocating = "the decoded input";
    auto decoded = prismel::cli::decodeUtf8(bytes);
    if (decoded.errorOffset) {
        printError("input is not valid UTF-8: bad byte at offset " +
                   std::to_string(*decoded.errorOffset));
        return EX_DATAERR;
    }
    std::string().swap(bytes); // the UTF-16 copy is all that is needed from here on

    std::u16string stepText = options.stepText;
    if (options.fitLimit) {
        allocating = "measuring the code";
        const auto fit =
            prismel::fitToLength(*options.fitLimit, decoded.text, options.stepText, options.tags,
                                 options.colors, options.conversion, options.count);
        if (!fit.fits) {
            printError("no step fits " + lengthText(*options.fitLimit, options.count) +
                       "; the shortest code is " + lengthText(fit.length, options.count) +
                       ", at step " + std::to_string(fit.step));
            return exitNoStepFits;
        }
        const std::string step = std::to_string(fit.step);
        stepText.assign(step.begin(), step.end());
    }

    allocating = "the output";
    prismel::cli::Utf8Output out(STDOUT_FILENO);
    prismel::convertTextTo(
        decoded.text, stepText, options.tags, options.colors,
        [&out](std::u16string_view piece) { out.append(piece); }, options.conversion);
    if (!out.flush())
        return writeFailed(out.error());
    if (options.stats) {
        allocating = "measuring the code";
        std::fprintf(stderr, "%s\n", statsLine(options, decoded.text, stepText).c_str());
    }
    return EX_OK;
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
    } catch (const std::exception& error) {
        std::fprintf(stderr, "prismel-convert: %s\n", error.what()); // a message, never an abort
        return EX_SOFTWARE;
    }
}
