#include "form/messagebox.h"

#include <QDir>
#include <QMessageBox>
#include <QPushButton>

QString messageTitle() { return QStringLiteral("Prix général"); }

void setUpWarning(QMessageBox &box, const QString &text, const QString &details)
{
    box.setWindowTitle(messageTitle());
    box.setIcon(QMessageBox::Warning);
    box.setText(text);
    box.setInformativeText(details);
}

namespace {

bool confirm(QWidget *parent, const QString &text, const QString &details, const QString &action,
             QMessageBox::ButtonRole role, QMessageBox::Icon icon)
{
    QMessageBox box(parent);
    setUpWarning(box, text, details);
    box.setIcon(icon);
    QPushButton *go = box.addButton(action, role);
    QPushButton *cancel = box.addButton(QStringLiteral("Annuler"), QMessageBox::RejectRole);
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    box.exec();
    return box.clickedButton() == go;
}

} // namespace

bool confirmLoss(QWidget *parent, const QString &text, const QString &details, const QString &action)
{
    return confirm(parent, text, details, action, QMessageBox::DestructiveRole, QMessageBox::Warning);
}

bool confirmAnyway(QWidget *parent, const QString &text, const QString &details, const QString &action)
{
    return confirm(parent, text, details, action, QMessageBox::AcceptRole, QMessageBox::Question);
}

void warn(QWidget *parent, const QString &text, const QString &details)
{
    QMessageBox box(parent);
    setUpWarning(box, text, details);
    box.exec();
}

QString shownPath(const QString &fileName)
{
    return QDir::toNativeSeparators(QDir::current().absoluteFilePath(fileName));
}

void warnAboutFile(QWidget *parent, const QString &text, const QString &fileName, const QString &reason)
{
    warn(parent, text, shownPath(fileName) + QLatin1Char('\n') + reason);
}
