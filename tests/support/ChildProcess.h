// Code that must run in a process of its own: the first application object, a host's own
// application, the environment, process limits, another user, the process exit.
#ifndef RG_TESTS_CHILDPROCESS_H
#define RG_TESTS_CHILDPROCESS_H

#include <QProcessEnvironment>
#include <QString>

#include <functional>

struct ChildOutcome
{
    bool exitedNormally = false;
    int exitCode = -1;
    QString output; // standard output and error

    // A child test ran, passed, and its process ended without a crash.
    bool Passed() const;
};

// body in a forked child, its result the exit code. A child running over a minute is killed.
ChildOutcome RunInChild(const std::function<int()>& body);
// A program of its own, with the given environment.
ChildOutcome RunProgram(const QString& program, const QStringList& arguments,
    const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());
// One disabled test of this program ("Suite.DISABLED_Name") alone in a program of its own.
ChildOutcome RunChildTest(const QString& testName, const QProcessEnvironment& environment);
// The environment of a process without a display and without a chosen Qt platform.
QProcessEnvironment EnvironmentWithoutDisplay();

#endif
