#include "app/screenfit.h"

#include "app/mainwindow.h"

#include <QApplication>
#include <QScreen>
#include <QWindow>

#include <algorithm>
#include <cmath>

double fittingScale(const QSize &client, const QSize &frame, const QSize &available)
{
    if (frame.width() <= available.width() && frame.height() <= available.height())
        return 1.0;
    if (client.isEmpty())
        return 1.0;
    const QSize decoration = frame - client;
    const double scale = std::min(double(available.width() - decoration.width()) / client.width(),
                                  double(available.height() - decoration.height()) / client.height());
    // Geometry is rounded to whole pixels: stay a hundredth on the safe side.
    return std::clamp(std::floor(scale * 100.0 - 1.0) / 100.0, 0.25, 1.0);
}

namespace {

// The window with its title bar and borders, as the system draws them.
QRect frameOf(const QWidget &window)
{
    const QWindow *native = window.windowHandle();
    return native ? window.geometry().marginsAdded(native->frameMargins()) : window.frameGeometry();
}

// Moves the main window, once, into the screen's available area: the
// system's own placement may start it too low to fit.
class KeepOnScreen : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *window = qobject_cast<MainWindow *>(watched);
        if (window && event->type() == QEvent::Show) {
            qApp->removeEventFilter(this);
            deleteLater();
            const QRect available = window->screen()->availableGeometry();
            const QRect frame = frameOf(*window);
            if (!available.contains(frame)) {
                const int x = std::clamp(frame.x(), available.left(),
                                         std::max(available.left(), available.right() + 1 - frame.width()));
                const int y = std::clamp(frame.y(), available.top(),
                                         std::max(available.top(), available.bottom() + 1 - frame.height()));
                window->move(x, y); // a window's position is that of its frame
            }
        }
        return false;
    }
};

void keepOnScreen()
{
    qApp->installEventFilter(new KeepOnScreen(qApp));
}

} // namespace

void fitWindowToScreen(int &argc, char **argv)
{
    double scale = 1.0;
    {
        // The real window on a throw-away application: its size and frame
        // on this screen are what decide.
        QApplication probe(argc, argv);
        MainWindow window;
        window.winId();
        scale = fittingScale(window.size(), frameOf(window).size(),
                             window.screen()->availableGeometry().size());
    }
    if (scale < 1.0) {
        const double own = qEnvironmentVariableIsSet("QT_SCALE_FACTOR")
            ? qEnvironmentVariable("QT_SCALE_FACTOR").toDouble()
            : 1.0;
        qputenv("QT_SCALE_FACTOR", QByteArray::number((own > 0 ? own : 1.0) * scale, 'f', 4));
    }
    qAddPreRoutine(keepOnScreen);
}
