// The translations of a .po file, read apart from the library's catalog reader: the oracle
// for what a page must show.
#ifndef RG_TESTS_POCATALOG_H
#define RG_TESTS_POCATALOG_H

#include <map>
#include <string>

class PoCatalog
{
public:
    // Every entry that msgfmt compiles: translated and not fuzzy.
    explicit PoCatalog(const std::string& path);

    // What a lookup gives: the translation, or the text itself.
    std::string Translate(const std::string& text) const;
    const std::map<std::string, std::string>& Entries() const { return mTranslations; }

private:
    std::map<std::string, std::string> mTranslations;
};

#endif
