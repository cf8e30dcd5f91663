#include "labels/etiquettestest.h"
#include "labels/grilleetiquettes.h"
#include "labels/tirageetiquettes.h"
#include "printing/image.h"
#include "printing/surface.h"
#include "support/testmain.h"
#include "support/testsupport.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

using namespace etiquettestest;

namespace {
constexpr double dpi = 300;

// The symbols a bar-code reader finds on pictures, one line a symbol, in the pictures' order.
QStringList lire(const QString& lecteur, const QStringList& pngs) {
    QProcess p;
    p.start(lecteur, QStringList{QStringLiteral("--raw"), QStringLiteral("-q")} + pngs);
    if (!p.waitForFinished(60000))
        return {QStringLiteral("(le lecteur ne répond pas)")};
    return QString::fromUtf8(p.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
}

// Each label of a sheet as its own picture (a reader gives a symbol found twice on one picture
// only once), in the order of the positions.
QStringList decouper(const QImage& feuille, const QString& dossier) {
    QStringList pngs;
    for (int p = 0; p < grille::positions; ++p) {
        const grille::Position pos = grille::Position::depuisNumero(p);
        const QRect cellule(int(pos.x() / 25.4 * dpi), int(pos.y() / 25.4 * dpi),
                            int(grille::largeurEtiquette / 25.4 * dpi),
                            int(grille::hauteurEtiquette / 25.4 * dpi));
        pngs << QStringLiteral("%1/%2.png").arg(dossier).arg(p);
        feuille.copy(cellule.intersected(feuille.rect())).save(pngs.last());
    }
    return pngs;
}
} // namespace

// The printed sheets read back with a real bar-code reader give the article codes.
class TestCodeBarres : public QObject {
    Q_OBJECT
  private slots:
    void relectureDUneFeuille_data() {
        QTest::addColumn<QStringList>("codes");
        // In the order of the codes; four copies each, so that every code stands in every
        // column, the fourth one (cut by the page's edge) included.
        QTest::newRow("codes de la boutique")
            << QStringList{"ART000017", "ART000034", "ART000051", "ART000068", "ART000085",
                           "ART000102", "ART000119", "ART000136", "ART000153"};
        QTest::newRow("codes EAN-13 et autres signes")
            << QStringList{"$99",  "3760000000925", "3760000001850", "7", "A B",
                           "ab12", "PULL/42+5%",    "X-1.2",         "Z"};
    }
    void relectureDUneFeuille() {
        QFETCH(QStringList, codes);
        const QString lecteur = QStandardPaths::findExecutable(QStringLiteral("zbarimg"));
        if (lecteur.isEmpty())
            QSKIP("zbarimg est absent (paquet zbar-tools) : relecture des codes-barres non faite");
        BoutiqueTest b;
        QVERIFY(b.ouvrir());
        QVERIFY(QFile::copy(QStringLiteral(TALMIR_TESTS "/labels/fondetiquette.wmf"),
                            b.chemin("fondetiquette.wmf")));
        QStringList attendus;
        for (const QString& c : codes) {
            QVERIFY(ajouter(b, c, 4, "T2", "Chemise à carreaux manches longues", 49.9));
            for (int i = 0; i < 4; ++i)
                attendus << c.toUpper();
        }
        b.dialogues.reponses = {Dialogues::Reponse::Non};
        Image images;
        const BilanTirage bilan = TirageEtiquettes(b.services()).imprimer(b.imprimantes, images);
        QVERIFY(bilan.sansCodeBarre.isEmpty());
        QCOMPARE(b.imprimantes.travaux.size(), 1);
        QTemporaryDir dossier;
        const QImage feuille = rendre(*b.imprimantes.travaux[0].surface, dpi);
        QCOMPARE(lire(lecteur, decouper(feuille, dossier.path())), attendus);
    }
};

TALMIR_TEST(TestCodeBarres)
#include "tst_codebarres.moc"
