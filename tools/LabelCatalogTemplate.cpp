#include "LabelCatalogTemplate.h"

#include <ReportGenerator/HtmlReport.h>

#include <QSet>

#include <ctime>
#include <fstream>

namespace {

std::string header()
{
    char date[32] = "";
    const time_t now = time(nullptr);
    tm local {};
    strftime(date, sizeof date, "%Y-%m-%d %H:%M%z", localtime_r(&now, &local));
    return std::string("#, fuzzy\n"
                       "msgid \"\"\n"
                       "msgstr \"\"\n"
                       "\"Project-Id-Version: PACKAGE VERSION\\n\"\n"
                       "\"Report-Msgid-Bugs-To: \\n\"\n"
                       "\"POT-Creation-Date: ")
        + date
        + "\\n\"\n"
          "\"PO-Revision-Date: YEAR-MO-DA HO:MI+ZONE\\n\"\n"
          "\"Last-Translator: FULL NAME <EMAIL@ADDRESS>\\n\"\n"
          "\"Language-Team: LANGUAGE <LL@li.org>\\n\"\n"
          "\"Language: \\n\"\n"
          "\"MIME-Version: 1.0\\n\"\n"
          "\"Content-Type: text/plain; charset=UTF-8\\n\"\n"
          "\"Content-Transfer-Encoding: 8bit\\n\"\n";
}

} // namespace

CLabelCatalogTemplate::CLabelCatalogTemplate(const std::string& templateFile)
    : m_templateFile(templateFile)
{ }

bool CLabelCatalogTemplate::Read()
{
    std::ifstream file(m_templateFile, std::ios::binary);
    if (!file)
        return false;
    for (std::string line; std::getline(file, line);)
        m_lines.push_back(line);

    std::vector<char> name(m_templateFile.begin(), m_templateFile.end());
    name.push_back('\0');
    char noPage[] = "";
    CHtmlReport report(name.data(), noPage);
    QStringList labels;
    if (report.GetListLabels(labels) != 0)
        return false;
    QSet<QString> seen;
    for (const QString& label : labels) {
        // An empty msgid is the catalog's header, never a label.
        if (label.isEmpty() || seen.contains(label))
            continue;
        seen.insert(label);
        const std::string text = label.toUtf8().toStdString();
        m_entries.push_back({ text, LineOf(text) });
    }
    return true;
}

int CLabelCatalogTemplate::LineOf(const std::string& label) const
{
    const std::string marker = "{~" + label + "~}";
    for (size_t i = 0; i < m_lines.size(); ++i) {
        if (m_lines[i].find(marker) != std::string::npos)
            return static_cast<int>(i + 1);
    }
    return 0;
}

std::string CLabelCatalogTemplate::Quoted(const std::string& text)
{
    std::string quoted = "\"";
    for (const char c : text) {
        switch (c) {
        case '"':
            quoted += "\\\"";
            break;
        case '\\':
            quoted += "\\\\";
            break;
        case '\n':
            quoted += "\\n";
            break;
        case '\r':
            quoted += "\\r";
            break;
        case '\t':
            quoted += "\\t";
            break;
        default:
            quoted += c;
        }
    }
    return quoted + "\"";
}

std::string CLabelCatalogTemplate::Text() const
{
    std::string text = "# Labels of the report template " + m_templateFile + ".\n" + header();
    for (const Entry& entry : m_entries) {
        text += "\n#: " + m_templateFile;
        if (entry.line > 0)
            text += ":" + std::to_string(entry.line);
        text += "\nmsgid " + Quoted(entry.label) + "\nmsgstr \"\"\n";
    }
    return text;
}
