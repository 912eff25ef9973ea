#include <ReportGenerator/Network.h>

#include "utils/UtilsTestHelpers.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sched.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// --- Port addresses ---

struct PortRow
{
    int port;
    const char* address;
    int servicePort;
};

class PortRows : public testing::TestWithParam<PortRow>
{
};

TEST_P(PortRows, GivesTheAddressAndPortThatServeIt)
{
    std::vector<char> dest(16, 'x');
    int servicePort = -1;
    const char* address = GetIpAddressOnPort(GetParam().port, dest.data(), &servicePort);
    EXPECT_STREQ(address, GetParam().address);
    EXPECT_STREQ(dest.data(), GetParam().address);
    EXPECT_EQ(servicePort, GetParam().servicePort);
}

INSTANTIATE_TEST_SUITE_P(Ports, PortRows,
    testing::Values(PortRow { 8203, "192.168.200.203", 8200 },
        PortRow { 8200, "192.168.200.200", 8200 }, PortRow { 8255, "192.168.200.255", 8200 },
        PortRow { 8299, "192.168.200.299", 8200 }, PortRow { 8300, "127.0.0.1", 8300 },
        PortRow { 8199, "127.0.0.1", 8199 }, PortRow { 23, "127.0.0.1", 23 },
        PortRow { -1, "127.0.0.1", -1 }),
    [](const testing::TestParamInfo<PortRow>& info) {
        return rowName(std::to_string(info.param.port));
    });

TEST(GetIpAddressOnPort, DestAndServicePortMayBeNull)
{
    EXPECT_STREQ(GetIpAddressOnPort(8201, nullptr, nullptr), "192.168.200.201");
    EXPECT_STREQ(GetIpAddressOnPort(80, nullptr, nullptr), "127.0.0.1");
}

// --- Address texts ---

TEST(InetLtoa, TextOfTheLow32BitsInNetworkOrder)
{
    const unsigned char loopback[4] = { 127, 0, 0, 1 };
    uint32_t address;
    memcpy(&address, loopback, sizeof address);
    EXPECT_STREQ(inet_ltoa(address), "127.0.0.1");
    EXPECT_STREQ(inet_ltoa(0xFFFFFFFF00000000ul | address), "127.0.0.1");
    EXPECT_STREQ(inet_ltoa(htonl(0xC0A8C8CBu)), "192.168.200.203");
}

// The first IPv4 address of the interface with the highest index that has one, from the C
// library's address list.
in_addr_t expectedAddress()
{
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0)
        return 0;
    in_addr_t found = 0;
    unsigned foundIndex = 0;
    for (const ifaddrs* entry = list; entry; entry = entry->ifa_next) {
        if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_INET)
            continue;
        const unsigned index = if_nametoindex(entry->ifa_name);
        if (index > foundIndex) {
            foundIndex = index;
            found = reinterpret_cast<const sockaddr_in*>(entry->ifa_addr)->sin_addr.s_addr;
        }
    }
    freeifaddrs(list);
    return found;
}

TEST(GetMyIpAddress, IsTheLastInterfaceAddressAndItsText)
{
    char dest[16] = "untouched";
    const unsigned int address = GetMyIpAddress(dest);
    EXPECT_EQ(address, expectedAddress());
    if (address != 0)
        EXPECT_STREQ(dest, inet_ltoa(address));
    else
        EXPECT_STREQ(dest, "untouched");
    EXPECT_EQ(GetMyIpAddress(nullptr), address);
}

const char* ipCommand()
{
    for (const char* path : { "/usr/sbin/ip", "/sbin/ip" }) {
        if (access(path, X_OK) == 0)
            return path;
    }
    return nullptr;
}

constexpr int NO_NAMESPACE = 77;
constexpr int IP_FAILED = 78;

