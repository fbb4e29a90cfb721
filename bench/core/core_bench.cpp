// Speed of the conversion core on long mixed forum text. Run a release build:
//   build/<dir>/bench/core/bench_core
// items_per_second is UTF-16 code units of input converted per second of CPU time. After the
// table comes the growth of each benchmark's time from 1 MiB to 16 MiB: 16 is linear.
//
// BM_ConvertText takes a fresh string each time, so it pays for the system's first touch of
// that memory, which BM_FreshMarkupSizedString shows alone; BM_ConvertTextInto reuses one
// string and shows the conversion itself. Where the first touch is slow (some virtual
// machines), GLIBC_TUNABLES=glibc.malloc.hugetlb=1 lets large blocks use huge pages.
// BM_ColorAtChunkPositions times the colours of a conversion's chunks and nothing else.
// BM_ConvertUtf8 converts the same text as UTF-8, as prismel-convert does; its items are still
// UTF-16 code units of input. BM_HardText converts and fits runs of flags and one huge cluster,
// each growth from 1 to 16 Mi units showing whether the time stays linear.

#include "core/conversion.h"
#include "core/fit.h"
#include "core/utf8.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <map>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::size_t mebi = std::size_t{1} << 20;

// Deterministic text of `units` code units in the mix of a forum thread: mostly Chinese, some
// ASCII words and punctuation, spaces, line breaks in both conventions and the odd emoji.
std::u16string forumText(std::size_t units)
{
    static constexpr std::array<std::u16string_view, 16> pieces{
        u"彩虹字", u"今天天气很好", u"论坛", u"的",    u"我们一起去看看吧",
        u"，",     u"。",           u"！",   u"hello", u"forum",
        u"2024",   u"OK",           u" ",    u"  ",    u"\r\n",
        u"\n"};
    static constexpr std::array<std::u16string_view, 3> emoji{u"😀", u"🌈", u"👍"};
    std::u16string text;
    text.reserve(units + 16);
    std::uint32_t state = 12345;
    while (text.size() < units) {
        state = state * 1664525u + 1013904223u; // a fixed LCG, so every run converts the same text
        const std::uint32_t pick = state >> 24;
        if (pick < 4)
            text += emoji[pick % emoji.size()];
        else
            text += pieces[pick % pieces.size()];
    }
    // Never end on the first half of a pair: the length stays exact without cutting one.
    text.resize(units);
    if (prismel::isHighSurrogate(text.back()))
        text.back() = u'。';
    return text;
}

const std::u16string& cachedText(std::size_t units)
{
    static const std::u16string small = forumText(mebi);
    static const std::u16string large = forumText(16 * mebi);
    return units == mebi ? small : large;
}

// Text where most chunk ends need the break iterator: accents written as combining marks,
// skin tones, flags and joined emoji between Latin and Chinese letters.
std::u16string clusterText(std::size_t units)
{
    static constexpr std::array<std::u16string_view, 8> pieces{u"e\u0301",
                                                               u"a\u0308\u0323",
                                                               u"👍🏽",
                                                               u"🇨🇳",
                                                               u"👨‍👩‍👧",
                                                               u"1\uFE0F\u20E3",
                                                               u"彩",
                                                               u"x"};
    std::u16string text;
    text.reserve(units + 16);
    std::uint32_t state = 54321;
    while (text.size() < units) {
        state = state * 1664525u + 1013904223u;
        text += pieces[(state >> 24) % pieces.size()];
    }
    text.resize(units);
    while (prismel::isHighSurrogate(text.back()) || text.back() == u'\u200D')
        text.back() = u'x';
    return text;
}

const prismel::TagTemplate startup = prismel::startupTemplate();
const prismel::ColorPair colors{};

// The window's start-up template at a benchmark's step.
prismel::ConvertRequest requestAt(std::int64_t step, const prismel::Gradient& gradient)
{
    return {static_cast<std::int32_t>(step), startup, gradient, {}};
}

