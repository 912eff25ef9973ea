// Scans and fills arbitrary template bytes with arbitrary item lists. Filled without
// items, the page must be the template itself, line by line up to each zero byte,
// re-encoded.
#include <ReportGenerator/HtmlReport.h>

#include "Latin1PageFile.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace {

// Every run writes a page: on a memory file system where there is one.
class WorkFiles
{
public:
    WorkFiles()
    {
        char pattern[] = "/dev/shm/fuzz_template.XXXXXX";
        char fallback[] = "/tmp/fuzz_template.XXXXXX";
        const char* dir = mkdtemp(pattern);
        m_dir = dir ? dir : mkdtemp(fallback);
        templatePath = m_dir + "/Report.htm";
        pagePath = m_dir + "/Page.htm";
    }
    ~WorkFiles()
    {
        unlink(templatePath.c_str());
        unlink(pagePath.c_str());
        rmdir(m_dir.c_str());
    }

    std::string templatePath;
    std::string pagePath;

private:
    std::string m_dir;
};

QStringList ConsumeItems(FuzzedDataProvider& data)
{
    QStringList items;
    for (int count = data.ConsumeIntegralInRange(0, 6); count > 0; --count)
        items << QString::fromStdString(data.ConsumeRandomLengthString(64));
    return items;
}

QByteArray ReencodedTemplate(const std::string& bytes)
{
    QByteArray page;
    for (size_t start = 0; start < bytes.size();) {
        const size_t lineEnd = bytes.find('\n', start);
        const size_t end = lineEnd == std::string::npos ? bytes.size() : lineEnd + 1;
        page += Latin1PageFile::Encode(QString::fromUtf8(bytes.substr(start, end - start).c_str()));
        start = end;
    }
    return page;
}

std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static WorkFiles files;
    FuzzedDataProvider provider(data, size);
    const QStringList labels = ConsumeItems(provider);
    const QStringList tags = ConsumeItems(provider);
    const QStringList images = ConsumeItems(provider);
    const std::string templateBytes = provider.ConsumeRemainingBytesAsString();
    std::ofstream(files.templatePath, std::ios::binary | std::ios::trunc) << templateBytes;

    CHtmlReport report(files.templatePath.data(), files.pagePath.data());
    QStringList scanned;
    if (report.GetListLabels(scanned) != 0 || report.GetListTags(scanned) != 0
        || report.GetListImages(scanned) != 0 || report.GenerateReport(labels, tags, images) != 0)
        abort();
    if (report.GenerateReport({}, {}, {}) != 0
        || QByteArray::fromStdString(ReadBytes(files.pagePath)) != ReencodedTemplate(templateBytes))
        abort();
    return 0;
}
