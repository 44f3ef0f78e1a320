#include "savequestion.h"

#include <QMessageBox>
#include <QPushButton>

namespace SaveQuestion {

Answer ask(QWidget* parent) {
    QMessageBox box(QMessageBox::Question, parent ? parent->windowTitle() : QString(),
                    QStringLiteral("Die Gleis-Tabelle wurde geändert.\nSollen die Änderungen "
                                   "gespeichert werden?"),
                    QMessageBox::NoButton, parent);
    // Own buttons, so that they speak German whatever translation the toolkit has.
    QPushButton* yes = box.addButton(QStringLiteral("&Ja"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("&Nein"), QMessageBox::NoRole);
    QPushButton* cancel = box.addButton(QStringLiteral("Abbrechen"), QMessageBox::RejectRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == yes)
        return Answer::Save;
    if (box.clickedButton() == no)
        return Answer::Discard;
    return Answer::Cancel;
}

} // namespace SaveQuestion
