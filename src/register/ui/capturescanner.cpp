#include "register/ui/capturescanner.h"

#include "register/ui/zonesaisie.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWidget>

CaptureScanner::CaptureScanner(QWidget* caisse, QLineEdit* saisie,
                               std::function<void(const QString&)> scan)
    : caisse_(caisse), saisie_(saisie), scan_(std::move(scan)) {
    horloge_.start();
    QCoreApplication::instance()->installEventFilter(this);
}

CaptureScanner::~CaptureScanner() {
    QCoreApplication::instance()->removeEventFilter(this);
}

qint64 CaptureScanner::moment(const QKeyEvent* k) const {
    // The window system's time of the key, where it gives one.
    return k->timestamp() > 0 ? qint64(k->timestamp()) : horloge_.elapsed();
}

bool CaptureScanner::dansLaCaisse(QObject* cible) const {
    auto* w = qobject_cast<QWidget*>(cible);
    return w && caisse_->isVisible() && (w == caisse_ || caisse_->isAncestorOf(w));
}

void CaptureScanner::Avant::remettre() const {
    if (!champ)
        return;
    champ->setText(texte);
    // A default answer shown selected is selected again, so that typing replaces it.
    if (debutSelection >= 0)
        champ->setSelection(debutSelection, longueurSelection);
    else
        champ->setCursorPosition(curseur);
}

bool CaptureScanner::rediriger(QKeyEvent* k) {
    saisie_->setFocus(Qt::OtherFocusReason);
    QKeyEvent copie(k->type(), k->key(), k->modifiers(), k->text(), k->isAutoRepeat(),
                    ushort(k->count()));
    QCoreApplication::sendEvent(saisie_, &copie);
    return true;
}

QString CaptureScanner::fermerBoite() {
    if (boitesOuvertes_ > 0 && --boitesOuvertes_ > 0)
        return {};
    // A burst whose last key came a moment ago is a scan still under way.
    constexpr qint64 enCours = 4 * ecartMaximal;
    if (rafale_.isEmpty() || dernierRecu_ < 0 || horloge_.elapsed() - dernierRecu_ > enCours)
        return {};
    for (const Avant& a : avant_)
        if (a.champ != saisie_)
            a.remettre();
    avant_.clear();
    return rafale_;
}

void CaptureScanner::reprendre(const QString& debutDeScan) {
    if (debutDeScan.isEmpty())
        return;
    // The scan replaces what the entry box held (focus first: the box selects its whole text when
    // it gets the focus); its next keys follow there.
    saisie_->setFocus(Qt::OtherFocusReason);
    saisie_->setText(debutDeScan);
    // Typed, not shown by the till: the till does not select it for the next scan.
    saisie_->setModified(true);
}

bool CaptureScanner::eventFilter(QObject* cible, QEvent* e) {
    if (e->type() != QEvent::KeyPress)
        return false;
    // A key reaches the filter once for the window, once for the focused control and again for
    // each parent it is passed up to: it counts once, at the control it is meant for.
    auto* w = qobject_cast<QWidget*>(cible);
    if (!w)
        return false;
    if (QWidget* focus = w->window()->focusWidget(); focus && focus != w && w->isAncestorOf(focus))
        return false;
    auto* k = static_cast<QKeyEvent*>(e);
    // A scanner types capitals with Shift, as a keyboard does: a modifier pressed alone belongs to
    // the burst and neither ends nor breaks it.
    switch (k->key()) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_CapsLock:
        return false;
    default:
        break;
    }
    const bool ailleurs = !(boitesOuvertes_ > 0) && dansLaCaisse(cible) && cible != saisie_;
    if (!(boitesOuvertes_ > 0) && !dansLaCaisse(cible))
        return false;
    const qint64 t = moment(k);
    const bool rapide = dernier_ >= 0 && t - dernier_ <= ecartMaximal;

    if (ZoneSaisie::estEntree(k)) {
        const bool sautDeLigne = ZoneSaisie::estSautDeLigne(k);
        if ((boitesOuvertes_ > 0) && finScan_ && *finScan_ != sautDeLigne && rapide) {
            finScan_.reset(); // the second key of the scan's CR LF
            return true;
        }
        finScan_.reset();
        if ((boitesOuvertes_ > 0) && !rafale_.isEmpty() && rapide) {
            // A scan: the boxes it typed into are put back, the code goes to the till.
            for (const Avant& a : avant_)
                a.remettre();
            const QString code = std::exchange(rafale_, QString());
            avant_.clear();
            dernier_ = t;
            finScan_ = sautDeLigne;
            scan_(code);
            return true;
        }
        rafale_.clear();
        avant_.clear();
        dernier_ = -1;
        return ailleurs && rediriger(k);
    }

    const QString texte = k->text();
    const bool caractere =
        !texte.isEmpty() && texte.at(0).isPrint() &&
        !(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    if (!caractere) {
        rafale_.clear();
        avant_.clear();
        dernier_ = -1;
        finScan_.reset();
        return false;
    }
    if (!rapide) {
        rafale_.clear();
        avant_.clear();
    }
    finScan_.reset();
    auto* champ = qobject_cast<QLineEdit*>(ailleurs ? saisie_ : cible);
    if (champ && std::none_of(avant_.cbegin(), avant_.cend(),
                              [champ](const Avant& a) { return a.champ == champ; }))
        avant_.append({champ, champ->text(), champ->cursorPosition(), champ->selectionStart(),
                       champ->selectionLength()});
    rafale_ += texte;
    dernier_ = t;
    dernierRecu_ = horloge_.elapsed();
    return ailleurs && rediriger(k);
}
