// The Qt application object of the process, for hosts that bring none.
#ifndef REPORTGENERATOR_REPORTAPPLICATION_H
#define REPORTGENERATOR_REPORTAPPLICATION_H

class QApplication;

// The application object that the renderer creates is never destroyed: at process exit the
// atexit handlers of Qt and WebKit tear down their global state before any library
// destructor could run, so no later point is safe to destroy it, and after a dlclose the
// Qt libraries stay loaded and a later load of this library keeps using it.
class CReportApplication
{
public:
    // Creates the process's QApplication when there is no application object at all.
    // Without a display that can be opened it is put on Qt's offscreen platform; the
    // environment is left as it was.
    static void Create();

    // The widget application, or null when the process has none (no application object,
    // or only a QCoreApplication).
    static QApplication* Widgets();

    // Makes the Qt libraries that the renderer uses stay loaded for the rest of the
    // process, even once the host unloads this library: Qt WebKit keeps process-wide state
    // that points into its widget library, and the application object outlives this
    // library, so unloading those libraries would leave both pointing at unmapped code.
    static void KeepQtLoaded();

    // True when Create chose the offscreen platform: nobody can see or answer a window, so
    // screen and printer output are refused.
    static bool IsHeadless();
};

#endif
