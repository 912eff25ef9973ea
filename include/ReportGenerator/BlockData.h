// IEEE 488.2 arbitrary block data ("#<D><length><data>" and "#0<data><line end>").
#ifndef REPORTGENERATOR_BLOCKDATA_H
#define REPORTGENERATOR_BLOCKDATA_H

#include <ReportGenerator/reportgenerator_export.h>

// Data length of the block that s begins with, or 0; headerLen receives the header length.
REPORTGENERATOR_EXPORT long IsABD(const char* s, int* headerLen);
// Moves the block's data to the start of s and returns its length.
REPORTGENERATOR_EXPORT long GetDataFromABD(char* s);
// Rewrites len data bytes in place as a block (data holds len + header + 2 bytes) and
// returns the block's length.
REPORTGENERATOR_EXPORT long GenerateABD(char* data, int len, bool indefinite);

#endif
