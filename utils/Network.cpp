#include <ReportGenerator/Network.h>

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int PORT_BLOCK_FIRST = 8200;
constexpr int PORT_BLOCK_LAST = 8299;
constexpr size_t PORT_ADDRESS_SIZE = 20;
constexpr long MICROSECONDS = 1000000;

char portAddress[PORT_ADDRESS_SIZE] = "127.0.0.1";

// IPv4 address of the named interface, 0 when it has none.
in_addr_t interfaceAddress(int socketFd, const char* name)
{
    ifreq request {};
    strncpy(request.ifr_name, name, sizeof request.ifr_name - 1);
    if (ioctl(socketFd, SIOCGIFADDR, &request) != 0)
        return 0;
    sockaddr_in inet {};
    memcpy(&inet, &request.ifr_addr, sizeof inet);
    return inet.sin_addr.s_addr;
}

// Removed interfaces leave gaps in the indexes, so the interfaces are listed rather than
// counted up to the first missing index.
in_addr_t lastInterfaceAddress(int socketFd)
{
    using Entry = struct if_nameindex;
    Entry* interfaces = if_nameindex();
    if (!interfaces)
        return 0;
    std::vector<const Entry*> byIndex;
    for (const Entry* entry = interfaces; entry->if_index != 0; ++entry)
        byIndex.push_back(entry);
    std::sort(byIndex.begin(), byIndex.end(),
        [](const Entry* a, const Entry* b) { return a->if_index < b->if_index; });
    in_addr_t found = 0;
    for (const Entry* entry : byIndex) {
        if (const in_addr_t address = interfaceAddress(socketFd, entry->if_name))
            found = address;
    }
    if_freenameindex(interfaces);
    return found;
}

} // namespace

char* inet_ltoa(unsigned long address)
{
    in_addr inet {};
    inet.s_addr = static_cast<in_addr_t>(address);
    return inet_ntoa(inet);
}

unsigned int GetMyIpAddress(char* dest)
{
    const int socketFd = socket(AF_INET, SOCK_STREAM, 0);
    if (socketFd < 0)
        return 0;
    const in_addr_t found = lastInterfaceAddress(socketFd);
    close(socketFd);
    if (found != 0 && dest)
        strcpy(dest, inet_ltoa(found));
    return found;
}

char* GetIpAddressOnPort(int port, char* dest, int* servicePort)
{
    int connectPort = port;
    if (port >= PORT_BLOCK_FIRST && port <= PORT_BLOCK_LAST) {
        snprintf(portAddress, sizeof portAddress, "192.168.200.2%02d", port - PORT_BLOCK_FIRST);
        connectPort = PORT_BLOCK_FIRST;
    } else {
        snprintf(portAddress, sizeof portAddress, "%s", "127.0.0.1");
    }
    if (servicePort)
        *servicePort = connectPort;
    if (dest)
        strcpy(dest, portAddress);
    return portAddress;
}

long SubtractTimeval(timeval* result, timeval* later, timeval* earlier)
{
    if (!result || !later || !earlier)
        return -1;
    // Carry whole seconds into earlier so that the microsecond difference is 0 to 1000000.
    if (later->tv_usec < earlier->tv_usec) {
        const long seconds = (earlier->tv_usec - later->tv_usec) / MICROSECONDS + 1;
        earlier->tv_usec -= MICROSECONDS * seconds;
        earlier->tv_sec += seconds;
    }
    if (later->tv_usec - earlier->tv_usec > MICROSECONDS) {
        const long seconds = (later->tv_usec - earlier->tv_usec) / MICROSECONDS;
        earlier->tv_usec += MICROSECONDS * seconds;
        earlier->tv_sec -= seconds;
    }
    result->tv_sec = later->tv_sec - earlier->tv_sec;
    result->tv_usec = later->tv_usec - earlier->tv_usec;
    if (later->tv_sec < earlier->tv_sec)
        return -1;
    return result->tv_sec * MICROSECONDS + result->tv_usec;
}

int ShellCommand(char* command, int* exitStatus)
{
    const int status = system(command);
    if (status == -1)
        printf("system %s failed with errno=%d\r\n", command ? command : "(null)", errno);
    if (exitStatus)
        *exitStatus = status == -1 ? -1 : (status >> 8) & 0xFF;
    return status;
}
