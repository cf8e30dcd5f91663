#include "register/ui/capturescanner.h"

#include "register/ui/zonesaisie.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>

CaptureScanner::CaptureScanner(QLineEdit* saisie, std::function<void(const QString&)> scan)
    : saisie_(saisie), scan_(std::move(scan)) {
    QCoreApplication::instance()->installEventFilter(this);
}

CaptureScanner::~CaptureScanner() {
    QCoreApplication::instance()->removeEventFilter(this);
    if (!tampon_.isEmpty())
        saisie_->insert(tampon_);
}

bool CaptureScanner::eventFilter(QObject* cible, QEvent* e) {
    if (e->type() != QEvent::KeyPress || cible == saisie_)
        return false;
    const auto* k = static_cast<QKeyEvent*>(e);
    if (ZoneSaisie::estEntree(k)) {
        if (tampon_.isEmpty())
            return false; // the operator's answer
        scan_(std::exchange(tampon_, QString()));
        return true;
    }
    const QString t = k->text();
    if (t.isEmpty() || !t.at(0).isPrint() ||
        (k->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return false;
    tampon_ += t;
    return true;
}
