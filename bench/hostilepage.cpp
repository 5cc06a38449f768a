// Pages built to stall the HTML parser, read as the program reads them (limits first) and,
// for comparison, handed to the parser as they are. The limited reads should cost about
// what an ordinary page of the same size costs.
#include "web/htmldocument.h"

#include <benchmark/benchmark.h>
#include <gumbo.h>

namespace {

// One <div> with `count` attributes of different names.
QByteArray manyAttributes(int count)
{
    QByteArray page = "<html><body><div";
    for (int i = 0; i < count; ++i)
        page += " a" + QByteArray::number(i);
    return page + ">Item number: 1</div></body></html>";
}

// Paragraphs that each leave a distinct <b> open: the parser clones every one of them into
// each later paragraph.
QByteArray openFormatting(int count)
{
    QByteArray page = "<html><body>";
    for (int i = 0; i < count; ++i)
        page += "<p><b x" + QByteArray::number(i) + ">t";
    return page;
}

// Ordinary text of about `bytes`.
QByteArray paragraphs(qsizetype bytes)
{
    QByteArray page = "<html><body>";
    for (int i = 0; page.size() < bytes; ++i) {
        page += "<p>Paragraph " + QByteArray::number(i) +
                " with <b>bold</b> words and <a href=\"/x\">a link</a>.</p>\n";
    }
    return page;
}

void readPage(benchmark::State& state, const QByteArray& page)
{
    size_t peak = 0;
    bool refused = false;
    for (auto _ : state) {
        const auto document = HtmlDocument::fromBytes(page, "text/html");
        benchmark::DoNotOptimize(document->bodyText());
        peak = document->parseMemoryPeak();
        refused = document->refused();
    }
    state.counters["page_kb"] = double(page.size()) / 1024;
    state.counters["parse_mb"] = double(peak) / (1 << 20);
    state.counters["refused"] = refused ? 1 : 0;
}

void parseUnlimited(benchmark::State& state, const QByteArray& page)
{
    for (auto _ : state) {
        GumboOutput* output =
            gumbo_parse_with_options(&kGumboDefaultOptions, page.constData(), size_t(page.size()));
        gumbo_destroy_output(&kGumboDefaultOptions, output);
    }
    state.counters["page_kb"] = double(page.size()) / 1024;
}

void ManyAttributes(benchmark::State& state)
{
    readPage(state, manyAttributes(int(state.range(0))));
}
BENCHMARK(ManyAttributes)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond);

void ManyAttributesUnlimited(benchmark::State& state)
{
    parseUnlimited(state, manyAttributes(int(state.range(0))));
}
BENCHMARK(ManyAttributesUnlimited)->Arg(20000)->Iterations(1)->Unit(benchmark::kMillisecond);

void OpenFormatting(benchmark::State& state)
{
    readPage(state, openFormatting(int(state.range(0))));
}
BENCHMARK(OpenFormatting)->Arg(1000)->Arg(6000)->Unit(benchmark::kMillisecond);

void OpenFormattingUnlimited(benchmark::State& state)
{
    parseUnlimited(state, openFormatting(int(state.range(0))));
}
BENCHMARK(OpenFormattingUnlimited)->Arg(1000)->Iterations(1)->Unit(benchmark::kMillisecond);

void OrdinaryPage(benchmark::State& state)
{
    readPage(state, paragraphs(state.range(0) << 10));
}
BENCHMARK(OrdinaryPage)->Arg(1024)->Arg(8192)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
