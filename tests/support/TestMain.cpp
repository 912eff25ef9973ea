// main() of every test program: GoogleTest, with each test bounded in time, so that a test
// that waits for something that never comes fails in seconds instead of holding the suite.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace {

constexpr unsigned DEFAULT_LIMIT_S = 20;
char runningTest[256];

void reportOverrun(int)
{
    static const char text[] = "\n*** did not finish within its time limit: ";
    write(STDERR_FILENO, text, sizeof text - 1);
    write(STDERR_FILENO, runningTest, strlen(runningTest));
    write(STDERR_FILENO, "\n", 1);
    _exit(1);
}

// RG_TEST_LIMIT_S overrides the limit, for slower builds such as the sanitizer one.
class Watchdog : public testing::EmptyTestEventListener
{
    void OnTestStart(const testing::TestInfo& test) override
    {
        snprintf(runningTest, sizeof runningTest, "%s.%s", test.test_suite_name(), test.name());
        const char* limit = getenv("RG_TEST_LIMIT_S");
        alarm(limit ? static_cast<unsigned>(atoi(limit)) : DEFAULT_LIMIT_S);
    }
    void OnTestEnd(const testing::TestInfo&) override { alarm(0); }
};

} // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    signal(SIGALRM, reportOverrun);
    testing::UnitTest::GetInstance()->listeners().Append(new Watchdog);
    return RUN_ALL_TESTS();
}
