#include "UtilityTests.h"

#include <arpa/inet.h>
#include <sched.h>

// port: the address that serves it and the port to connect to
const std::tuple<int, const char*> PORTS[] = { { 8203, "192.168.200.203:8200" },
    { 8200, "192.168.200.200:8200" }, { 8299, "192.168.200.299:8200" },
    { 8300, "127.0.0.1:8300" } };
TABLE_TEST(Table, PortAddress, IsPrivateForThe8200BlockAndLocalOtherwise, PORTS)
{
    char dest[16];
    int port = -1;
    const std::string address = GetIpAddressOnPort(std::get<0>(GetParam()), dest, &port);
    EXPECT_EQ(address + ":" + std::to_string(port), std::get<1>(GetParam()));
    EXPECT_EQ(address, dest);
    EXPECT_EQ(GetIpAddressOnPort(std::get<0>(GetParam()), nullptr, nullptr), address);
}

// In a network namespace of its own: lo (index 1) without, then with its address; a removed
// veth pair leaves a gap in the indexes before the pair whose first member holds 10.1.2.3.
TEST(GetMyIpAddress, IsTheLastInterfaceAddressBeyondGapsAndInetLtoaWritesItsLow32Bits)
{
    const ChildOutcome child = RunInChild([] {
        char dest[16] = "none";
        if (unshare(CLONE_NEWNET) != 0)
            return 77;
        const unsigned none = GetMyIpAddress(dest);
        if (system(
                "ip link set lo up && ip link add v0 type veth peer name v1 && ip link del v0 && "
                "ip link add v2 type veth peer name v3 && ip addr add 10.1.2.3/24 dev v3"))
            return 2;
        // inet_ltoa writes the low 32 bits.
        const char* text = inet_ltoa(0xFFFFFFFF00000000ul | GetMyIpAddress(nullptr));
        return int(none || strcmp(text, "10.1.2.3") || !GetMyIpAddress(dest) || strcmp(dest, text));
    });
    if (child.exitCode == 77)
        GTEST_SKIP() << "no network namespace of its own here (needs root)";
    EXPECT_EQ(child.exitCode, 0) << child.output.toStdString();
}

// name, later, earlier: the difference in microseconds, then result and earlier afterwards
const std::tuple<const char*, timeval, timeval, std::string> TIMES[] = {
    { "Borrow", { 5, 100 }, { 3, 900000 }, "1100100 1.100100 4.-100000" },
    { "SecondNotCarried", { 5, 1000000 }, { 3, 0 }, "3000000 2.1000000 3.0" },
    { "HalfASecondBelow", { 4, 500000 }, { 5, 0 }, "-1 -1.500000 5.0" }
};
TABLE_TEST(Table, Subtract, GivesMicrosecondsOrMinus1AndNormalisesEarlier, TIMES)
{
    auto [name, later, earlier, expected] = GetParam();
    const auto s = [](auto t) {
        return std::to_string(t.tv_sec) + '.' + std::to_string(t.tv_usec);
    };
    timeval result {};
    const long difference = SubtractTimeval(&result, &later, &earlier);
    EXPECT_EQ(std::to_string(difference) + " " + s(result) + " " + s(earlier), expected);
    EXPECT_EQ(
        SubtractTimeval(nullptr, &later, &earlier) + SubtractTimeval(&result, &later, nullptr), -2);
}

TEST(ShellCommand, GivesTheStatusAndStoresTheExitCode)
{
    int exitStatus = -5;
    EXPECT_EQ(ShellCommand(Text("exit 3"), &exitStatus) >> 8, 3);
    EXPECT_EQ(exitStatus + (ShellCommand(Text("exit 4"), nullptr) >> 8), 7);
}
