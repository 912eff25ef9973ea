#include "ChildProcess.h"

#include "Files.h"

#include <QFileInfo>
#include <QProcess>

#include <sys/wait.h>
#include <unistd.h>

namespace {
constexpr int PROGRAM_LIMIT_MS = 60000;
constexpr unsigned FORKED_CHILD_LIMIT_S = 60;
} // namespace

bool ChildOutcome::Passed() const
{
    return exitedNormally && exitCode == 0 && output.contains(QLatin1String("[  PASSED  ] 1 test"));
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
    outcome.exitedNormally = waitpid(child, &status, 0) == child && WIFEXITED(status);
    outcome.exitCode = outcome.exitedNormally ? WEXITSTATUS(status) : -1;
    close(output);
    outcome.output = QString::fromStdString(files::Read(outputPath));
    unlink(outputPath);
    return outcome;
}

ChildOutcome RunProgram(
    const QString& program, const QStringList& arguments, const QProcessEnvironment& environment)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(PROGRAM_LIMIT_MS)) {
        process.kill();
        process.waitForFinished();
    }
    return { process.exitStatus() == QProcess::NormalExit, process.exitCode(),
        QString::fromUtf8(process.readAll()) };
}

ChildOutcome RunChildTest(const QString& testName, const QProcessEnvironment& environment)
{
    return RunProgram(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath(),
        { "--gtest_also_run_disabled_tests", "--gtest_filter=" + testName }, environment);
}

QProcessEnvironment EnvironmentWithoutDisplay()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : { "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM" })
        environment.remove(QString::fromLatin1(name));
    return environment;
}
