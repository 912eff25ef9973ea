#include "ChildProcess.h"

#include "Files.h"

#include <QFileInfo>
#include <QProcess>

#include <cstdio>
#include <sys/wait.h>
#include <unistd.h>

namespace {
constexpr int CHILD_TIMEOUT_MS = 240000;
constexpr unsigned FORKED_CHILD_LIMIT_S = 60;
}

ChildOutcome RunInChild(const std::function<int()>& body)
{
    char outputPath[] = "/tmp/rg-child-XXXXXX";
    const int output = mkstemp(outputPath);
    fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        alarm(FORKED_CHILD_LIMIT_S);
        dup2(output, STDOUT_FILENO);
        dup2(output, STDERR_FILENO);
        const int code = body();
        fflush(nullptr);
        _exit(code);
    }
    int status = 0;
    ChildOutcome outcome;
    if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status)) {
        outcome.exitedNormally = true;
        outcome.exitCode = WEXITSTATUS(status);
    }
    close(output);
    outcome.output = QString::fromStdString(files::Read(outputPath));
    unlink(outputPath);
    return outcome;
}

bool ChildOutcome::Passed() const
{
    return exitedNormally && exitCode == 0 && output.contains(QLatin1String("[  PASSED  ] 1 test"));
}

ChildOutcome RunProgram(
    const QString& program, const QStringList& arguments, const QProcessEnvironment& environment)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    ChildOutcome outcome;
    if (!process.waitForFinished(CHILD_TIMEOUT_MS)) {
        process.kill();
        process.waitForFinished();
    }
    outcome.exitedNormally = process.exitStatus() == QProcess::NormalExit;
    outcome.exitCode = process.exitCode();
    outcome.output = QString::fromUtf8(process.readAll());
    return outcome;
}

ChildOutcome RunChildTest(const QString& testName, const QProcessEnvironment& environment)
{
    const QString self = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    return RunProgram(
        self, { "--gtest_also_run_disabled_tests", "--gtest_filter=" + testName }, environment);
}

QProcessEnvironment EnvironmentWithoutDisplay()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : { "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM" })
        environment.remove(QString::fromLatin1(name));
    return environment;
}
