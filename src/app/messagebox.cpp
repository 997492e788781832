#include "app/messagebox.h"

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

bool confirmLoss(QWidget *parent, const QString &text, const QString &details, const QString &action)
{
    QMessageBox box(parent);
    setUpWarning(box, text, details);
    QPushButton *lose = box.addButton(action, QMessageBox::DestructiveRole);
    QPushButton *cancel = box.addButton(QStringLiteral("Annuler"), QMessageBox::RejectRole);
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    box.exec();
    return box.clickedButton() == lose;
}
