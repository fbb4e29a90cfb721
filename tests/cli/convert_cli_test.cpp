// Runs the built prismel-convert on files and pipes and checks its bytes and exit codes.

#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

enum class Sink { File, DevFull, ClosedPipe };
enum class Source { File, Pipe };

struct RunResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

std::string slurp(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

fs::path scratch(const std::string& name)
{
    const auto dir = fs::temp_directory_path() / ("prismel-cli-" + std::to_string(getpid()));
    fs::create_directories(dir);
    return dir / name;
}

RunResult run(std::vector<std::string> args, const std::string& input, Source source = Source::File,
              Sink sink = Sink::File)
{
    const auto inPath = scratch("stdin"), outPath = scratch("stdout"), errPath = scratch("stderr");
    std::ofstream(inPath, std::ios::binary) << input;
    int inPipe[2] = {-1, -1}, outPipe[2] = {-1, -1};
    if (source == Source::Pipe && pipe(inPipe) != 0)
        return {};
    if (sink == Sink::ClosedPipe && pipe(outPipe) != 0)
        return {};

    const pid_t pid = fork();
    if (pid == 0) {
        if (source == Source::Pipe) {
            dup2(inPipe[0], 0);
            close(inPipe[1]);
        } else {
            dup2(open(inPath.c_str(), O_RDONLY), 0);
        }
        if (sink == Sink::ClosedPipe) {
            close(outPipe[0]);
            dup2(outPipe[1], 1);
        } else {
            dup2(open(sink == Sink::DevFull ? "/dev/full" : outPath.c_str(),
                      O_WRONLY | O_CREAT | O_TRUNC, 0600),
                 1);
        }
        dup2(open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
        std::vector<char*> argv{const_cast<char*>(PRISMEL_CONVERT_PATH)};
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    if (source == Source::Pipe) {
        close(inPipe[0]);
        (void)!write(inPipe[1], input.data(), input.size());
        close(inPipe[1]);
    }
    if (sink == Sink::ClosedPipe) {
        close(outPipe[0]);
        close(outPipe[1]);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    RunResult result;
    // Death by a signal (SIGPIPE above all) shows as 128 + signal, never as a clean code.
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.out = sink == Sink::File ? slurp(outPath) : "";
    result.err = slurp(errPath);
    return result;
}

struct OutputCase {
    const char* name;
    std::vector<std::string> args;
    std::string input;
    std::string expected;
};

class ConvertOutput : public testing::TestWithParam<OutputCase> {};

TEST_P(ConvertOutput, ExactBytes)
{
    const auto& c = GetParam();
    const RunResult r = run(c.args, c.input);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, c.expected);
    EXPECT_EQ(r.err, "");
}

void PrintTo(const OutputCase& c, std::ostream* os)
{
    *os << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ConvertOutput,
    testing::Values(
        OutputCase{"defaults_are_the_windows",
                   {},
                   "ABC",
                   "[color=#AA55AA]A[/color][color=#55AA55]B[/color][color=#00FF00]C[/color]"},
        OutputCase{
            "dash_reads_stdin", {"-"}, "AB", "[color=#808080]A[/color][color=#00FF00]B[/color]"},
        OutputCase{"html",
                   {"--format", "html"},
                   "AB",
                   "<font color=808080>A</font><font color=00FF00>B</font>"},
        OutputCase{"ubb_has_no_hash",
                   {"--format=ubb"},
                   "AB",
                   "[color=808080]A[/color][color=00FF00]B[/color]"},
        OutputCase{"qq", {"--format", "qq"}, "AB", "[ftc=808080]A[/ft][ftc=00FF00]B[/ft]"},
        OutputCase{"empty_head", {"--head="}, "AB", "808080]A[/color]00FF00]B[/color]"},
        OutputCase{"head_starting_with_dash", {"--head", "-x"}, "A", "-x00FF00]A[/color]"},
        OutputCase{"step_two",
                   {"--step", "2"},
                   "ABCDE",
                   "[color=#CC33CC]AB[/color][color=#669966]CD[/color][color=#00FF00]E[/color]"},
        OutputCase{"step_text_like_the_field",
                   {"--step=2.5abc"},
                   "ABCDE",
                   "[color=#CC33CC]AB[/color][color=#669966]CD[/color][color=#00FF00]E[/color]"},
        OutputCase{"colours_any_case_and_hash",
                   {"--start", "#0000ff", "--end=FF0000", "--format", "html"},
                   "AB",
                   "<font color=800080>A</font><font color=FF0000>B</font>"},
        OutputCase{"bom_dropped",
                   {"--format=html"},
                   "\xEF\xBB\xBF"
                   "AB",
                   "<font color=808080>A</font><font color=00FF00>B</font>"},
        OutputCase{
            "crlf_kept", {}, "A\r\nB", "[color=#BF40BF]A[/color]\r\n[color=#00FF00]B[/color]"},
        OutputCase{"emoji_not_split",
                   {},
                   "A\xF0\x9F\x98\x80"
                   "B",
                   "[color=#BF40BF]A[/color][color=#808080]\xF0\x9F\x98\x80[/color]"
                   "[color=#00FF00]B[/color]"},
        OutputCase{"empty_input", {}, "", ""}, OutputCase{"spaces_only", {}, "   ", ""}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(ConvertCli, ReadsNamedFileAndPipe)
{
    const auto file = scratch("named.txt");
    std::ofstream(file, std::ios::binary) << "彩虹";
    const std::string expected = "[color=#808080]彩[/color][color=#00FF00]虹[/color]";
    EXPECT_EQ(run({file.string()}, "").out, expected);
    EXPECT_EQ(run({}, "彩虹", Source::Pipe).out, expected);
}

TEST(ConvertCli, HelpAndVersion)
{
    EXPECT_EQ(run({"--version"}, "").out, "prismel-convert 2.00\n");
    const RunResult help = run({"--help"}, "");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("--format html|ubb|qq"), std::string::npos);
}

struct ErrorCase {
    const char* name;
    std::vector<std::string> args;
    std::string input;
    Sink sink;
    int exitCode;
    std::string messagePart;
};

TEST(ConvertCli, Errors)
{
    const ErrorCase cases[] = {
        {"unknown_option", {"--colour", "x"}, "A", Sink::File, 64, "unknown option '--colour'"},
        {"missing_value", {"--step"}, "A", Sink::File, 64, "needs a value"},
        {"bad_colour", {"--end", "12345G"}, "A", Sink::File, 64, "not six hexadecimal digits"},
        {"bad_format", {"--format", "bbcode"}, "A", Sink::File, 64, "unknown format"},
        {"not_utf8", {}, "AB\xC3\x28", Sink::File, 65, "offset 2"},
        {"missing_file",
         {"/nonexistent/in.txt"},
         "",
         Sink::File,
         66,
         "'/nonexistent/in.txt': No such file or directory"},
        {"directory", {"/"}, "", Sink::File, 66, "Is a directory"},
        {"full_disk", {}, "ABC", Sink::DevFull, 74, "No space left on device"},
        {"closed_pipe", {}, std::string(200'000, 'x'), Sink::ClosedPipe, 74, "Broken pipe"},
    };
    for (const auto& c : cases) {
        const RunResult r = run(c.args, c.input, Source::File, c.sink);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.name;
        EXPECT_EQ(r.out, "") << c.name;
        EXPECT_NE(r.err.find(c.messagePart), std::string::npos) << c.name << ": " << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << c.name;
    }
}

} // namespace
