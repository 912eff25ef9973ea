#include "render/WindowCloseWaiter.h"

#include <QEvent>
#include <QWidget>

CWindowCloseWaiter::CWindowCloseWaiter(QWidget* window)
    : m_window(window)
{
    m_window->installEventFilter(this);
}

CWindowCloseWaiter::~CWindowCloseWaiter()
{
    m_window->removeEventFilter(this);
}

void CWindowCloseWaiter::Wait()
{
    if (m_window->isVisible())
        m_loop.exec();
}

bool CWindowCloseWaiter::eventFilter(QObject* watched, QEvent* event)
{
    // A minimised window gets a hide event too, but stays visible.
    if (watched == m_window && event->type() == QEvent::Hide && !m_window->isVisible())
        m_loop.quit();
    return false;
}
