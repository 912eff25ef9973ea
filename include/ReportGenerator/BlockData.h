// IEEE 488.2 arbitrary block data: "#<D><length><data>" (D digits of length, 1 to 9) and
// the indefinite form "#0<data><line end>". Re-entrant; the caller owns every buffer.
#ifndef REPORTGENERATOR_BLOCKDATA_H
#define REPORTGENERATOR_BLOCKDATA_H

#include <ReportGenerator/reportgenerator_export.h>

// Data length of the block that s begins with: the value of its D length digits, or, in
// the indefinite form, the length of the text after "#0". 0 when s is null or no block.
// *headerLen (when headerLen is not null) receives D + 2, or 0 when s is no block.
REPORTGENERATOR_EXPORT long IsABD(const char* s, int* headerLen);

// Moves the data of the block that s begins with to the start of s, zeroes the header's
// length of bytes after it and returns the data length; text that is no block is left as
// it is and gives 0. s must hold the whole block that its header announces.
REPORTGENERATOR_EXPORT long GetDataFromABD(char* s);

// Rewrites the len data bytes at data in place as a block (header in front; in the
// indefinite form a CR LF behind unless the data already ends with a line feed or with two
// carriage returns) and returns the block's length, with no terminating zero. data must
// hold len + header length + 2 bytes (len + 13 always suffice). Returns 0, changing
// nothing, when data is null or len is negative or has more than nine digits.
REPORTGENERATOR_EXPORT long GenerateABD(char* data, int len, bool indefinite);

#endif
