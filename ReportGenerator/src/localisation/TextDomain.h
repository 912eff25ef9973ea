// Where the translation catalogs of the text domain live.
#ifndef REPORTGENERATOR_TEXTDOMAIN_H
#define REPORTGENERATOR_TEXTDOMAIN_H

#include <string>

// Catalog of a language: g_sDir + "/" + locale code + "/LC_MESSAGES/" + g_sPackage + ".mo".
// A name outside the language table gives the "en_US" catalog.
std::string CatalogPath(const std::string& language);

#endif
