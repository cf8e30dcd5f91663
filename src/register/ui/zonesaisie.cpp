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
        // Ctrl+Tab is left to the tab control: the operator's way to another tab.
        if ((k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab) &&
            !(k->modifiers() & Qt::ControlModifier)) {
            e->accept();
            // A Tab on the code just entered (shown selected, not typed) enters nothing again.
            if (isModified())
                finDeCode(Fin::Tabulation);
            else if (finPrecedente_ && *finPrecedente_ != Fin::Tabulation)
                finPrecedente_.reset();
            return true;
        }
    }
    return QLineEdit::event(e);
}

void ZoneSaisie::finDeCode(Fin fin) {
    if (finPrecedente_ && *finPrecedente_ != fin) {
        finPrecedente_.reset();
        return;
    }
    finPrecedente_ = fin;
    emit entree();
}

void ZoneSaisie::keyPressEvent(QKeyEvent* e) {
    if (estEntree(e)) {
        e->accept();
        finDeCode(estSautDeLigne(e) ? Fin::SautDeLigne : Fin::RetourChariot);
        return;
    }
    finPrecedente_.reset();
    QLineEdit::keyPressEvent(e);
}

void ZoneSaisie::focusInEvent(QFocusEvent* e) {
    QLineEdit::focusInEvent(e);
    emit focusRecu();
}
