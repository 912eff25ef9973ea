#include "PoCatalog.h"

#include <fstream>

namespace {

// The text between the first and the last double quote, with its escapes resolved.
std::string unquote(const std::string& line)
{
    const size_t first = line.find('"');
    const size_t last = line.rfind('"');
    std::string text;
    for (size_t i = first + 1; first != std::string::npos && i < last; ++i) {
        if (line[i] == '\\' && i + 1 < last)
            text += line[++i] == 'n' ? '\n' : line[i];
        else
            text += line[i];
    }
    return text;
}

} // namespace

PoCatalog::PoCatalog(const std::string& path)
{
    std::ifstream file(path);
    std::string line, id, str;
    std::string* field = nullptr;
    bool fuzzy = false;
    auto finish = [&] {
        if (!fuzzy && !id.empty() && !str.empty())
            mTranslations[id] = str;
        id.clear();
        str.clear();
        field = nullptr;
        fuzzy = false;
    };
    while (std::getline(file, line)) {
        if (line.rfind("#,", 0) == 0) {
            finish();
            fuzzy = line.find("fuzzy") != std::string::npos;
        } else if (line.rfind("msgid ", 0) == 0) {
            if (field == &str)
                finish();
            id = unquote(line);
            field = &id;
        } else if (line.rfind("msgstr ", 0) == 0) {
            str = unquote(line);
            field = &str;
        } else if (field && line.rfind('"', 0) == 0) {
            *field += unquote(line);
        }
    }
    finish();
}

std::string PoCatalog::Translate(const std::string& text) const
{
    const auto entry = mTranslations.find(text);
    return entry == mTranslations.end() ? text : entry->second;
}
