#include "labels/etiquettestest.h"

#include "common/cp1252.h"
#include "labels/grilleetiquettes.h"
#include "printing/surface.h"
#include "settings/ini32.h"
#include "support/testsupport.h"

#include <QFile>
#include <QPainter>
#include <QRegularExpression>

#include <cmath>

namespace etiquettestest {

bool ajouter(BoutiqueTest& b, const QString& code, qint64 nombre, const QVariant& taille,
             const QVariant& libelle, const QVariant& prix) {
    return b.sql(QStringLiteral("insert into ARTICLES (CodeArticle, libelle, taille, "
                                "PrixVenteTTC, nbraimprimer) values (?, ?, ?, ?, ?)"),
                 {code, libelle, taille, prix, nombre});
}

bool ajouterTous(BoutiqueTest& b, const QString& liste) {
    for (const QString& a : liste.split(u' ', Qt::SkipEmptyParts)) {
        const QStringList p = a.split(u'*');
        if (!ajouter(b, p.value(0), p.value(1).toLongLong()))
            return false;
    }
    return true;
}

void reglerSautees(BoutiqueTest& b, const QString& valeur) {
    parametre(QStringLiteral("imprimer"), QStringLiteral("etiquettes sautees"), valeur,
              b.installation().fichierIni(), 0);
}

QString ligneSautees(const BoutiqueTest& b) {
    QFile f(b.installation().fichierIni());
    if (!f.open(QIODevice::ReadOnly))
        return {};
    for (const QString& l : depuisWindows1252(f.readAll()).split(QStringLiteral("\r\n")))
        if (l.startsWith(QStringLiteral("etiquettes sautees")))
            return l;
    return {};
}

QString placements(const Surface& s) {
    QStringList r;
    for (const Surface::TexteImprime& t : s.textes()) {
        if (!t.texte.startsWith(QStringLiteral("code : ")))
            continue;
        const int colonne = int(std::lround(t.x / grille::largeurEtiquette));
        const int ligne = int(std::lround((t.y - 18) / grille::hauteurEtiquette));
        r << QStringLiteral("%1:%2").arg(grille::colonnes * ligne + colonne).arg(t.texte.mid(7));
    }
    return r.join(u' ');
}

QString etendre(const QString& abrege) {
    QStringList r;
    static const QRegularExpression motif(QStringLiteral("^(\\d+)(?:-(\\d+))?:(.*)$"));
    for (const QString& e : abrege.split(u' ', Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch m = motif.match(e);
        const int debut = m.captured(1).toInt();
        const int fin = m.captured(2).isEmpty() ? debut : m.captured(2).toInt();
        for (int p = debut; p <= fin; ++p)
            r << QStringLiteral("%1:%2").arg(p).arg(m.captured(3));
    }
    return r.join(u' ');
}

QImage rendre(const Surface& s, double dpi, int page) {
    QImage image(int(std::lround(210 / 25.4 * dpi)), int(std::lround(297 / 25.4 * dpi)),
                 QImage::Format_RGB32);
    const int pointsParMetre = int(std::lround(dpi / 0.0254));
    image.setDotsPerMeterX(pointsParMetre);
    image.setDotsPerMeterY(pointsParMetre);
    image.fill(Qt::white);
    QPainter p(&image);
    s.rejouer(p, page, dpi);
    return image;
}

} // namespace etiquettestest
