// Runs one disabled test of the current test executable alone in a child process: for what
// must happen in a process of its own (the first application object, a host's own
// application, the environment, the process exit).
#ifndef RG_TESTS_CHILDPROCESSTEST_H
#define RG_TESTS_CHILDPROCESSTEST_H

#include <QProcessEnvironment>
#include <QString>

struct ChildOutcome
{
    bool exitedNormally = false;
    int exitCode = -1;
    QString output;

    // The child test ran, passed and the process ended without a crash.
    bool Passed() const;
};

// testName is "Suite.DISABLED_Name"; the child runs it with the given environment.
ChildOutcome RunChildTest(const QString& testName, const QProcessEnvironment& environment);

// The environment of a process without a display and without a chosen Qt platform.
QProcessEnvironment EnvironmentWithoutDisplay();

// A program of its own, with the given environment.
ChildOutcome RunProgram(
    const QString& program, const QStringList& arguments, const QProcessEnvironment& environment);

#endif
