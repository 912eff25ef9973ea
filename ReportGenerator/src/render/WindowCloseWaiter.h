// Waits, with the host's events flowing, until a window has been closed.
#ifndef REPORTGENERATOR_WINDOWCLOSEWAITER_H
#define REPORTGENERATOR_WINDOWCLOSEWAITER_H

#include <QEventLoop>
#include <QObject>

class QWidget;

// A local event loop that ends when the watched window is hidden for good (closed by its
// button, the window manager or the host). The host's own event loop may already be
// running, where QApplication::exec would return at once, so the application loop is
// never used, and never quit.
class CWindowCloseWaiter : public QObject
{
public:
    explicit CWindowCloseWaiter(QWidget* window);
    ~CWindowCloseWaiter() override;

    void Wait();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_window;
    QEventLoop m_loop;
};

#endif
