#include "render/ReportApplication.h"

#include "LogTrace.h"

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

// Whether the X display named accepts a connection. Qt's xcb platform aborts the process
// when it cannot open its display, so that is asked first, through the library it uses.
bool xDisplayOpens(const QByteArray& display)
{
    void* xcb = dlopen("libxcb.so.1", RTLD_LAZY | RTLD_LOCAL);
    if (!xcb)
        return false;
    using Connect = void* (*)(const char*, int*);
    using HasError = int (*)(void*);
    using Disconnect = void (*)(void*);
    const auto connect = reinterpret_cast<Connect>(dlsym(xcb, "xcb_connect"));
    const auto hasError = reinterpret_cast<HasError>(dlsym(xcb, "xcb_connection_has_error"));
    const auto disconnect = reinterpret_cast<Disconnect>(dlsym(xcb, "xcb_disconnect"));
    bool opens = false;
    if (connect && hasError && disconnect) {
        void* connection = connect(display.constData(), nullptr);
        opens = connection && !hasError(connection);
        disconnect(connection);
    }
    dlclose(xcb);
    return opens;
}

// True when the application must go on Qt's offscreen platform: the environment names no
// display, or names an X display that cannot be opened. A platform other than xcb chosen
// by the host or the environment is used as it is.
bool needsOffscreenPlatform()
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty() && platform != "xcb")
        return false;
    const QByteArray display = qgetenv("DISPLAY");
    if (display.isEmpty())
        return platform.isEmpty() && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (xDisplayOpens(display))
        return false;
    RG_LOG(LOG_WARNING, "%s::Display \"%s\" cannot be opened: reports go to PDF files only",
        "CReportApplication", display.constData());
    return true;
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
    headless = needsOffscreenPlatform();
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (headless)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    new QApplication(arguments->count, arguments->vector);
    if (headless && platform.isEmpty())
        qunsetenv("QT_QPA_PLATFORM");
    else if (headless)
        qputenv("QT_QPA_PLATFORM", platform);
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
