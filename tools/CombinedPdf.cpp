#include "CombinedPdf.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char TEMPORARY_NAME[] = ".ReportGenerator-XXXXXX.tmp";
constexpr int TEMPORARY_SUFFIX_LENGTH = 4;

std::string temporaryBeside(const std::string& target)
{
    const size_t slash = target.rfind('/');
    std::string path =
        (slash == std::string::npos ? "." : target.substr(0, slash)) + "/" + TEMPORARY_NAME;
    const int descriptor = mkstemps(path.data(), TEMPORARY_SUFFIX_LENGTH);
    if (descriptor < 0)
        return std::string();
    // The mode a new file would get; this program has no other thread that the mask is for.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(descriptor, 0666 & ~mask);
    close(descriptor);
    return path;
}

// The sources must live until the combined document is written: its pages refer to them.
void appendPages(QPDF& combined, std::vector<std::unique_ptr<QPDF>>& sources)
{
    QPDFPageDocumentHelper pages(combined);
    for (QPDFPageObjectHelper& page : QPDFPageDocumentHelper(*sources.back()).getAllPages())
        pages.addPage(page, false);
}

} // namespace

bool CCombinedPdf::Write(
    const std::vector<std::string>& reports, const std::string& target, std::string& error)
{
    const std::string temporary = temporaryBeside(target);
    if (temporary.empty()) {
        error = "cannot write beside " + target + ": " + strerror(errno);
        return false;
    }
    try {
        QPDF combined;
        combined.emptyPDF();
        std::vector<std::unique_ptr<QPDF>> sources;
        for (const std::string& report : reports) {
            sources.push_back(std::make_unique<QPDF>());
            sources.back()->processFile(report.c_str());
            appendPages(combined, sources);
        }
        const QPDFObjectHandle info =
            sources.empty() ? QPDFObjectHandle() : sources.front()->getTrailer().getKey("/Info");
        if (info.isIndirect())
            combined.getTrailer().replaceKey("/Info", combined.copyForeignObject(info));
        QPDFWriter(combined, temporary.c_str()).write();
    } catch (const std::exception& failure) {
        error = failure.what();
        unlink(temporary.c_str());
        return false;
    }
    if (rename(temporary.c_str(), target.c_str()) != 0) {
        error = "cannot rename the file to " + target + ": " + strerror(errno);
        unlink(temporary.c_str());
        return false;
    }
    return true;
}
