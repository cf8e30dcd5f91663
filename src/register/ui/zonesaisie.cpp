#include "register/ui/zonesaisie.h"

#include <QKeyEvent>

ZoneSaisie::ZoneSaisie(QWidget* parent) : QLineEdit(parent) {}

bool ZoneSaisie::estEntree(const QKeyEvent* e) {
    return e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter ||
           e->text() == QStringLiteral("\r") || e->text() == QStringLiteral("\n");
}

void ZoneSaisie::keyPressEvent(QKeyEvent* e) {
    if (estEntree(e)) {
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
