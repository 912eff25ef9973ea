// Template scan and fill on the example report and on a large template, and tag data
// extraction on the example XML. Pages go to the system's temporary directory, where
// the staging page lives, so the figures include writing and syncing the page.
#include <ReportGenerator/HtmlReport.h>
#include <ReportGenerator/XmlParser.h>

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <string>

namespace {

const QString EXAMPLE_TEMPLATE = RG_SOURCE_DIR "/examples/report/EndFaceReport.htm";
const QString EXAMPLE_CUSTOMER = RG_SOURCE_DIR "/examples/data/CustomerInfo.xml";
const QString EXAMPLE_RESULTS = RG_SOURCE_DIR "/examples/data/CheckerResults.xml";

struct MarkerLists
{
    QStringList labels;
    QStringList tags;
    QStringList images;
};

// About 1 MB of table rows, 10,000 markers of the three kinds; as one line per row or
// as a single line.
QByteArray LargeTemplate(bool oneLine)
{
    const char* const cells[] = { "<td class=\"label\">{~Defect count in zone~}</td>",
        "<td class=\"value\">{@DefectCount@}</td>", "<td><img src=\"{$LowMag$}\" alt=\"\"></td>" };
    QByteArray text;
    for (int i = 0; i < 10000; ++i) {
        text += "<tr class=\"row\"><td>";
        text += QByteArray(40, 'x');
        text += "</td>";
        text += cells[i % 3];
        text += "</tr>";
        text += oneLine ? " " : "\n";
    }
    return text + "\n";
}

class TemplateFiles
{
public:
    explicit TemplateFiles(const QByteArray& text)
        : m_template(m_dir.filePath("Report.htm").toStdString())
        , m_page(m_dir.filePath("Page.htm").toStdString())
    {
        QFile file(QString::fromStdString(m_template));
        file.open(QIODevice::WriteOnly);
        file.write(text);
    }

    CHtmlReport Report() { return CHtmlReport(m_template.data(), m_page.data()); }

private:
    QTemporaryDir m_dir;
    std::string m_template;
    std::string m_page;
};

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

MarkerLists Scan(CHtmlReport& report)
{
    MarkerLists lists;
    report.GetListLabels(lists.labels);
    report.GetListTags(lists.tags);
    report.GetListImages(lists.images);
    return lists;
}

// Item lists as the assembly makes them: translated labels, values, image paths.
MarkerLists Items(const MarkerLists& scanned)
{
    MarkerLists items;
    for (const QString& label : scanned.labels)
        items.labels << "Étiquette traduite " + label;
    for (int i = 0; i < scanned.tags.size(); ++i)
        items.tags << "<span class=\"Pass\">Value " + QString::number(i) + "</span>";
    for (int i = 0; i < scanned.images.size(); ++i)
        items.images << "/tmp/EndFaceLowMag.png";
    return items;
}

void ScanTemplate(benchmark::State& state, const QByteArray& text)
{
    if (text.isEmpty()) {
        state.SkipWithError("template missing");
        return;
    }
    TemplateFiles files(text);
    CHtmlReport report = files.Report();
    int markers = 0;
    for (auto _ : state) {
        const MarkerLists lists = Scan(report);
        markers = lists.labels.size() + lists.tags.size() + lists.images.size();
        benchmark::DoNotOptimize(markers);
    }
    state.counters["markers"] = markers;
    state.SetBytesProcessed(state.iterations() * text.size());
}

void FillTemplate(benchmark::State& state, const QByteArray& text)
{
    if (text.isEmpty()) {
        state.SkipWithError("template missing");
        return;
    }
    TemplateFiles files(text);
    CHtmlReport report = files.Report();
    const MarkerLists items = Items(Scan(report));
    for (auto _ : state)
        if (report.GenerateReport(items.labels, items.tags, items.images) != 0)
            state.SkipWithError("page not written");
    state.SetBytesProcessed(state.iterations() * text.size());
}

void BM_ScanExample(benchmark::State& state)
{
    ScanTemplate(state, ReadFile(EXAMPLE_TEMPLATE));
}
BENCHMARK(BM_ScanExample)->Unit(benchmark::kMicrosecond);

void BM_FillExample(benchmark::State& state)
{
    FillTemplate(state, ReadFile(EXAMPLE_TEMPLATE));
}
BENCHMARK(BM_FillExample)->Unit(benchmark::kMicrosecond);

void BM_ScanLarge(benchmark::State& state)
{
    ScanTemplate(state, LargeTemplate(state.range(0)));
}
BENCHMARK(BM_ScanLarge)->ArgName("oneLine")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_FillLarge(benchmark::State& state)
{
    FillTemplate(state, LargeTemplate(state.range(0)));
}
BENCHMARK(BM_FillLarge)->ArgName("oneLine")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_GetTagsDataExample(benchmark::State& state)
{
    const QByteArray templateText = ReadFile(EXAMPLE_TEMPLATE);
    const QByteArray customer = ReadFile(EXAMPLE_CUSTOMER);
    const QByteArray results = ReadFile(EXAMPLE_RESULTS);
    if (templateText.isEmpty() || customer.isEmpty() || results.isEmpty()) {
        state.SkipWithError("example files missing");
        return;
    }
    TemplateFiles files(templateText);
    CHtmlReport report = files.Report();
    const QStringList tags = Scan(report).tags;
    const QString xmlText = "<ReportGenerator>" + QString::fromUtf8(customer)
        + QString::fromUtf8(results) + "</ReportGenerator>";
    CXmlParser parser;
    QStringList values;
    for (auto _ : state)
        if (!parser.GetTagsData(xmlText, tags, values))
            state.SkipWithError("XML not parsed");
    state.counters["tags"] = tags.size();
}
BENCHMARK(BM_GetTagsDataExample)->Unit(benchmark::kMicrosecond);

} // namespace
