// A gettext template (.pot) of the labels of a report template.
#ifndef RG_TOOLS_LABELCATALOGTEMPLATE_H
#define RG_TOOLS_LABELCATALOGTEMPLATE_H

#include <string>
#include <vector>

// Each distinct label once, in the order of its first appearance, with a reference to
// the line of that appearance. The labels are those that the library translates: the
// template is scanned by the library's own marker scanner.
class CLabelCatalogTemplate
{
public:
    explicit CLabelCatalogTemplate(const std::string& templateFile);

    // False when the template cannot be read.
    bool Read();
    std::string Text() const;

    // A PO string literal: quotes, backslashes and control characters escaped.
    static std::string Quoted(const std::string& text);

private:
    struct Entry
    {
        std::string label;
        int line;
    };

    int LineOf(const std::string& label) const;

    std::string m_templateFile;
    std::vector<std::string> m_lines;
    std::vector<Entry> m_entries;
};

#endif