// In a network namespace of its own, where lo (index 1) has no address: a removed veth
// pair leaves a gap in the indexes before the pair that holds the address.
int addressAfterAGap(const char* ip)
{
    alarm(10);
    if (unshare(CLONE_NEWNET) != 0)
        return NO_NAMESPACE;
    for (const char* arguments : { "link add v0 type veth peer name v1", "link del v0",
             "link add v2 type veth peer name v3", "addr add 10.1.2.3/24 dev v3" }) {
        if (system((std::string(ip) + " " + arguments).c_str()) != 0)
            return IP_FAILED;
    }
    char dest[16] = "untouched";
    const unsigned int address = GetMyIpAddress(dest);
    if (address == inet_addr("10.1.2.3") && strcmp(dest, "10.1.2.3") == 0)
        return 0;
    fprintf(stderr, "GetMyIpAddress gave %s, dest \"%s\"\n", inet_ltoa(address), dest);
    return 1;
}

TEST(GetMyIpAddress, FindsTheAddressBeyondAGapInTheIndexes)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "a network namespace needs root";
    const char* ip = ipCommand();
    if (!ip)
        GTEST_SKIP() << "iproute2 is not installed";
    const int result = runInChild([ip] { return addressAfterAGap(ip); });
    if (result == NO_NAMESPACE)
        GTEST_SKIP() << "no network namespace can be made here";
    EXPECT_EQ(result, 0) << (result == IP_FAILED ? "an ip command failed" : "");
}

// --- Time differences ---

struct TimeRow
{
    timeval later;
    timeval earlier;
    long difference;
    timeval result;
    timeval earlierAfter;
};

class SubtractRows : public testing::TestWithParam<TimeRow>
{
};

TEST_P(SubtractRows, GivesMicrosecondsAndNormalisesEarlier)
{
    timeval later = GetParam().later;
    timeval earlier = GetParam().earlier;
    timeval result {};
    EXPECT_EQ(SubtractTimeval(&result, &later, &earlier), GetParam().difference);
    EXPECT_EQ(result.tv_sec, GetParam().result.tv_sec);
    EXPECT_EQ(result.tv_usec, GetParam().result.tv_usec);
    EXPECT_EQ(earlier.tv_sec, GetParam().earlierAfter.tv_sec);
    EXPECT_EQ(earlier.tv_usec, GetParam().earlierAfter.tv_usec);
    EXPECT_EQ(later.tv_sec, GetParam().later.tv_sec);
    EXPECT_EQ(later.tv_usec, GetParam().later.tv_usec);
}

INSTANTIATE_TEST_SUITE_P(Times, SubtractRows,
    testing::Values(TimeRow { { 5, 100 }, { 3, 900000 }, 1100100, { 1, 100100 }, { 4, -100000 } },
        TimeRow { { 5, 1000000 }, { 3, 0 }, 3000000, { 2, 1000000 }, { 3, 0 } },
        TimeRow { { 5, 2500000 }, { 3, 0 }, 4500000, { 4, 500000 }, { 1, 2000000 } },
        TimeRow { { 3, 0 }, { 5, 0 }, -1, { -2, 0 }, { 5, 0 } },
        TimeRow { { 7, 250 }, { 7, 250 }, 0, { 0, 0 }, { 7, 250 } }),
    [](const testing::TestParamInfo<TimeRow>& info) {
        const TimeRow& row = info.param;
        return rowName(std::to_string(row.later.tv_sec) + " " + std::to_string(row.later.tv_usec)
            + " minus " + std::to_string(row.earlier.tv_sec) + " "
            + std::to_string(row.earlier.tv_usec));
    });

TEST(SubtractTimeval, NullArgumentsGiveMinusOne)
{
    timeval value {};
    EXPECT_EQ(SubtractTimeval(nullptr, &value, &value), -1);
    EXPECT_EQ(SubtractTimeval(&value, nullptr, &value), -1);
    EXPECT_EQ(SubtractTimeval(&value, &value, nullptr), -1);
}

// --- Shell commands ---

TEST(ShellCommand, GivesTheStatusAndStoresTheExitCode)
{
    int exitStatus = -5;
    const int status = ShellCommand(const_cast<char*>("exit 3"), &exitStatus);
    EXPECT_EQ((status >> 8) & 0xFF, 3);
    EXPECT_EQ(exitStatus, 3);
    EXPECT_EQ(ShellCommand(const_cast<char*>("true"), &exitStatus), 0);
    EXPECT_EQ(exitStatus, 0);
    EXPECT_EQ(ShellCommand(const_cast<char*>("exit 4"), nullptr) >> 8, 4);
}

} // namespace
