// A C++/Qt host built against the installed CMake package: fills the example template
// into the staging page, copies the page out before the library is unloaded (unloading
// deletes it) and prints the translation of one label for the caller to look for.
//
// report_host TEMPLATE CHECKER_XML CUSTOMER_XML LOW_MAG HIGH_MAG PACKAGE LOCALE_DIR COPY
#include <ReportGenerator/ReportGenerator.h>
#include <ReportGenerator/Translation.h>

#include <QFile>

#include <cstdio>

namespace {

const char stagingPage[] = "/tmp/DomReportGenerator.htm";

QByteArray readFile(const char* path)
{
    QFile file(QString::fromLocal8Bit(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 9) {
        std::fprintf(stderr,
            "usage: %s TEMPLATE CHECKER_XML CUSTOMER_XML LOW_MAG HIGH_MAG "
            "PACKAGE LOCALE_DIR COPY\n",
            argv[0]);
        return 2;
    }
    const QByteArray checker = readFile(argv[2]);
    const QByteArray customer = readFile(argv[3]);
    if (checker.isEmpty() || customer.isEmpty()) {
        std::fprintf(stderr, "cannot read the XML inputs\n");
        return 1;
    }
    SetTextDomain(argv[6], argv[7]);
    QFile::remove(QString::fromLatin1(stagingPage));
    const int result = CreateReportHtml(
        argv[1], "FRENCH", checker.constData(), customer.constData(), argv[4], argv[5]);
    std::printf("CreateReportHtml=%d\n", result);
    // The language of the report is now the current one.
    std::printf("translation=%s\n", Get_Translation("Customer information"));
    if (result != 0)
        return 1;
    const QString copy = QString::fromLocal8Bit(argv[8]);
    QFile::remove(copy);
    if (!QFile::copy(QString::fromLatin1(stagingPage), copy)) {
        std::fprintf(
            stderr, "no staging page %s after a successful CreateReportHtml\n", stagingPage);
        return 1;
    }
    return 0;
}
