#include "report/LibraryStrings.h"

#include <new>

namespace {

// Storage whose strings are constructed and destroyed exactly at the chosen load and
// unload priorities, not whenever the C++ runtime runs its own static code. The slots are
// constant-initialised, so the references below are bound before any code runs.
union StringSlot {
    constexpr StringSlot()
        : unused()
    { }
    ~StringSlot() { }
    char unused;
    std::string text;
};

enum SlotIndex { Language, Package, Dir, ImageLowMag, ImageHighMag, SlotCount };
StringSlot slots[SlotCount];

__attribute__((constructor(RG_PRIORITY_STRINGS_INIT))) void setUpLibraryStrings()
{
    new (&slots[Language].text) std::string("ENGLISH");
    new (&slots[Package].text) std::string("DovaReport");
    new (&slots[Dir].text) std::string("/quelnor/release/ressources/locale");
    new (&slots[ImageLowMag].text) std::string();
    new (&slots[ImageHighMag].text) std::string();
}

__attribute__((destructor(RG_PRIORITY_STRINGS_FINI))) void releaseLibraryStrings()
{
    for (StringSlot& slot : slots)
        slot.text.~basic_string();
}

} // namespace

std::string& g_sLanguage = slots[Language].text;
std::string& g_sPackage = slots[Package].text;
std::string& g_sDir = slots[Dir].text;
std::string& g_sImageLowMagPath = slots[ImageLowMag].text;
std::string& g_sImageHighMagPath = slots[ImageHighMag].text;
