// Reader of GNU MO translation catalogs.
#ifndef REPORTGENERATOR_READMOFILE_H
#define REPORTGENERATOR_READMOFILE_H

#include <ReportGenerator/reportgenerator_export.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>

// One catalog file, read whole at construction. Lookups give the translation (pointing
// into the object's image, valid while the object lives) or the label itself.
class REPORTGENERATOR_EXPORT CReadMoFile
{
public:
    explicit CReadMoFile(const char* path);
    ~CReadMoFile();
    CReadMoFile(const CReadMoFile&) = delete;
    CReadMoFile& operator=(const CReadMoFile&) = delete;

    // Translation of s, or s itself when the catalog lacks it or no catalog is loaded.
    const char* text_lookup(const char* s);
    // True when source string index equals s.
    bool label_matches(const char* s, int index);
    // Drops the catalog: later lookups return their argument.
    void abort();
    // Reads the whole stream into a new buffer (malloc, the caller frees it) stored
    // through out; its size, or -1.
    int os_read_entire_file(FILE* file, void** out);

private:
    // Hosts allocate the object from this exact list of fields, so none may be added: the
    // image's size, which bounds every read, sits in a hidden header just before data.
    unsigned char* data;
    int Reversed;
    uint32_t num_strings;
    uint32_t original_table_offset;
    uint32_t translated_table_offset;
    uint32_t hash_num_entries;
    uint32_t hash_offset;
};

#endif
