#include "ReportApplication.h"

#include <QApplication>
#include <QNetworkAccessManager>
#include <QPrintDialog>
#include <QWebPage>
#include <QWebSettings>
#include <QWebView>

#include <dlfcn.h>

namespace {

const char* const LIBRARY_PLUGIN_PATH = "/usr/lib/plugins";

bool headless = false;

bool environmentNamesADisplay()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY")
        || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

// The application keeps referring to its argument count and vector for its whole life,
// which may outlast this library's mapping (dlclose): they live on the heap, like it.
struct ApplicationArguments
{
    int count = 1;
    char name[sizeof "ReportGenerator"] = "ReportGenerator";
    char* vector[2] = { name, nullptr };
};

// The library that holds address, made resident.
void keepLibraryLoaded(const void* address)
{
    Dl_info library {};
    if (dladdr(address, &library) && library.dli_fname)
        dlopen(library.dli_fname, RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE);
}

} // namespace

void CReportApplication::Create()
{
    if (QCoreApplication::instance())
        return;
    auto* arguments = new ApplicationArguments;
    headless = !environmentNamesADisplay();
    if (headless)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    new QApplication(arguments->count, arguments->vector);
    if (headless)
        qunsetenv("QT_QPA_PLATFORM");
    QCoreApplication::addLibraryPath(QString::fromLatin1(LIBRARY_PLUGIN_PATH));
}

void CReportApplication::KeepQtLoaded()
{
    static bool kept = false;
    if (kept)
        return;
    kept = true;
    for (const QMetaObject* type : { &QCoreApplication::staticMetaObject,
             &QGuiApplication::staticMetaObject, &QApplication::staticMetaObject,
             &QNetworkAccessManager::staticMetaObject, &QPrintDialog::staticMetaObject,
             &QWebPage::staticMetaObject, &QWebView::staticMetaObject })
        keepLibraryLoaded(type);
    keepLibraryLoaded(reinterpret_cast<const void*>(&QWebSettings::clearMemoryCaches));
}

QApplication* CReportApplication::Widgets()
{
    return qobject_cast<QApplication*>(QCoreApplication::instance());
}

bool CReportApplication::IsHeadless()
{
    return headless;
}
