#include "ChildProcessTest.h"

#include <QFileInfo>
#include <QProcess>

namespace {
constexpr int CHILD_TIMEOUT_MS = 240000;
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
