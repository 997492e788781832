#include "app/guidewindow.h"

#include <QDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace {

const QString windowName = QStringLiteral("guideWindow");

// A dialog without a modal loop: the form stays usable beside it, and Esc
// closes it as it closes any dialog.
QDialog *newGuideWindow(QWidget *owner)
{
    auto *window = new QDialog(owner);
    window->setObjectName(windowName);
    window->setWindowTitle(QStringLiteral("Guide de Prix général"));
    auto *layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *browser = new QTextBrowser(window);
    browser->setObjectName(QStringLiteral("guideBrowser"));
    browser->document()->setDocumentMargin(12);
    // Its images resolve beside it, in the resources: the same offline on
    // every platform.
    browser->setSource(QUrl(QStringLiteral("qrc:/guide/guide.html")));
    layout->addWidget(browser);
    // Wide enough for the pictures of the form; never taller than the screen.
    const QScreen *screen = owner->screen() ? owner->screen() : QGuiApplication::primaryScreen();
    const int height = screen ? qMin(760, screen->availableGeometry().height() - 60) : 760;
    window->resize(760, qMax(300, height));
    return window;
}

} // namespace

void showGuide(QWidget *owner)
{
    auto *window = owner->findChild<QDialog *>(windowName, Qt::FindDirectChildrenOnly);
    if (!window)
        window = newGuideWindow(owner);
    window->show();
    window->raise();
    window->activateWindow();
}
