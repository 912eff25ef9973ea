// Network and process helpers for the instrument's programs.
#ifndef REPORTGENERATOR_NETWORK_H
#define REPORTGENERATOR_NETWORK_H

#include <ReportGenerator/reportgenerator_export.h>

#include <sys/time.h>

// Dotted text of the IPv4 address in the low 32 bits of address (network byte order), in
// the C library's shared buffer of inet_ntoa, which the next such call overwrites.
REPORTGENERATOR_EXPORT char* inet_ltoa(unsigned long address);

// IPv4 address (network byte order) of the last interface, in index order, that has one;
// 0 when none is found or no socket can be opened.
// When an address is found and dest is not null, its dotted text is copied into dest
// (16 bytes).
REPORTGENERATOR_EXPORT unsigned int GetMyIpAddress(char* dest);

// Address that serves port: ports 8200 to 8299 are served on port 8200 at
// "192.168.200.2NN" (NN = port - 8200), every other port on itself at "127.0.0.1".
// Returns a process-wide buffer that the next call overwrites; the text is also copied into
// dest (16 bytes) and the port to connect to into *servicePort, when they are not null.
REPORTGENERATOR_EXPORT char* GetIpAddressOnPort(int port, char* dest, int* servicePort);

// later - earlier in microseconds, also stored in *result as seconds and microseconds; -1
// when the difference is negative (result still holds it) or an argument is null.
// earlier is rewritten in place as the same instant with microseconds that make the
// microsecond difference 0 to 1000000.
REPORTGENERATOR_EXPORT long SubtractTimeval(timeval* result, timeval* later, timeval* earlier);

// Runs command through the shell and waits for it. Returns the status of system(); when
// exitStatus is not null it receives the command's exit code (bits 8 to 15 of the status),
// or -1 when no shell could be started (a message then goes to standard output).
REPORTGENERATOR_EXPORT int ShellCommand(char* command, int* exitStatus);

#endif
