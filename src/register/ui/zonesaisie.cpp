#include "register/ui/zonesaisie.h"

#include <QKeyEvent>

ZoneSaisie::ZoneSaisie(QWidget* parent) : QLineEdit(parent) {}

void ZoneSaisie::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        e->accept();
        emit entree();
        return;
    }
    QLineEdit::keyPressEvent(e);
}

void ZoneSaisie::focusInEvent(QFocusEvent* e) {
    QLineEdit::focusInEvent(e);
    emit focusRecu();
}
