// Scans and fills arbitrary template bytes with arbitrary item lists. The page must be
// what the plain in-place filling gives, line by line up to each zero byte: every marker
// replaced where it stands and the line searched again from the inserted text.
#include <ReportGenerator/HtmlReport.h>

#include "templates/Latin1PageFile.h"

#include <QDir>
#include <QFile>
#include <QRegExp>
#include <QTemporaryDir>
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

QStringList consumeItems(FuzzedDataProvider& data)
{
    QStringList items;
    for (int count = data.ConsumeIntegralInRange(0, 6); count > 0; --count)
        items << QString::fromStdString(data.ConsumeRandomLengthString(64));
    return items;
}

// The page by the plain filling: each kind in turn, every marker replaced where it stands.
QByteArray expectedPage(const std::string& bytes, const QStringList (&lists)[3])
{
    int next[3] = {};
    QByteArray page;
    for (size_t start = 0, end; start < bytes.size(); start = end) {
        end = std::min(bytes.find('\n', start), bytes.size() - 1) + 1;
        QString line = QString::fromUtf8(bytes.substr(start, end - start).c_str());
        for (int kind = 0; kind < 3; ++kind) {
            const QString sign = QRegExp::escape(QString("~@$").at(kind));
            const QRegExp open("[{]" + sign), close(sign + "[}]");
            for (int at = open.indexIn(line); at >= 0 && next[kind] < lists[kind].size();) {
                const int closing = close.indexIn(line, at);
                if (closing >= 0)
                    line.replace(at, closing + 2 - at, lists[kind].at(next[kind]++));
                at = open.indexIn(line, closing >= 0 ? at : at + 2);
            }
        }
        page += CLatin1PageFile::Encode(line);
    }
    return page;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Every run writes a page: on a memory file system where there is one.
    static const QTemporaryDir dir(
        (QDir("/dev/shm").exists() ? "/dev/shm" : QDir::tempPath()) + "/fuzz_template.XXXXXX");
    std::string templatePath = dir.filePath("Report.htm").toStdString();
    std::string pagePath = dir.filePath("Page.htm").toStdString();
    FuzzedDataProvider provider(data, size);
    const QStringList lists[3] = { consumeItems(provider), consumeItems(provider),
        consumeItems(provider) };
    const std::string bytes = provider.ConsumeRemainingBytesAsString();
    QFile file(QString::fromStdString(templatePath));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes.data(), bytes.size()) < 0)
        abort();
    file.close();
    CHtmlReport report(templatePath.data(), pagePath.data());
    QStringList scanned;
    if (report.GetListLabels(scanned) + report.GetListTags(scanned) + report.GetListImages(scanned)
            + report.GenerateReport(lists[0], lists[1], lists[2])
        != 0)
        abort();
    QFile page(QString::fromStdString(pagePath));
    if (!page.open(QIODevice::ReadOnly) || page.readAll() != expectedPage(bytes, lists))
        abort();
    return 0;
}
