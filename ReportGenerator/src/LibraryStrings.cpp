#include "LibraryStrings.h"

#include <new>

namespace {

// Raw storage so that construction and destruction happen exactly at the chosen load and
// unload priorities, not whenever the C++ runtime runs its own static destructors.
enum StringSlot { Language, Package, Dir, ImageLowMag, ImageHighMag, SlotCount };
alignas(std::string) unsigned char storage[SlotCount][sizeof(std::string)];

std::string& slot(StringSlot index)
{
    return *std::launder(reinterpret_cast<std::string*>(storage[index]));
}

__attribute__((constructor(RG_PRIORITY_STRINGS_INIT))) void setUpLibraryStrings()
{
    new (storage[Language]) std::string("ENGLISH");
    new (storage[Package]) std::string("DovaReport");
    new (storage[Dir]) std::string("/quelnor/release/ressources/locale");
    new (storage[ImageLowMag]) std::string();
    new (storage[ImageHighMag]) std::string();
}

__attribute__((destructor(RG_PRIORITY_STRINGS_FINI))) void releaseLibraryStrings()
{
    for (int index = 0; index < SlotCount; ++index)
        slot(static_cast<StringSlot>(index)).~basic_string();
}

} // namespace

std::string& g_sLanguage = slot(Language);
std::string& g_sPackage = slot(Package);
std::string& g_sDir = slot(Dir);
std::string& g_sImageLowMagPath = slot(ImageLowMag);
std::string& g_sImageHighMagPath = slot(ImageHighMag);
