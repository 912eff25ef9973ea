// Scans and fills arbitrary template bytes with arbitrary item lists. The page must be
// what the plain in-place filling gives, line by line up to each zero byte: every marker
// replaced where it stands and the line searched again from the inserted text.
#include <ReportGenerator/HtmlReport.h>

#include "templates/Latin1PageFile.h"

#include <QRegExp>
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

void FillInPlace(
    QString& line, const char* opening, const char* closing, const QStringList& items, int& next)
{
    QRegExp open(QString::fromLatin1(opening));
    QRegExp close(QString::fromLatin1(closing));
    for (int start = open.indexIn(line); start >= 0 && next < items.size();) {
        const int end = close.indexIn(line, start);
        if (end < 0) {
            start = open.indexIn(line, start + 2);
            continue;
        }
        line.replace(start, end + 2 - start, items.at(next++));
        start = open.indexIn(line, start);
    }
}

QByteArray ExpectedPage(const std::string& bytes, const QStringList& labels,
    const QStringList& tags, const QStringList& images)
{
    QByteArray page;
    int nextLabel = 0;
    int nextTag = 0;
    int nextImage = 0;
    for (size_t start = 0; start < bytes.size();) {
        const size_t lineEnd = bytes.find('\n', start);
        const size_t end = lineEnd == std::string::npos ? bytes.size() : lineEnd + 1;
        QString line = QString::fromUtf8(bytes.substr(start, end - start).c_str());
        FillInPlace(line, "[{][~]", "[~][}]", labels, nextLabel);
        FillInPlace(line, "[{][@]", "[@][}]", tags, nextTag);
        FillInPlace(line, "[{][$]", "[$][}]", images, nextImage);
        page += CLatin1PageFile::Encode(line);
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
    if (QByteArray::fromStdString(ReadBytes(files.pagePath))
        != ExpectedPage(templateBytes, labels, tags, images))
        abort();
    return 0;
}
