#include "register/ui/codebarreaffichage.h"

#include "common/unites.h"
#include "printing/code39.h"

#include <QPainter>
#include <algorithm>

CodeBarreAffichage::CodeBarreAffichage(const QString& texte, QWidget* parent)
    : QLabel(texte, parent) {
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(128, 128, 128));
    p.setColor(QPalette::WindowText, Qt::white);
    setPalette(p);
}

void CodeBarreAffichage::paintEvent(QPaintEvent* e) {
    // A bar-code face shows small letters as capitals.
    const QString code = text().toUpper();
    const QRectF zone = contentsRect();
    const double module = std::min(unites::versPixels(code39::moduleEnTwips(taillePoints),
                                                      unites::Unite::Twips, unites::dpiEcran),
                                   zone.width() / code39::largeurSymbole(int(code.size()), 1.0));
    // A text that Code 39 cannot carry shows as text.
    const Resultat<QList<QRectF>> barres =
        code39::barres(code, zone.left(), zone.top(), zone.height(), module);
    if (!barres) {
        QLabel::paintEvent(e);
        return;
    }
    QPainter p(this);
    for (const QRectF& b : *barres)
        p.fillRect(b, palette().color(QPalette::WindowText));
}
