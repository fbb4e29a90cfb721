// Runs the built prismel-convert on files and pipes and checks its bytes and exit codes.

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

// AddressSanitizer reserves terabytes of address space, so an address-space limit says nothing
// about a sanitized converter.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool underAsan = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool underAsan = true;
#else
constexpr bool underAsan = false;
#endif
#else
constexpr bool underAsan = false;
#endif

// Where standard input comes from: a file opened on it, or a pipe the test writes into.
enum class Source { File, Pipe };
// Where standard output goes: a file the test reads back, /dev/full, or a pipe closed at once.
enum class Sink { File, DevFull, ClosedPipe };

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

fs::path scratchDir()
{
    return fs::temp_directory_path() / ("prismel-cli-" + std::to_string(getpid()));
}

fs::path scratch(const std::string& name)
{
    fs::create_directories(scratchDir());
    return scratchDir() / name;
}

class ScratchCleanup : public testing::Environment {
public:
    void TearDown() override
    {
        std::error_code ignored;
        fs::remove_all(scratchDir(), ignored);
    }
};

const auto* const cleanup = testing::AddGlobalTestEnvironment(new ScratchCleanup);

RunResult run(std::vector<std::string> args, const std::string& input, Source source = Source::File,
              Sink sink = Sink::File, rlim_t addressSpace = RLIM_INFINITY)
{
    // A converter that stops reading early must not take this process down with it.
    std::signal(SIGPIPE, SIG_IGN);
    const auto inPath = scratch("stdin"), outPath = scratch("stdout"), errPath = scratch("stderr");
    std::ofstream(inPath, std::ios::binary) << input;
    int inPipe[2] = {-1, -1}, outPipe[2] = {-1, -1};
    if (source == Source::Pipe && pipe(inPipe) != 0)
        return {};
    if (sink == Sink::ClosedPipe) {
        if (pipe(outPipe) != 0)
            return {};
        // Closed before fork(): were the read end still open in this process, the child's first
        // small write could land in the pipe's buffer and succeed.
        close(outPipe[0]);
    }

    const pid_t pid = fork();
    if (pid == 0) {
        if (source == Source::Pipe) {
            dup2(inPipe[0], 0);
            close(inPipe[0]);
            close(inPipe[1]);
        } else {
            dup2(open(inPath.c_str(), O_RDONLY), 0);
        }
        if (sink == Sink::ClosedPipe) {
            dup2(outPipe[1], 1);
            close(outPipe[1]);
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
        const rlimit limit{addressSpace, addressSpace};
        if (addressSpace != RLIM_INFINITY)
            setrlimit(RLIMIT_AS, &limit);
        execv(argv[0], argv.data());
        _exit(127);
    }
    if (source == Source::Pipe) {
        close(inPipe[0]);
        // Written in full before the converter can answer: it reads everything first.
        std::size_t done = 0;
        while (done < input.size()) {
            const ssize_t n = write(inPipe[1], input.data() + done, input.size() - done);
            if (n <= 0)
                break;
            done += static_cast<std::size_t>(n);
        }
        close(inPipe[1]);
    }
    if (sink == Sink::ClosedPipe)
        close(outPipe[1]);
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
    Source source = Source::File;
    std::string log{}; // all of standard error
};

// Names the row in test listings; ctest's discovered names would otherwise carry a byte dump.
void PrintTo(const OutputCase& c, std::ostream* os)
{
    *os << c.name;
}

class ConvertOutput : public testing::TestWithParam<OutputCase> {};

TEST_P(ConvertOutput, ExactBytes)
{
    const auto& c = GetParam();
    const RunResult r = run(c.args, c.input, c.source);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, c.expected);
    EXPECT_EQ(r.err, c.log);
}

const std::string abDefault = "[color=#808080]A[/color][color=#00FF00]B[/color]";
const std::string abcDefault =
    "[color=#AA55AA]A[/color][color=#55AA55]B[/color][color=#00FF00]C[/color]";
const std::string abcdeStepTwo =
    "[color=#CC33CC]AB[/color][color=#669966]CD[/color][color=#00FF00]E[/color]";
const std::string abHtml = "<font color=808080>A</font><font color=00FF00>B</font>";

