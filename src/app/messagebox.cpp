#include "app/messagebox.h"

#include <QMessageBox>

QString messageTitle() { return QStringLiteral("Prix général"); }

void setUpWarning(QMessageBox &box, const QString &text, const QString &details)
{
    box.setWindowTitle(messageTitle());
    box.setIcon(QMessageBox::Warning);
    box.setText(text);
    box.setInformativeText(details);
}
