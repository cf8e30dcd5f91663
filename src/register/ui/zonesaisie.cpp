#include "register/ui/zonesaisie.h"

#include <QKeyEvent>

ZoneSaisie::ZoneSaisie(QWidget* parent) : QLineEdit(parent) {}

bool ZoneSaisie::estSautDeLigne(const QKeyEvent* e) {
    return e->text() == QStringLiteral("\n");
}

bool ZoneSaisie::estEntree(const QKeyEvent* e) {
    return e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter ||
           e->text() == QStringLiteral("\r") || estSautDeLigne(e);
}

bool ZoneSaisie::event(QEvent* e) {
    if (e->type() == QEvent::KeyPress) {
        const auto* k = static_cast<QKeyEvent*>(e);
        if (k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab) {
            e->accept();
            return true;
        }
    }
    return QLineEdit::event(e);
}

void ZoneSaisie::keyPressEvent(QKeyEvent* e) {
    if (estEntree(e)) {
        e->accept();
        const bool sautDeLigne = estSautDeLigne(e);
        // The second key of a CR LF pair ends the same code.
        if (finPrecedente_ && *finPrecedente_ != sautDeLigne) {
            finPrecedente_.reset();
            return;
        }
        finPrecedente_ = sautDeLigne;
        emit entree();
        return;
    }
    finPrecedente_.reset();
    QLineEdit::keyPressEvent(e);
}

void ZoneSaisie::focusInEvent(QFocusEvent* e) {
    QLineEdit::focusInEvent(e);
    emit focusRecu();
}
