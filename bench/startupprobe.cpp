// Linked into both start-up programs: at the first paint of the main window it prints the
// monotonic time in nanoseconds and ends the process, so the parent can time exec to paint.
#include "benchtools.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMainWindow>
#include <QTimer>
#include <cstdio>
#include <unistd.h>

namespace {

class FirstPaint : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!m_seen && event->type() == QEvent::Paint && qobject_cast<QMainWindow *>(watched)) {
            m_seen = true;
            // The whole window is painted in the same pass; report once it has returned.
            QTimer::singleShot(0, [] {
                std::printf("%lld\n", static_cast<long long>(Bench::nowNs()));
                std::fflush(stdout);
                _exit(0);
            });
        }
        return false;
    }

private:
    bool m_seen = false;
};

void installProbe()
{
    QCoreApplication::instance()->installEventFilter(new FirstPaint(QCoreApplication::instance()));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installProbe)
