// CRC-16/XMODEM and the running-key checksum.
#ifndef REPORTGENERATOR_CHECKSUM_H
#define REPORTGENERATOR_CHECKSUM_H

#include <ReportGenerator/reportgenerator_export.h>

REPORTGENERATOR_EXPORT unsigned short GenCRC16TableEntry(unsigned short index);
// CRC-16/XMODEM of len bytes; 0 when len is below 1.
REPORTGENERATOR_EXPORT unsigned short Crc16(unsigned char* data, int len);
// Checksum of the len / 2 host-order words of len bytes; 0 when there is no whole word.
REPORTGENERATOR_EXPORT unsigned long CalculateChecksum(unsigned short* words, int len);

#endif
