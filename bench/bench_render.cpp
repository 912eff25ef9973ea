// Time from CreateReport to the finished PDF of the bundled example: the first report of a
// process, which also creates the application object and starts WebKit, and the reports
// that follow it. RenderReport alone shows the renderer's share of a following report (the
// rest is the page assembly, with its pause after each label).
//
// Run from the build directory after building the example: bench/bench_render
#include <ReportGenerator/ReportGenerator.h>

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include <string>

namespace {

const std::string EXAMPLE_DIR = RG_SOURCE_DIR "/examples";
const std::string IMAGE_DIR = RG_BINARY_DIR "/examples/images";

std::string readExampleFile(const std::string& name)
{
    QFile file(QString::fromStdString(EXAMPLE_DIR + "/" + name));
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

class ExampleReport
{
public:
    ExampleReport()
        : m_results(readExampleFile("data/CheckerResults.xml"))
        , m_customer(readExampleFile("data/CustomerInfo.xml"))
    {
        SetTextDomain("DovaReport", RG_BINARY_DIR "/examples/locale");
    }

    int Create()
    {
        return CreateReport((EXAMPLE_DIR + "/report/EndFaceReport.htm").c_str(), "ENGLISH",
            m_results.c_str(), m_customer.c_str(), (IMAGE_DIR + "/lowmag.png").c_str(),
            (IMAGE_DIR + "/highmag.png").c_str(), 0, Output().c_str());
    }

    int Render() { return RenderReport(Output().c_str(), 0); }

private:
    std::string Output() const { return m_directory.filePath("report.pdf").toStdString(); }

    QTemporaryDir m_directory;
    std::string m_results;
    std::string m_customer;
};

ExampleReport& example()
{
    static ExampleReport report;
    return report;
}

template <typename Call> void timeReports(benchmark::State& state, Call call)
{
    for (auto _ : state) {
        if (call() != 0) {
            state.SkipWithError("the example report failed: build the example first");
            break;
        }
    }
}

// Registered first, so that it runs first and alone in its process.
void BM_FirstReportOfTheProcess(benchmark::State& state)
{
    timeReports(state, [] { return example().Create(); });
}
BENCHMARK(BM_FirstReportOfTheProcess)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FollowingReport(benchmark::State& state)
{
    timeReports(state, [] { return example().Create(); });
}
BENCHMARK(BM_FollowingReport)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(5.0);

void BM_RenderStagedPage(benchmark::State& state)
{
    if (example().Create() != 0) {
        state.SkipWithError("the example report failed: build the example first");
        return;
    }
    timeReports(state, [] { return example().Render(); });
}
BENCHMARK(BM_RenderStagedPage)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(5.0);

} // namespace