void BM_ConvertText(benchmark::State& state)
{
    const std::u16string& text = cachedText(static_cast<std::size_t>(state.range(0)));
    const prismel::ConvertRequest request = requestAt(state.range(1), colors);
    for (auto _ : state) {
        std::u16string markup = prismel::ConvertText(text, request);
        benchmark::DoNotOptimize(markup.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}

// The same conversion into one reused string, as a window converting again and again does.
void BM_ConvertTextInto(benchmark::State& state)
{
    const std::u16string& text = cachedText(static_cast<std::size_t>(state.range(0)));
    std::u16string markup;
    const prismel::ConvertRequest request = requestAt(state.range(1), colors);
    prismel::convertTextInto(markup, text, request); // the memory, once
    for (auto _ : state) {
        prismel::convertTextInto(markup, text, request);
        benchmark::DoNotOptimize(markup.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}

// The same text as UTF-8 converted to UTF-8, as prismel-convert does: the markup goes out in
// blocks to a sink that only looks at them, so this is the conversion without the writing.
void BM_ConvertUtf8(benchmark::State& state)
{
    const std::u16string& text = cachedText(static_cast<std::size_t>(state.range(0)));
    static const std::u8string small = prismel::toUtf8(cachedText(mebi));
    static const std::u8string large = prismel::toUtf8(cachedText(16 * mebi));
    const std::u8string& utf8 = text.size() == mebi ? small : large;
    std::size_t bytes = 0;
    const prismel::ConvertRequest request = requestAt(state.range(1), colors);
    for (auto _ : state) {
        bytes = 0;
        prismel::convertUtf8To(utf8, static_cast<std::int64_t>(text.size()), request,
                               [&bytes](std::u8string_view block) {
                                   benchmark::DoNotOptimize(block.data());
                                   bytes += block.size();
                               });
    }
    state.counters["code_MB"] = static_cast<double>(bytes) / 1e6;
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}

// BM_ConvertTextInto and BM_ConvertUtf8 along five stops mixed in OKLCH, whose colours are
// evaluated a short way ahead of the chunks rather than bounded in closed form.
const prismel::Gradient fiveStops({{{255, 0, 0}, {}},
                                   {{255, 215, 0}, {}},
                                   {{0, 255, 0}, {}},
                                   {{0, 0, 255}, {}},
                                   {{128, 0, 128}, {}}},
                                  prismel::ColorSpace::Oklch);

void BM_ConvertTextIntoOklch(benchmark::State& state)
{
    const std::u16string& text = cachedText(static_cast<std::size_t>(state.range(0)));
    std::u16string markup;
    const prismel::ConvertRequest request = requestAt(state.range(1), fiveStops);
    prismel::convertTextInto(markup, text, request);
    for (auto _ : state) {
        prismel::convertTextInto(markup, text, request);
        benchmark::DoNotOptimize(markup.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}

void BM_ConvertUtf8Oklch(benchmark::State& state)
{
    const std::u16string& text = cachedText(static_cast<std::size_t>(state.range(0)));
    static const std::u8string small = prismel::toUtf8(cachedText(mebi));
    static const std::u8string large = prismel::toUtf8(cachedText(16 * mebi));
    const std::u8string& utf8 = text.size() == mebi ? small : large;
    const prismel::ConvertRequest request = requestAt(state.range(1), fiveStops);
    for (auto _ : state) {
        prismel::convertUtf8To(
            utf8, static_cast<std::int64_t>(text.size()), request,
            [](std::u8string_view block) { benchmark::DoNotOptimize(block.data()); });
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}

// The same with a cluster at nearly every chunk end, the cost of asking ICU.
void BM_ConvertTextIntoClusters(benchmark::State& state)
{
    static const std::u16string text = clusterText(mebi);
    std::u16string markup;
    const prismel::ConvertRequest request = requestAt(state.range(0), colors);
    prismel::convertTextInto(markup, text, request);
    for (auto _ : state) {
        prismel::convertTextInto(markup, text, request);
        benchmark::DoNotOptimize(markup.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}

// The texts on which asking ICU at each chunk end once took time that grew with the square of
// the length: a run of flags, where a boundary depends on how many letters precede it, and one
// cluster of a letter and endless marks.
std::u16string hardText(std::size_t units, bool flags)
{
    std::u16string text = flags ? u"" : u"a";
    while (text.size() < units)
        text += flags ? u"🇨🇳" : u"\u0301";
    text.resize(units);
    return text;
}

// mode 0 converts as the window does, 1 as prismel-convert does (UTF-8), 2 fits with a limit
// no step meets, so that every step from `step` up is measured.
void BM_HardText(benchmark::State& state)
{
    const auto units = static_cast<std::size_t>(state.range(0));
    const std::u16string text = hardText(units, state.range(1) == 0);
    const std::u8string utf8 = prismel::toUtf8(text);
    std::u16string markup;
    const prismel::ConvertRequest request = requestAt(state.range(2), colors);
    for (auto _ : state) {
        switch (state.range(3)) {
        case 0:
            prismel::convertTextInto(markup, text, request);
            benchmark::DoNotOptimize(markup.data());
            break;
        case 1:
            prismel::convertUtf8To(
                utf8, static_cast<std::int64_t>(units), request,
                [](std::u8string_view block) { benchmark::DoNotOptimize(block.data()); });
            break;
        default:
            benchmark::DoNotOptimize(prismel::fitToLength(0, text, request));
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(units));
}

void hardTexts(benchmark::internal::Benchmark* b)
{
    b->ArgNames({"units", "flags0cluster1", "step", "mode"});
    for (const std::int64_t units : {1, 4, 16})
        for (const std::int64_t kind : {0, 1})
            for (const std::int64_t step : {1, 8, 100})
                for (const std::int64_t mode : {0, 1, 2})
                    b->Args({units * static_cast<std::int64_t>(mebi), kind, step, mode});
    b->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_HardText)->Apply(hardTexts);

// The floor under BM_ConvertText: taking a fresh string as long as the markup from the system
// and writing it once. On machines where first touching memory is slow, this is most of the cost.
void BM_FreshMarkupSizedString(benchmark::State& state)
{
    const std::u16string& text = cachedText(static_cast<std::size_t>(state.range(0)));
    const prismel::ConvertRequest request = requestAt(state.range(1), colors);
    const std::size_t size = prismel::ConvertText(text, request).size();
    for (auto _ : state) {
        std::u16string markup(size, u'x');
        benchmark::DoNotOptimize(markup.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}

// The colour of every chunk's first position over the run, alone: the interpolation's share of
// a conversion.
void BM_ColorAtChunkPositions(benchmark::State& state)
{
    const auto len = static_cast<std::int64_t>(state.range(0));
    const std::int64_t step = state.range(1);
    for (auto _ : state) {
        std::int64_t sum = 0; // kept alive instead of each colour, so no store is timed
        for (std::int64_t pos = 1; pos <= len; pos += step) {
            const prismel::Rgb color = prismel::colorAt(colors, pos, len);
            sum += color.r + color.g + color.b;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * len);
}

void sizesAndSteps(benchmark::internal::Benchmark* b)
{
    b->ArgNames({"units", "step"});
    for (const std::int64_t units : {std::int64_t{mebi}, std::int64_t{16 * mebi}})
        for (const std::int64_t step : {1, 3})
            b->Args({units, step});
    b->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_ConvertText)->Apply(sizesAndSteps);
BENCHMARK(BM_ConvertTextInto)->Apply(sizesAndSteps);
BENCHMARK(BM_ConvertUtf8)->Apply(sizesAndSteps);
BENCHMARK(BM_ConvertTextIntoOklch)->Apply(sizesAndSteps);
BENCHMARK(BM_ConvertUtf8Oklch)->Apply(sizesAndSteps);
BENCHMARK(BM_FreshMarkupSizedString)->Apply(sizesAndSteps);
BENCHMARK(BM_ColorAtChunkPositions)->Apply(sizesAndSteps);
BENCHMARK(BM_ConvertTextIntoClusters)
    ->ArgName("step")
    ->Arg(1)
    ->Arg(3)
    ->Unit(benchmark::kMillisecond);

// A forum post of 100 000 characters (code points), cut from the same mix.
const std::u16string& postText()
{
    static const std::u16string post = [] {
        std::u16string text = forumText(110'000);
        std::size_t chars = 0;
        std::size_t end = 0;
        while (chars < 100'000) {
            end += prismel::isHighSurrogate(text[end]) ? 2u : 1u;
            ++chars;
        }
        text.resize(end);
        return text;
    }();
    return post;
}

// Fitting the post to a limit in characters. A limit of 0 fits no step, so every step from 1
// to n - 1 is measured: the slowest case. 150 000 fits the post at a middling step.
void BM_FitToLength(benchmark::State& state)
{
    const std::u16string& text = postText();
    const auto limit = static_cast<std::uint64_t>(state.range(0));
    const prismel::ConvertRequest request{1, startup, colors, {.merge = state.range(1) != 0}};
    prismel::FitResult fit;
    for (auto _ : state) {
        fit = prismel::fitToLength(limit, text, request);
        benchmark::DoNotOptimize(fit);
    }
    state.counters["step"] = fit.step;
    state.counters["length"] = static_cast<double>(fit.length);
}

BENCHMARK(BM_FitToLength)
    ->ArgNames({"limit", "merge"})
    ->Args({0, 0})
    ->Args({0, 1})
    ->Args({150'000, 0})
    ->Args({150'000, 1})
    ->Unit(benchmark::kMillisecond);

// The fit's answer for the post must be the length of the code it stands for.
bool fitIsRight()
{
    const std::u16string& text = postText();
    for (const bool merge : {false, true}) {
        prismel::ConvertRequest request{1, startup, colors, {.merge = merge}};
        const auto fit = prismel::fitToLength(150'000, text, request);
        request.step = fit.step;
        const std::u16string code = prismel::ConvertText(text, request);
        std::size_t chars = code.size();
        for (std::size_t i = 1; i < code.size(); ++i)
            if (prismel::isLowSurrogate(code[i]) && prismel::isHighSurrogate(code[i - 1]))
                --chars;
        if (!fit.fits || chars != fit.length || chars > 150'000) {
            std::fprintf(stderr, "bench_core: the fit's length is not the code's; not timing\n");
            return false;
        }
    }
    return true;
}

// Timing a wrong result proves nothing, so the known answers come first.
bool resultsAreRight()
{
    struct Known {
        std::u16string_view input;
        std::int32_t step;
        std::u16string_view markup;
    };
    static constexpr std::array<Known, 4> known{{
        {u"ABC", 1, u"[color=#AA55AA]A[/color][color=#55AA55]B[/color][color=#00FF00]C[/color]"},
        {u"A😀B", 1, u"[color=#BF40BF]A[/color][color=#808080]😀[/color][color=#00FF00]B[/color]"},
        {u"ABCDE", 2,
         u"[color=#CC33CC]AB[/color][color=#669966]CD[/color][color=#00FF00]E[/color]"},
        {u"A👍🏽B", 1,
         u"[color=#D42AD4]A[/color][color=#AA55AA]👍🏽[/color][color=#00FF00]B[/color]"},
    }};
    bool right = true;
    for (const auto& k : known) {
        std::u8string utf8;
        prismel::convertUtf8To(prismel::toUtf8(k.input), static_cast<std::int64_t>(k.input.size()),
                               requestAt(k.step, colors),
                               [&utf8](std::u8string_view block) { utf8 += block; });
        if (prismel::ConvertText(k.input, requestAt(k.step, colors)) != k.markup ||
            utf8 != prismel::toUtf8(k.markup)) {
            std::fprintf(stderr, "bench_core: wrong markup for a known input; not timing\n");
            right = false;
        }
    }
    return right;
}

// The console table, then the growth from 1 MiB to 16 MiB of every benchmark and step.
class GrowthReporter : public benchmark::ConsoleReporter {
public:
    GrowthReporter() : ConsoleReporter(OO_None) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred)
                continue;
            // The arguments read "units:N/step:S".
            const std::string& args = run.run_name.args;
            const auto slash = args.find('/');
            const std::string units = args.substr(0, slash);
            const std::string key = run.run_name.function_name + " " +
                                    (slash == std::string::npos ? "" : args.substr(slash + 1));
            Totals& totals = m_totals[key][units == "units:" + std::to_string(16 * mebi) ? 1 : 0];
            totals.real += run.real_accumulated_time;
            totals.cpu += run.cpu_accumulated_time;
            totals.iterations += static_cast<double>(run.iterations);
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::ostream& out = GetOutputStream();
        out << "\nTime for 16 MiB over time for 1 MiB (16 is linear; the target is at most 20):\n";
        for (const auto& [key, sizes] : m_totals) {
            const Totals& small = sizes[0];
            const Totals& large = sizes[1];
            if (small.iterations == 0 || large.iterations == 0)
                continue;
            const auto ratio = [&](double Totals::*time) {
                return (large.*time / large.iterations) / (small.*time / small.iterations);
            };
            char line[160];
            std::snprintf(line, sizeof line, "  %-36s wall %6.1fx   cpu %6.1fx\n", key.c_str(),
                          ratio(&Totals::real), ratio(&Totals::cpu));
            out << line;
        }
        out << "BM_ConvertText takes a fresh result each time: when it grows as much as\n"
               "BM_FreshMarkupSizedString, the allocator serves the two sizes differently (the\n"
               "small result is reused, the large one comes fresh from the system). The\n"
               "conversion's own growth is BM_ConvertTextInto's.\n";
    }

private:
    struct Totals {
        double real = 0;
        double cpu = 0;
        double iterations = 0;
    };
    std::map<std::string, std::array<Totals, 2>> m_totals;
};

} // namespace

int main(int argc, char** argv)
{
    if (!resultsAreRight() || !fitIsRight())
        return 1;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    GrowthReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
