// One CreateReportHtml call on the bundled example, and the share of it that is the fixed
// 10 ms pause after each label lookup. Needs the example's catalogs and images built.
#include <ReportGenerator/HtmlReport.h>
#include <ReportGenerator/ReportGenerator.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace {

const std::string EXAMPLE_DIR = RG_SOURCE_DIR "/examples";
const std::string TEMPLATE = EXAMPLE_DIR + "/report/EndFaceReport.htm";
const std::string IMAGE_DIR = RG_BINARY_DIR "/examples/images";
const char* const LOCALE_DIR = RG_BINARY_DIR "/examples/locale";
constexpr double PAUSE_SECONDS = 0.010;

std::string readFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

int labelCount()
{
    std::string templateName = TEMPLATE;
    char output[] = "/dev/null";
    CHtmlReport page(templateName.data(), output);
    QStringList labels;
    page.GetListLabels(labels);
    return labels.size();
}

void BM_CreateReportHtmlExample(benchmark::State& state, const char* language)
{
    if (access((std::string(LOCALE_DIR) + "/fr_FR").c_str(), F_OK) != 0) {
        state.SkipWithError("build the example_catalogs and example_images targets first");
        return;
    }
    SetTextDomain("DovaReport", LOCALE_DIR);
    const std::string checker = readFile(EXAMPLE_DIR + "/data/CheckerResults.xml");
    const std::string customer = readFile(EXAMPLE_DIR + "/data/CustomerInfo.xml");
    const std::string low = IMAGE_DIR + "/lowmag.png";
    const std::string high = IMAGE_DIR + "/highmag.png";
    const int labels = labelCount();
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const int result = CreateReportHtml(TEMPLATE.c_str(), language, checker.c_str(),
            customer.c_str(), low.c_str(), high.c_str());
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (result != 0)
            state.SkipWithError("CreateReportHtml failed");
    }
    state.counters["labels"] = labels;
    state.counters["pause_ms"] = labels * PAUSE_SECONDS * 1000;
    state.counters["pause_share_%"] =
        seconds > 0 ? 100 * labels * PAUSE_SECONDS * state.iterations() / seconds : 0;
}

BENCHMARK_CAPTURE(BM_CreateReportHtmlExample, French, "FRENCH")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(20);
BENCHMARK_CAPTURE(BM_CreateReportHtmlExample, Japanese, "JAPANESE")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(20);

} // namespace
