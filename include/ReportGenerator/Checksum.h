// CRC-16/XMODEM and the running-key checksum. Both are re-entrant and keep no state.
#ifndef REPORTGENERATOR_CHECKSUM_H
#define REPORTGENERATOR_CHECKSUM_H

#include <ReportGenerator/reportgenerator_export.h>

// CRC-16/XMODEM table entry (polynomial 0x1021) of the low 8 bits of index.
REPORTGENERATOR_EXPORT unsigned short GenCRC16TableEntry(unsigned short index);
// CRC-16/XMODEM of the len bytes at data ("123456789" gives 0x31C3); 0 when len is below
// 1 or data is null.
REPORTGENERATOR_EXPORT unsigned short Crc16(unsigned char* data, int len);
// Running-key checksum of the len / 2 words at words (len counts bytes; an odd last byte
// is ignored; words are read in host byte order and need not be aligned). 64-bit sum;
// 0 when there is no whole word or words is null.
REPORTGENERATOR_EXPORT unsigned long CalculateChecksum(unsigned short* words, int len);

#endif
