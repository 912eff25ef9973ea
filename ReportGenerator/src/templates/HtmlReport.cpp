#include <ReportGenerator/HtmlReport.h>

#include "LogTrace.h"
#include "templates/Latin1PageFile.h"
#include "templates/TemplateLineReader.h"

#include <QRegExp>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

const char* const PARSE_HTML = "ParseHtml";
const char* const GENERATE_REPORT = "GenerateReport";

struct MarkerKind
{
    const char* opening;
    const char* closing;
};

constexpr MarkerKind LABEL_MARKER { "[{][~]", "[~][}]" };
constexpr MarkerKind TAG_MARKER { "[{][@]", "[@][}]" };
constexpr MarkerKind IMAGE_MARKER { "[{][$]", "[$][}]" };
// Every opening sequence begins with it.
constexpr QLatin1Char MARKER_BRACE { '{' };

// A heap copy of name, or null for a null or empty name.
char* copyName(const char* name)
{
    if (!name || !*name)
        return nullptr;
    const size_t size = strlen(name) + 1;
    char* copy = static_cast<char*>(malloc(size));
    if (copy)
        memcpy(copy, name, size);
    return copy;
}

QRegExp expression(const char* pattern)
{
    return QRegExp(QString::fromUtf8(pattern));
}

// Each opening sequence pairs with the first closing sequence after it; the next opening
// sequence is looked for right after the current one, not after its closing sequence.
// One search for a closing sequence serves every opening sequence before it, and when
// there is none, no later opening sequence can have one either.
void scanLine(const QString& line, QRegExp& opening, QRegExp& closing, QStringList& items)
{
    int from = 0;
    int closingStart = -1;
    int start;
    while ((start = opening.indexIn(line, from)) >= 0) {
        const int itemStart = start + opening.matchedLength();
        // An opening pattern that matches empty text must still move the scan on.
        from = std::max(itemStart, start + 1);
        if (closingStart < itemStart)
            closingStart = closing.indexIn(line, itemStart);
        if (closingStart < 0)
            return;
        items.append(line.mid(itemStart, closingStart - itemStart));
    }
}

// Puts the items of one kind in place of its markers, in order over all lines.
class CMarkerFiller
{
public:
    CMarkerFiller(const MarkerKind& kind, const QStringList& items)
        : m_opening(expression(kind.opening))
        , m_closing(expression(kind.closing))
        , m_items(items)
    { }

    // The closing sequence is looked for from the start of the opening one, so "{~}" is
    // complete here though the scan does not list it. The search goes on from the first
    // character of each insertion, so markers in inserted text are filled too. Markers
    // beyond the last item stay as they are.
    void FillLine(QString& line)
    {
        QString filled;
        int copied = 0;
        int start = m_opening.indexIn(line);
        while (start >= 0 && m_next < m_items.size()) {
            const int closingStart = m_closing.indexIn(line, start);
            if (closingStart < 0)
                break;
            const QString& item = m_items.at(m_next++);
            const int rest = closingStart + m_closing.matchedLength();
            filled += line.midRef(copied, start - copied);
            if (item.contains(MARKER_BRACE)) {
                line = item + line.midRef(rest);
                copied = 0;
            } else {
                // Text without a brace cannot begin a marker: it is final as it stands.
                filled += item;
                copied = rest;
            }
            start = m_opening.indexIn(line, copied);
        }
        filled += line.midRef(copied);
        line = filled;
    }

private:
    QRegExp m_opening;
    QRegExp m_closing;
    const QStringList m_items;
    int m_next = 0;
};

int reportMissingTemplate(const char* function)
{
    RG_LOG(LOG_ERR, "%s::Input Template HTML Filename is NULL", function);
    return 1;
}

// What stands in the way, when known, follows the message.
int reportOpenFailure(const char* function, int error, const char* path)
{
    RG_LOG(LOG_ERR, "%s::<ERROR %d>::Fail to open file %s", function, error, path);
    return 1;
}

} // namespace

CHtmlReport::CHtmlReport(char* pcTemplateHtmlFilename, char* pcOutputHtmlFilename)
    : m_pcTemplateHtmlFilename(copyName(pcTemplateHtmlFilename))
    , m_pcOutputHtmlFilename(m_pcTemplateHtmlFilename ? copyName(pcOutputHtmlFilename) : nullptr)
{ }

CHtmlReport::~CHtmlReport()
{
    free(m_pcTemplateHtmlFilename);
    free(m_pcOutputHtmlFilename);
}

int CHtmlReport::ParseHtml(const char* pcOpening, const char* pcClosing, QStringList& list)
{
    QRegExp opening = expression(pcOpening);
    opening.setMinimal(true);
    QRegExp closing = expression(pcClosing);
    if (!m_pcTemplateHtmlFilename)
        return reportMissingTemplate(PARSE_HTML);
    CTemplateLineReader reader(m_pcTemplateHtmlFilename);
    if (!reader.IsOpen())
        return reportOpenFailure(PARSE_HTML, reader.Error(), m_pcTemplateHtmlFilename);
    QString line;
    while (reader.ReadLine(line))
        scanLine(line, opening, closing, list);
    return 0;
}

int CHtmlReport::GetListLabels(QStringList& list)
{
    return ParseHtml(LABEL_MARKER.opening, LABEL_MARKER.closing, list);
}

int CHtmlReport::GetListTags(QStringList& list)
{
    return ParseHtml(TAG_MARKER.opening, TAG_MARKER.closing, list);
}

int CHtmlReport::GetListImages(QStringList& list)
{
    return ParseHtml(IMAGE_MARKER.opening, IMAGE_MARKER.closing, list);
}

int CHtmlReport::GenerateReport(QStringList labels, QStringList tags, QStringList images)
{
    CMarkerFiller fillers[] = { { LABEL_MARKER, labels }, { TAG_MARKER, tags },
        { IMAGE_MARKER, images } };
    RG_LOG(LOG_DEBUG, "%s::\n", GENERATE_REPORT);
    if (!m_pcTemplateHtmlFilename)
        return reportMissingTemplate(GENERATE_REPORT);
    if (!m_pcOutputHtmlFilename) {
        RG_LOG(LOG_ERR, "%s::Output HTML Filename is NULL", GENERATE_REPORT);
        return 1;
    }
    CTemplateLineReader reader(m_pcTemplateHtmlFilename);
    if (!reader.IsOpen())
        return reportOpenFailure(GENERATE_REPORT, reader.Error(), m_pcTemplateHtmlFilename);
    CLatin1PageFile page(m_pcOutputHtmlFilename);
    if (!page.IsOpen())
        return reportOpenFailure(
            GENERATE_REPORT, page.File().Error(), page.File().Described().c_str());
    QString line;
    bool written = true;
    while (written && reader.ReadLine(line)) {
        for (CMarkerFiller& filler : fillers)
            filler.FillLine(line);
        written = page.Write(line);
    }
    if (!page.Commit()) {
        RG_LOG(LOG_ERR, "%s::<ERROR %d>::Fail to write file %s", GENERATE_REPORT,
            page.File().Error(), m_pcOutputHtmlFilename);
        return 1;
    }
    return 0;
}
