#include "CombinedPdf.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char TEMPORARY_NAME[] = ".ReportGenerator-XXXXXX.tmp";
constexpr int TEMPORARY_SUFFIX_LENGTH = 4;

std::string temporaryBeside(const std::string& target)
{
    const size_t slash = target.rfind('/');
    return (slash == std::string::npos ? "." : target.substr(0, slash)) + "/" + TEMPORARY_NAME;
}

// Throws what qpdf throws for a report it cannot read.
void combine(QPDF& combined, const std::vector<std::string>& reports,
    std::vector<std::unique_ptr<QPDF>>& sources)
{
    combined.emptyPDF();
    QPDFPageDocumentHelper pages(combined);
    for (const std::string& report : reports) {
        sources.push_back(std::make_unique<QPDF>());
        sources.back()->processFile(report.c_str());
        for (QPDFPageObjectHelper& page : QPDFPageDocumentHelper(*sources.back()).getAllPages())
            pages.addPage(page, false);
    }
    const QPDFObjectHandle info = sources.front()->getTrailer().getKey("/Info");
    if (info.isIndirect())
        combined.getTrailer().replaceKey("/Info", combined.copyForeignObject(info));
}

// Written and synced, with the mode the library gave the first report: the mode of a new
// file, found without touching the process's umask, which the renderer's threads share.
bool writeSynced(const std::vector<std::string>& reports, FILE* file, const std::string& path,
    std::string& error)
{
    struct stat report;
    try {
        QPDF combined;
        std::vector<std::unique_ptr<QPDF>> sources; // the combination's pages refer to them
        combine(combined, reports, sources);
        QPDFWriter(combined, path.c_str(), file, false).write();
    } catch (const std::exception& failure) {
        error = failure.what();
        return false;
    }
    const int descriptor = fileno(file);
    if (fflush(file) != 0 || fsync(descriptor) != 0 || stat(reports.front().c_str(), &report) != 0
        || fchmod(descriptor, report.st_mode & 07777) != 0) {
        error = "cannot write " + path + ": " + strerror(errno);
        return false;
    }
    return true;
}

} // namespace

bool CCombinedPdf::Write(
    const std::vector<std::string>& reports, const std::string& target, std::string& error)
{
    std::string temporary = temporaryBeside(target);
    const int descriptor = mkostemps(temporary.data(), TEMPORARY_SUFFIX_LENGTH, O_CLOEXEC);
    FILE* file = descriptor < 0 ? nullptr : fdopen(descriptor, "wb");
    if (!file) {
        error = "cannot write beside " + target + ": " + strerror(errno);
        if (descriptor >= 0) {
            close(descriptor);
            unlink(temporary.c_str());
        }
        return false;
    }
    bool written = writeSynced(reports, file, temporary, error);
    if (fclose(file) != 0 && written) {
        error = "cannot write " + temporary + ": " + strerror(errno);
        written = false;
    }
    if (written && rename(temporary.c_str(), target.c_str()) != 0) {
        error = "cannot rename the file to " + target + ": " + strerror(errno);
        written = false;
    }
    if (!written)
        unlink(temporary.c_str());
    return written;
}
