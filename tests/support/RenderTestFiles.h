// Small file helpers of the renderer's tests.
#ifndef RG_TESTS_RENDERTESTFILES_H
#define RG_TESTS_RENDERTESTFILES_H

#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <string>

namespace renderTest {

// Fails the calling test when the file cannot be written whole.
void WriteFile(const QString& path, const QByteArray& bytes);
// Empty when the file cannot be read.
QByteArray ReadFile(const QString& path);
// Every file of the directory, hidden ones included, sorted by name.
QStringList FilesIn(const QString& directory);

// Standard error of a call, where the library's log lines go.
template <typename Call> auto CapturingStderr(std::string& log, Call call)
{
    testing::internal::CaptureStderr();
    const auto result = call();
    log = testing::internal::GetCapturedStderr();
    return result;
}

} // namespace renderTest

#endif
