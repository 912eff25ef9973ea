// Network and process helpers.
#ifndef REPORTGENERATOR_NETWORK_H
#define REPORTGENERATOR_NETWORK_H

#include <ReportGenerator/reportgenerator_export.h>

#include <sys/time.h>

// Dotted text of an IPv4 address in network byte order (the C library's shared buffer).
REPORTGENERATOR_EXPORT char* inet_ltoa(unsigned long address);
// Address of the last interface that has one, 0 when none; its text goes to dest.
REPORTGENERATOR_EXPORT unsigned int GetMyIpAddress(char* dest);
// Address that serves port, in a process-wide buffer; servicePort receives the port.
REPORTGENERATOR_EXPORT char* GetIpAddressOnPort(int port, char* dest, int* servicePort);
// later - earlier in microseconds, or -1 when negative; earlier is normalised in place.
REPORTGENERATOR_EXPORT long SubtractTimeval(timeval* result, timeval* later, timeval* earlier);
// Runs command through the shell; exitStatus receives its exit status.
REPORTGENERATOR_EXPORT int ShellCommand(char* command, int* exitStatus);

#endif