INSTANTIATE_TEST_SUITE_P(
    Markup, ConvertOutput,
    testing::Values(
        OutputCase{"defaults_are_the_windows", {}, "ABC", abcDefault},
        OutputCase{"spaces_trimmed", {}, "  AB  ", abDefault},
        OutputCase{"html", {"--format", "html"}, "AB", abHtml},
        OutputCase{"ubb_has_no_hash",
                   {"--format=ubb"},
                   "AB",
                   "[color=808080]A[/color][color=00FF00]B[/color]"},
        OutputCase{"qq", {"--format", "qq"}, "AB", "[ftc=808080]A[/ft][ftc=00FF00]B[/ft]"},
        OutputCase{"mid_before_format_still_wins",
                   {"--mid", ":", "--format", "html"},
                   "AB",
                   "<font color=808080:A</font><font color=00FF00:B</font>"},
        OutputCase{"close_after_format_wins",
                   {"--format=qq", "--close=|"},
                   "AB",
                   "[ftc=808080]A|[ftc=00FF00]B|"},
        OutputCase{"empty_head", {"--head="}, "AB", "808080]A[/color]00FF00]B[/color]"},
        // Another program's colours and cursor moves are taken out before the text is measured;
        // a control character left is shown as its picture.
        OutputCase{"ansi_recolours_and_pictures_controls",
                   {"--format", "ansi-16", "--stats"},
                   "\x1b[1;31mA\x1b[0m\x07"
                   "B ",
                   "\x1b[35mA\x1b[39m\x1b[32m\u2407\x1b[39m\x1b[92mB\x1b[39m",
                   Source::File,
                   "step 1, 33 characters, 35 bytes\n"},
        OutputCase{"irc_merged_with_decorations",
                   {"--format", "irc", "--merge", "--bold", "--start", "red", "--end", "red"},
                   "A,B",
                   "\x02\x03"
                   "04A,B\x0f"},
        OutputCase{"empty_template", {"--head=", "--mid=", "--close="}, "AB", "808080A00FF00B"},
        // Tags too long for the converter's fixed-size copies take the general path.
        OutputCase{"long_tags",
                   {"--head=<span style=\"color:#", "--close=</span><!-- rainbow -->"},
                   "AB",
                   "<span style=\"color:#808080]A</span><!-- rainbow -->"
                   "<span style=\"color:#00FF00]B</span><!-- rainbow -->"},
        OutputCase{"head_starting_with_dash", {"--head", "-x"}, "A", "-x00FF00]A[/color]"},
        OutputCase{"head_after_equals_with_dash", {"--head=-x"}, "A", "-x00FF00]A[/color]"},
        OutputCase{"head_with_equals_inside", {"--head=a=b"}, "A", "a=b00FF00]A[/color]"},
        OutputCase{"step_two", {"--step", "2"}, "ABCDE", abcdeStepTwo},
        OutputCase{"step_text_like_the_field", {"--step=2.5abc"}, "ABCDE", abcdeStepTwo},
        OutputCase{"negative_step_falls_back", {"--step", "-2"}, "ABC", abcDefault},
        OutputCase{"step_of_whole_length_falls_back", {"--step", "3"}, "ABC", abcDefault},
        OutputCase{"step_without_number_falls_back", {"--step="}, "ABC", abcDefault}),
    [](const auto& row) { return std::string(row.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Colours, ConvertOutput,
    testing::Values(OutputCase{"hash_lower_and_plain_upper",
                               {"--start", "#0000ff", "--end=FF0000", "--format", "html"},
                               "AB",
                               "<font color=800080>A</font><font color=FF0000>B</font>"},
                    OutputCase{"plain_lower_and_hash_upper",
                               {"--start=00ff00", "--end", "#0000FF", "--format=html"},
                               "AB",
                               "<font color=008080>A</font><font color=0000FF>B</font>"},
                    OutputCase{"mixed_case",
                               {"--start", "aBcDeF", "--end", "AbCdEf", "--format=html"},
                               "A",
                               "<font color=ABCDEF>A</font>"}),
    [](const auto& row) { return std::string(row.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Text, ConvertOutput,
    testing::Values(
        OutputCase{"bom_dropped",
                   {"--format=html"},
                   "\xEF\xBB\xBF"
                   "AB",
                   abHtml},
        OutputCase{"crlf_kept_step_one",
                   {},
                   "A\r\nB",
                   "[color=#BF40BF]A[/color]\r\n[color=#00FF00]B[/color]"},
        OutputCase{"crlf_kept_step_two",
                   {"--step", "2"},
                   "A\r\nB",
                   "[color=#BF40BF]A\r[/color][color=#40BF40]\nB[/color]"},
        OutputCase{"emoji_not_split",
                   {},
                   "A\xF0\x9F\x98\x80"
                   "B",
                   "[color=#BF40BF]A[/color][color=#808080]\xF0\x9F\x98\x80[/color]"
                   "[color=#00FF00]B[/color]"},
        OutputCase{"chinese", {}, "彩虹", "[color=#808080]彩[/color][color=#00FF00]虹[/color]"},
        OutputCase{"empty_input", {}, "", ""}, OutputCase{"spaces_only", {}, "   ", ""}),
    [](const auto& row) { return std::string(row.param.name); });

INSTANTIATE_TEST_SUITE_P(
    StandardInput, ConvertOutput,
    testing::Values(
        OutputCase{"redirected_file_no_name", {}, "AB", abDefault, Source::File},
        OutputCase{"redirected_file_dash", {"-"}, "AB", abDefault, Source::File},
        OutputCase{"pipe_no_name", {}, "AB", abDefault, Source::Pipe},
        OutputCase{"pipe_dash", {"-"}, "AB", abDefault, Source::Pipe},
        OutputCase{
            "pipe_after_options", {"--step", "2", "-"}, "ABCDE", abcdeStepTwo, Source::Pipe}),
    [](const auto& row) { return std::string(row.param.name); });

// Default tags cost 23 characters a chunk: "ABCDE" is 120 long at step 1, 74 at step 2 and 51 at
// steps 3 and 4. Three emoji are 3 characters, 12 bytes and 6 UTF-16 units; steps 1 and 2 give them
// three chunks, steps 3 and 4 two, step 5 one.
INSTANTIATE_TEST_SUITE_P(
    ForumFit, ConvertOutput,
    testing::Values(
        OutputCase{"merge_same_colour_runs",
                   {"--merge", "--start", "000000", "--end", "000003"},
                   "AAAA BBBB",
                   "[color=#000000]A[/color][color=#000001]AAA[/color] [color=#000002]BB[/color]"
                   "[color=#000003]BB[/color]"},
        OutputCase{"fit_exactly_at_the_limit", {"--fit", "74"}, "ABCDE", abcdeStepTwo},
        OutputCase{"fit_never_goes_below_the_given_step",
                   {"--step", "3", "--fit", "1000"},
                   "ABCDE",
                   "[color=#CC33CC]ABC[/color][color=#33CC33]DE[/color]"},
        OutputCase{"fit_with_merge_keeps_step_one",
                   {"--merge", "--fit", "27", "--start", "000000", "--end", "000000"},
                   "ABCD",
                   "[color=#000000]ABCD[/color]"},
        // 75 characters fit at step 2, but the 87 bytes there do not; step 3 has 64.
        OutputCase{"fit_chinese_in_bytes",
                   {"--fit", "75", "--count", "bytes"},
                   "彩虹字真好看",
                   "[color=#D42AD4]彩虹字[/color][color=#55AA55]真好看[/color]"},
        OutputCase{"fit_emoji_in_units_needs_a_longer_step",
                   {"--fit", "50", "--count", "units"},
                   "😀😀😀",
                   "[color=#D42AD4]😀😀😀[/color]"},
        OutputCase{"stats_after_the_code",
                   {"--step", "2", "--stats"},
                   "ABCDE",
                   abcdeStepTwo,
                   Source::File,
                   "step 2, 74 characters, 74 bytes\n"},
        OutputCase{"stats_names_the_fitted_step",
                   {"--fit", "75", "--count", "bytes", "--stats"},
                   "彩虹字真好看",
                   "[color=#D42AD4]彩虹字[/color][color=#55AA55]真好看[/color]",
                   Source::File,
                   "step 3, 52 characters, 64 bytes\n"},
        OutputCase{"stats_adds_units_when_they_are_the_count",
                   {"--count", "units", "--stats"},
                   "😀",
                   "[color=#808080]😀[/color]",
                   Source::File,
                   "step 1, 24 characters, 27 bytes, 25 UTF-16 units\n"}),
    [](const auto& row) { return std::string(row.param.name); });

// Two stops halve to 80 at the middle; the rainbow's middle lies half-way from lime to cyan.
INSTANTIATE_TEST_SUITE_P(
    Gradients, ConvertOutput,
    testing::Values(OutputCase{"stops_short_hex",
                               {"--stops", "#000, #fff", "--format=html"},
                               "AB",
                               "<font color=808080>A</font><font color=FFFFFF>B</font>"},
                    OutputCase{"stops_with_a_place",
                               {"--stops=red, blue 50%, lime", "--format=html"},
                               "ABCD",
                               "<font color=800080>A</font><font color=0000FF>B</font>"
                               "<font color=008080>C</font><font color=00FF00>D</font>"},
                    OutputCase{"names_for_start_and_end",
                               {"--start", "Black", "--end", "#00F", "--format=html", "--reverse"},
                               "AB",
                               "<font color=000080>A</font><font color=000000>B</font>"},
                    OutputCase{"named_gradient",
                               {"--gradient", "rainbow", "--format=html"},
                               "AB",
                               "<font color=00FF80>A</font><font color=FF00FF>B</font>"},
                    OutputCase{"oklch_ends_on_the_end_colour",
                               {"--space", "oklch", "--hue", "longer", "--format=html"},
                               "A",
                               "<font color=00FF00>A</font>"},
                    OutputCase{"per_line",
                               {"--per-line", "--format=html"},
                               "AB\r\nCD",
                               "<font color=808080>A</font><font color=00FF00>B</font>\r\n"
                               "<font color=808080>C</font><font color=00FF00>D</font>"},
                    OutputCase{"ansi",
                               {"--format", "ansi"},
                               "AB",
                               "\x1b[38;2;128;128;128mA\x1b[39m\x1b[38;2;0;255;0mB\x1b[39m"},
                    OutputCase{"ansi_merged",
                               {"--format", "ansi", "--merge", "--stops", "black, black"},
                               "A B",
                               "\x1b[38;2;0;0;0mA B\x1b[39m"},
                    OutputCase{"ansi_stats",
                               {"--format", "ansi", "--stats"},
                               "AB",
                               "\x1b[38;2;128;128;128mA\x1b[39m\x1b[38;2;0;255;0mB\x1b[39m",
                               Source::File,
                               "step 1, 46 characters, 46 bytes\n"}),
    [](const auto& row) { return std::string(row.param.name); });

// The fitted step is the first whose code, written out at that step, is short enough.
TEST(ConvertCli, FitFindsTheFirstStepThatFitsWithGradientsAndAnsi)
{
    const std::string text = "彩虹 rainbow\r\n字 😀 line two and some more";
    const std::vector<std::vector<std::string>> looks{
        {"--format", "ansi"},
        {"--format", "ansi", "--merge", "--per-line"},
        {"--gradient", "sunset", "--merge"},
        {"--stops", "red, red 50%, blue", "--merge", "--per-line", "--reverse"}};
    for (const auto& look : looks) {
        std::vector<std::size_t> lengths{0}; // the code's length at each step from 1
        for (int step = 1; step < 40; ++step) {
            auto args = look;
            args.insert(args.end(), {"--step", std::to_string(step)});
            lengths.push_back(run(args, text).out.size());
        }
        for (const std::size_t limit : {lengths[1], lengths[3] - 1, lengths[7]}) {
            auto args = look;
            args.insert(args.end(), {"--fit", std::to_string(limit), "--count", "bytes"});
            const RunResult r = run(args, text);
            const auto first = static_cast<std::size_t>(
                std::find_if(lengths.begin() + 1, lengths.end(),
                             [&](std::size_t length) { return length <= limit; }) -
                lengths.begin());
            ASSERT_EQ(r.exitCode, 0) << r.err;
            auto stepArgs = look;
            stepArgs.insert(stepArgs.end(), {"--step", std::to_string(first)});
            EXPECT_EQ(r.out, run(stepArgs, text).out) << look.front() << " fit " << limit;
        }
    }
}

// The user's gradients come from $XDG_CONFIG_HOME/prismel/gradients.
class UserGradientsFile : public testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(scratch("config") / "prismel");
        setenv("XDG_CONFIG_HOME", scratch("config").c_str(), 1);
    }
    void TearDown() override { unsetenv("XDG_CONFIG_HOME"); }

    static void write(const std::string& text)
    {
        std::ofstream(scratch("config") / "prismel" / "gradients", std::ios::binary) << text;
    }
};

TEST_F(UserGradientsFile, GoodLinesLoadAndEachBadLineIsToldWithItsNumber)
{
    write("# my gradients\n"
          "grey: black, white\n"
          "broken: red 120%, blue\n"
          "rainbow: oklab: red, blue\n");
    const RunResult list = run({"--list-gradients"}, "");
    EXPECT_EQ(list.exitCode, 0);
    EXPECT_TRUE(list.out.starts_with("rainbow\npastel\n")) << list.out;
    EXPECT_TRUE(list.out.ends_with("\ngrey\n")) << list.out; // a user's rainbow is listed once
    EXPECT_EQ(std::count(list.out.begin(), list.out.end(), '\n'), 8) << list.out;
    EXPECT_NE(list.err.find("prismel/gradients:3: position '120%' lies outside 0% to 100%"),
              std::string::npos)
        << list.err;
    EXPECT_EQ(std::count(list.err.begin(), list.err.end(), '\n'), 1) << list.err;

    const RunResult grey = run({"--gradient", "grey", "--format=html"}, "AB");
    EXPECT_EQ(grey.exitCode, 0);
    EXPECT_EQ(grey.out, "<font color=808080>A</font><font color=FFFFFF>B</font>");
    const RunResult own = run({"--gradient", "rainbow", "--space", "rgb", "--format=html"}, "AB");
    EXPECT_EQ(own.out, "<font color=800080>A</font><font color=0000FF>B</font>");
}

TEST_F(UserGradientsFile, AMissingFileIsNoFault)
{
    fs::remove(scratch("config") / "prismel" / "gradients");
    const RunResult list = run({"--list-gradients"}, "");
    EXPECT_EQ(list.exitCode, 0);
    EXPECT_EQ(list.err, "");
    EXPECT_EQ(std::count(list.out.begin(), list.out.end(), '\n'), 7) << list.out;
}

// Whatever stands in the gradients file's place, the built-in gradients work and one line says
// what is wrong; nothing waits on a FIFO.
TEST_F(UserGradientsFile, WhatIsNoFileIsToldInOneLineAndTheBuiltInsStillWork)
{
    const fs::path path = scratch("config") / "prismel" / "gradients";
    for (const bool fifo : {true, false}) {
        fs::remove_all(path);
        if (fifo)
            ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
        else
            fs::create_directory(path);
        const RunResult r = run({"--gradient", "rainbow", "--format=html"}, "AB");
        EXPECT_EQ(r.exitCode, 0);
        EXPECT_EQ(r.out, "<font color=00FF80>A</font><font color=FF00FF>B</font>");
        EXPECT_EQ(r.err, "prismel-convert: " + path.string() + ": not a regular file\n");
    }
    fs::remove_all(path);
}

// A value quoted in a message shows its control characters as escapes, on one line.
TEST(ConvertCli, MessagesShowControlCharactersEscaped)
{
    const struct {
        std::vector<std::string> args;
        std::string err;
    } rows[] = {
        {{"--gradient", "\x1b[2Jx"},
         "unknown gradient '\\x1b[2Jx'; 'prismel-convert --list-gradients' names them"},
        {{"--count", "a\nb\tc"}, "unknown count 'a\\nb\\tc': choose"},
        {{"--start", std::string(300, 'x')}, "colour '" + std::string(100, 'x') + "…"},
    };
    for (const auto& row : rows) {
        const RunResult r = run(row.args, "AB");
        EXPECT_EQ(r.exitCode, 64);
        EXPECT_NE(r.err.find(row.err), std::string::npos) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    }
}

TEST(ConvertCli, ReadsTheNamedFileNotStandardInput)
{
    const auto file = scratch("named.txt");
    std::ofstream(file, std::ios::binary) << "ABC";
    const RunResult r = run({file.string()}, "ignored");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, abcDefault);
}

TEST(ConvertCli, LargeInputStreamsOutWhole)
{
    // 300000 chunks give about 7 MB of code, many times the output buffer.
    const std::string input(300'000, 'x');
    const RunResult r = run({"--format=html", "--step", "100000"}, input, Source::Pipe);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "<font color=FF00FF>" + std::string(100'000, 'x') + "</font>" +
                         "<font color=AA55AA>" + std::string(100'000, 'x') + "</font>" +
                         "<font color=55AA55>" + std::string(100'000, 'x') + "</font>");
}

TEST(ConvertCli, HelpAndVersion)
{
    const RunResult version = run({"--version"}, "");
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "prismel-convert 2.00\n");
    const RunResult help = run({"--help"}, "");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("--format html|ubb|qq"), std::string::npos);
    EXPECT_EQ(help.err, "");
}

struct ErrorCase {
    const char* name;
    std::vector<std::string> args;
    std::string input;
    Sink sink;
    int exitCode;
    std::string messagePart;
};

void PrintTo(const ErrorCase& c, std::ostream* os)
{
    *os << c.name;
}

void expectOneErrorLine(const RunResult& r, int exitCode, const std::string& messagePart)
{
    EXPECT_EQ(r.exitCode, exitCode);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find(messagePart), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_TRUE(r.err.ends_with("\n")) << r.err;
}

class ConvertError : public testing::TestWithParam<ErrorCase> {};

TEST_P(ConvertError, OneLineOnStderrNothingOnStdout)
{
    const auto& c = GetParam();
    expectOneErrorLine(run(c.args, c.input, Source::File, c.sink), c.exitCode, c.messagePart);
}

const std::string usageHint = "see 'prismel-convert --help'";

INSTANTIATE_TEST_SUITE_P(
    Usage, ConvertError,
    testing::Values(
        ErrorCase{"unknown_option", {"--colour", "x"}, "A", Sink::File, 64, "'--colour'"},
        ErrorCase{"unknown_option_with_value",
                  {"--colour=red"},
                  "A",
                  Sink::File,
                  64,
                  "unknown option '--colour'"},
        ErrorCase{"short_option", {"-s", "2"}, "A", Sink::File, 64, "unknown option '-s'"},
        ErrorCase{"hint_given", {"--bogus"}, "A", Sink::File, 64, usageHint},
        ErrorCase{"abbreviation_not_an_option",
                  {"--for", "html"},
                  "A",
                  Sink::File,
                  64,
                  "unknown option '--for'"},
        ErrorCase{
            "abbreviation_with_value", {"--hel=1"}, "A", Sink::File, 64, "unknown option '--hel'"},
        ErrorCase{"help_takes_no_value",
                  {"--help=1"},
                  "A",
                  Sink::File,
                  64,
                  "option '--help' takes no value"},
        ErrorCase{
            "missing_step_value", {"--step"}, "A", Sink::File, 64, "option '--step' needs a value"},
        ErrorCase{"missing_head_value",
                  {"-", "--head"},
                  "A",
                  Sink::File,
                  64,
                  "option '--head' needs a value"},
        ErrorCase{"one_stop", {"--stops", "red"}, "A", Sink::File, 64, "at least two stops"},
        ErrorCase{"unknown_colour_in_stops",
                  {"--stops", "red, bleu"},
                  "A",
                  Sink::File,
                  64,
                  "unknown colour 'bleu'"},
        ErrorCase{"place_past_the_end",
                  {"--stops", "red, blue 100.5%"},
                  "A",
                  Sink::File,
                  64,
                  "outside 0% to 100%"},
        ErrorCase{"empty_stop", {"--stops", "red,,blue"}, "A", Sink::File, 64, "stop 2 is empty"},
        ErrorCase{"unknown_space", {"--space", "hsl"}, "A", Sink::File, 64, "colour space 'hsl'"},
        ErrorCase{"unknown_hue", {"--space=oklch", "--hue", "up"}, "A", Sink::File, 64, "'up'"},
        ErrorCase{"hue_without_oklch",
                  {"--space", "oklab", "--hue", "longer"},
                  "A",
                  Sink::File,
                  64,
                  "only with the oklch"},
        ErrorCase{"stops_with_start",
                  {"--stops", "red, blue", "--start", "red"},
                  "A",
                  Sink::File,
                  64,
                  "--stops cannot be given with --start"},
        ErrorCase{"unknown_gradient",
                  {"--gradient", "nosuch"},
                  "A",
                  Sink::File,
                  64,
                  "unknown gradient 'nosuch'"},
        ErrorCase{"gradient_with_stops",
                  {"--gradient", "rainbow", "--stops", "red, blue"},
                  "A",
                  Sink::File,
                  64,
                  "--gradient cannot be given"},
        ErrorCase{"colour_name_unknown",
                  {"--start", "reddish"},
                  "A",
                  Sink::File,
                  64,
                  "colour 'reddish' of --start"},
        ErrorCase{"colour_with_letter_g",
                  {"--end", "12345G"},
                  "A",
                  Sink::File,
                  64,
                  "colour '12345G' of --end is not six hexadecimal digits"},
        ErrorCase{"colour_too_short",
                  {"--start=#12345"},
                  "A",
                  Sink::File,
                  64,
                  "not six hexadecimal digits"},
        ErrorCase{"colour_too_long",
                  {"--start", "1234567"},
                  "A",
                  Sink::File,
                  64,
                  "not six hexadecimal digits"},
        ErrorCase{"colour_empty", {"--start="}, "A", Sink::File, 64, "not six hexadecimal digits"},
        ErrorCase{"colour_two_hashes",
                  {"--end", "##00FF00"},
                  "A",
                  Sink::File,
                  64,
                  "not six hexadecimal digits"},
        ErrorCase{
            "unknown_format", {"--format", "phpbb"}, "A", Sink::File, 64, "unknown format 'phpbb'"},
        ErrorCase{"unknown_format_names_the_choices",
                  {"--format", "mc"},
                  "A",
                  Sink::File,
                  64,
                  "choose html, ubb, qq, ansi, bbcode, html-span, minimessage, "
                  "minimessage-gradient, minecraft, minecraft-x, minecraft-section, "
                  "minecraft-16, pango, latex, irc, ansi-256 or ansi-16;"},
        ErrorCase{"unknown_escaping",
                  {"--escape", "xml"},
                  "A",
                  Sink::File,
                  64,
                  "unknown escaping 'xml': choose none, html, latex, minimessage or terminal;"},
        ErrorCase{"decorations_with_a_typed_template",
                  {"--format", "bbcode", "--head", "[c=", "--bold"},
                  "A",
                  Sink::File,
                  64,
                  "prismel-convert: decorations need a named format;"},
        ErrorCase{"latex_strikethrough",
                  {"--format", "latex", "--strikethrough"},
                  "A",
                  Sink::File,
                  64,
                  "prismel-convert: latex has no strikethrough without extra packages;"},
        ErrorCase{"whole_text_gradient_in_oklab",
                  {"--format", "minimessage-gradient", "--space", "oklab"},
                  "A",
                  Sink::File,
                  64,
                  "minimessage-gradient mixes in rgb only"},
        ErrorCase{"whole_text_gradient_stops_not_even",
                  {"--format", "minimessage-gradient", "--stops", "red, lime 40%, blue"},
                  "A",
                  Sink::File,
                  64,
                  "minimessage-gradient needs evenly spaced stops"},
        ErrorCase{"whole_text_gradient_step_2",
                  {"--format", "minimessage-gradient", "--step", "2"},
                  "A",
                  Sink::File,
                  64,
                  "minimessage-gradient takes --step 1 only"},
        ErrorCase{
            "format_is_case_sensitive", {"--format=HTML"}, "A", Sink::File, 64, "unknown format"},
        ErrorCase{"two_files", {"a.txt", "b.txt"}, "A", Sink::File, 64, "only one input file"},
        ErrorCase{"tag_not_utf8",
                  {"--head", "\xFF"},
                  "A",
                  Sink::File,
                  64,
                  "value of --head is not valid UTF-8"}),
    [](const auto& row) { return std::string(row.param.name); });

INSTANTIATE_TEST_SUITE_P(
    ForumFit, ConvertError,
    testing::Values(
        ErrorCase{"no_step_fits_names_the_shortest",
                  {"--fit", "50"},
                  "ABCDE",
                  Sink::File,
                  1,
                  "prismel-convert: no step fits 50 characters; the shortest code is 51 "
                  "characters, at step 3\n"},
        ErrorCase{"no_step_fits_in_bytes",
                  {"--fit", "63", "--count", "bytes", "--stats"},
                  "彩虹字真好看",
                  Sink::File,
                  1,
                  "prismel-convert: no step fits 63 bytes; the shortest code is 64 bytes, at "
                  "step 3\n"},
        ErrorCase{"fit_zero",
                  {"--fit", "0"},
                  "A",
                  Sink::File,
                  64,
                  "length '0' of --fit is not a positive whole number"},
        ErrorCase{"count_unknown",
                  {"--count", "words"},
                  "A",
                  Sink::File,
                  64,
                  "unknown count 'words': choose chars, bytes or units"}),
    [](const auto& row) { return std::string(row.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Input, ConvertError,
    testing::Values(ErrorCase{"bad_continuation",
                              {},
                              "AB\xC3\x28",
                              Sink::File,
                              65,
                              "not valid UTF-8: bad byte at offset 2"},
                    ErrorCase{"offset_counts_the_bom",
                              {},
                              "\xEF\xBB\xBF"
                              "\xFF",
                              Sink::File,
                              65,
                              "offset 3"},
                    ErrorCase{"encoded_surrogate", {}, "A\xED\xA0\x80", Sink::File, 65, "offset 1"},
                    ErrorCase{
                        "truncated_at_end", {}, "ABC\xF0\x9F\x98", Sink::File, 65, "offset 3"},
                    ErrorCase{"missing_file",
                              {"/nonexistent/in.txt"},
                              "",
                              Sink::File,
                              66,
                              "cannot read '/nonexistent/in.txt': No such file or directory"},
                    ErrorCase{"directory", {"/"}, "", Sink::File, 66, "'/': Is a directory"}),
    [](const auto& row) { return std::string(row.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Output, ConvertError,
    testing::Values(
        ErrorCase{"full_disk",
                  {},
                  "ABC",
                  Sink::DevFull,
                  74,
                  "cannot write to standard output: No space left on device"},
        ErrorCase{"full_disk_help", {"--help"}, "", Sink::DevFull, 74, "No space left on device"},
        ErrorCase{"closed_pipe_small", {}, "ABC", Sink::ClosedPipe, 74, "Broken pipe"},
        ErrorCase{"closed_pipe_large",
                  {},
                  std::string(200'000, 'x'),
                  Sink::ClosedPipe,
                  74,
                  "Broken pipe"}),
    [](const auto& row) { return std::string(row.param.name); });

struct MemoryCase {
    const char* name;
    Source source;
    std::size_t inputBytes;
    std::vector<std::string> args;
    std::string message;
};

void PrintTo(const MemoryCase& c, std::ostream* os)
{
    *os << c.name;
}

class ConvertOutOfMemory : public testing::TestWithParam<MemoryCase> {};

// Out of memory was death by an uncaught std::bad_alloc (134), with no message.
TEST_P(ConvertOutOfMemory, ExitsWithTheReason)
{
    if (underAsan)
        GTEST_SKIP() << "an address-space limit does not hold under AddressSanitizer";
    const auto& c = GetParam();
    const RunResult r = run(c.args, std::string(c.inputBytes, 'x'), c.source, Sink::File, 64 << 20);
    expectOneErrorLine(r, 71, "prismel-convert: not enough memory for " + c.message + "\n");
}

// The converter is given 64 MiB of address space, of which the program and its libraries (ICU's
// data alone is 30 MB) take about 38 MiB before reading anything.
INSTANTIATE_TEST_SUITE_P(
    Memory, ConvertOutOfMemory,
    testing::Values(MemoryCase{"file_beyond_the_limit", Source::File, 96'000'000, {}, "the input"},
                    MemoryCase{"pipe_beyond_the_limit", Source::Pipe, 96'000'000, {}, "the input"},
                    // Fitting measures a UTF-16 copy: 14 MB read fits, its copy of 28 MB does not.
                    MemoryCase{"fit_copy_beyond_the_limit",
                               Source::File,
                               14'000'000,
                               {"--fit", "100"},
                               "the decoded input"}),
    [](const auto& row) { return std::string(row.param.name); });

// The conversion itself needs no copy of the input: the same 14 MB, whose UTF-16 copy was more
// than the limit allowed, converts in it.
TEST(ConvertCli, ConvertsInPlaceWithinTheAddressSpaceLimit)
{
    if (underAsan)
        GTEST_SKIP() << "an address-space limit does not hold under AddressSanitizer";
    const std::size_t inputBytes = 14'000'000;
    const RunResult r = run({"--step", "7000000", "--format=html"}, std::string(inputBytes, 'x'),
                            Source::File, Sink::File, 64 << 20);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "<font color=FF00FF>" + std::string(7'000'000, 'x') + "</font>" +
                         "<font color=7F807F>" + std::string(7'000'000, 'x') + "</font>");
}

} // namespace
