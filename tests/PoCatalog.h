// The translations of a .po file, read independently of the library's MO reader: the
// oracle for what a page must show.
#ifndef RG_TESTS_POCATALOG_H
#define RG_TESTS_POCATALOG_H

#include <fstream>
#include <map>
#include <string>

namespace pipeline {

// msgid -> msgstr of every entry that msgfmt compiles: translated and not fuzzy.
class PoCatalog
{
public:
    explicit PoCatalog(const std::string& path)
    {
        std::ifstream file(path);
        std::string line;
        while (std::getline(file, line))
            readLine(line);
        finishEntry();
    }

    // What a lookup gives: the translation, or the text itself.
    std::string Translate(const std::string& text) const
    {
        const auto entry = m_translations.find(text);
        return entry == m_translations.end() ? text : entry->second;
    }
    size_t Size() const { return m_translations.size(); }

private:
    enum class Field { None, Id, Str };

    void readLine(const std::string& line)
    {
        if (line.rfind("#,", 0) == 0 && line.find("fuzzy") != std::string::npos) {
            finishEntry();
            m_fuzzy = true;
        } else if (line.rfind("msgid ", 0) == 0) {
            if (m_field == Field::Str)
                finishEntry();
            m_field = Field::Id;
            m_id = unquote(line.substr(6));
        } else if (line.rfind("msgstr ", 0) == 0) {
            m_field = Field::Str;
            m_str = unquote(line.substr(7));
        } else if (line.rfind("\"", 0) == 0) {
            (m_field == Field::Id ? m_id : m_str) += unquote(line);
        }
    }

    // Ends the entry read so far; an entry's flags come before its msgid.
    void finishEntry()
    {
        if (m_field == Field::Str && !m_fuzzy && !m_id.empty() && !m_str.empty())
            m_translations[m_id] = m_str;
        m_field = Field::None;
        m_fuzzy = false;
        m_id.clear();
        m_str.clear();
    }

    static std::string unquote(const std::string& quoted)
    {
        std::string text;
        const size_t end = quoted.rfind('"');
        for (size_t at = 1; at < end; ++at) {
            if (quoted[at] != '\\' || at + 1 >= end) {
                text += quoted[at];
                continue;
            }
            const char escaped = quoted[++at];
            text += escaped == 'n' ? '\n' : escaped == 't' ? '\t' : escaped;
        }
        return text;
    }

    std::map<std::string, std::string> m_translations;
    Field m_field = Field::None;
    bool m_fuzzy = false;
    std::string m_id;
    std::string m_str;
};

} // namespace pipeline

#endif
