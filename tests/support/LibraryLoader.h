// The built library loaded as the instrument loads it: dlopen, dlsym, dlclose.
#ifndef RG_TESTS_LIBRARYLOADER_H
#define RG_TESTS_LIBRARYLOADER_H

#include <dlfcn.h>
#include <utility>

class LibraryLoader
{
public:
    explicit LibraryLoader(const char* path)
        : m_handle(dlopen(path, RTLD_NOW | RTLD_LOCAL))
    { }
    ~LibraryLoader() { Close(); }
    LibraryLoader(const LibraryLoader&) = delete;
    LibraryLoader& operator=(const LibraryLoader&) = delete;

    // An exported function by its symbol name, or null.
    template <typename Function> Function* Symbol(const char* name) const
    {
        return m_handle ? reinterpret_cast<Function*>(dlsym(m_handle, name)) : nullptr;
    }
    // Unloads the library, which runs its unload hook; 0 on success, -1 when none was loaded.
    int Close() { return m_handle ? dlclose(std::exchange(m_handle, nullptr)) : -1; }

private:
    void* m_handle;
};

#endif
