// Prix général: one window, no model. The widgets are the data: every slot
// reads the widgets it needs when it runs, hands the values to plain
// functions (src/prizes, src/settings, src/report) and writes the results
// back. The widget tree is built in code by MainWindowForm (src/form); the
// slots are bound to it by name, and each area keeps its slot bodies beside
// its own code (prizeslots.cpp, settingsslots.cpp, reportslots.cpp).
#include "app/mainwindow.h"

#include "form/mainwindowform.h"

#include <QMessageBox>

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , form(new MainWindowForm)
{
    form->setupForm(this);
    setWindowFlags(Qt::WindowContextHelpButtonHint);
    loadSettings();
}

MainWindow::~MainWindow()
{
    delete form;
}

void MainWindow::warn(const QString &text, const QString &details)
{
    QMessageBox box(this);
    box.setIcon(QMessageBox::Warning);
    box.setText(text);
    box.setInformativeText(details);
    box.exec();
}
