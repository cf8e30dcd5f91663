#include "catalogue/ui/arrivagestab.h"
#include "catalogue/ui/fournisseurstab.h"
#include "common/ui/twips.h"
#include "support/testmain.h"
#include "support/testsupport.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

namespace {
// Tops, in screen pixels relative to the panel, of the captions shown.
QList<int> hauts(const QWidget* panneau, int n) {
    QList<int> h;
    for (int i = 0; i < n; ++i)
        h << panneau->findChild<QLabel*>(QStringLiteral("labelfournisseur_%1").arg(i))->y();
    return h;
}
QString boite(const QWidget* w, int i) {
    return w->findChild<QLineEdit*>(QStringLiteral("fournisseur_%1").arg(i))->text();
}
QString legende(const QWidget* w, int i) {
    return w->findChild<QLabel*>(QStringLiteral("labelfournisseur_%1").arg(i))->text();
}
void choisir(QListWidget* l, int ligne) {
    l->setCurrentRow(ligne);
}
} // namespace

// The suppliers' panel built from the table's columns, and the deliveries tab.
class TestFournisseurs : public QObject {
    Q_OBJECT
  private slots:
    void panneauQuatreColonnes() {
        BoutiqueTest b(BoutiqueTest::Base::Demo);
        QVERIFY(b.ouvrir());
        FournisseursTab t(b.services());
        QVERIFY(t.chargerListe());
        auto* panneau = t.findChild<QFrame*>("fondfournisseur");
        QVERIFY(panneau->isHidden());
        auto* liste = t.findChild<QListWidget*>("listefournisseur");
        QCOMPARE(liste->item(1)->text(), QStringLiteral("2 | Maison Dupont"));
        choisir(liste, 1);
        QVERIFY(!panneau->isHidden());
        QCOMPARE(hauts(panneau, 4),
                 (QList<int>{twips(720), twips(1055), twips(1390), twips(1725)}));
        QCOMPARE(legende(panneau, 0), QStringLiteral("codefournisseur"));
        QCOMPARE(legende(panneau, 3), QStringLiteral("telephone"));
        QCOMPARE(boite(panneau, 0), QStringLiteral("2"));
        QCOMPARE(boite(panneau, 1), QStringLiteral("Maison Dupont"));
        QCOMPARE(panneau->findChild<QLabel*>("labelfournisseur_1")->buddy(),
                 panneau->findChild<QLineEdit*>("fournisseur_1"));
        // The panel is not enlarged.
        QCOMPARE(panneau->height(), twips(3855));
        QCOMPARE(t.findChild<QLabel*>("status")->text(), QStringLiteral("Modification en cours"));
    }

    void elementsReutilises() {
        BoutiqueTest b;
        QVERIFY(b.ouvrir());
        QVERIFY(b.sql("INSERT INTO FOURNISSEURS VALUES ('A1', 'Alpha', '1 rue A', '01'), "
                      "('B2', 'Beta', NULL, '02')"));
        FournisseursTab t(b.services());
        QVERIFY(t.chargerListe());
        auto* liste = t.findChild<QListWidget*>("listefournisseur");
        choisir(liste, 0);
        QLineEdit* adresse = t.findChild<QLineEdit*>("fournisseur_2");
        choisir(liste, 1);
        QCOMPARE(t.findChild<QLineEdit*>("fournisseur_2"), adresse);
        QCOMPARE(t.findChildren<QLineEdit*>().size(), 4);
        QCOMPARE(boite(&t, 1), QStringLiteral("Beta"));
        // A Null value shows an empty box, not the previous supplier's value.
        QCOMPARE(boite(&t, 2), QString());
    }

    void codeNumerique() {
        BoutiqueTest b;
        QVERIFY(b.ouvrir());
        QVERIFY(b.sql("DROP TABLE FOURNISSEURS"));
        QVERIFY(b.sql("CREATE TABLE FOURNISSEURS (codefournisseur INTEGER, nom TEXT)"));
        QVERIFY(b.sql("INSERT INTO FOURNISSEURS VALUES (7, 'Martin'), (12, 'Dupont')"));
        FournisseursTab t(b.services());
        QVERIFY(t.chargerListe());
        auto* liste = t.findChild<QListWidget*>("listefournisseur");
        QCOMPARE(liste->item(0)->text(), QStringLiteral("7 | Martin"));
        choisir(liste, 0);
        QCOMPARE(boite(&t, 1), QStringLiteral("Martin"));
        choisir(liste, 1);
        QCOMPARE(boite(&t, 0), QStringLiteral("12"));
        QCOMPARE(boite(&t, 1), QStringLiteral("Dupont"));
    }

    void formesDeTable_data() {
        QTest::addColumn<int>("colonnes");
        QTest::newRow("une") << 1;
        QTest::newRow("douze") << 12;
        QTest::newRow("quarante") << 40;
    }
    void formesDeTable() {
        QFETCH(int, colonnes);
        BoutiqueTest b;
        QVERIFY(b.ouvrir());
        QVERIFY(b.sql("DROP TABLE FOURNISSEURS"));
        QStringList defs{"codefournisseur TEXT"};
        QStringList valeurs{"'X' || char(39) || 'Y'"};
        for (int i = 1; i < colonnes; ++i) {
            defs << QStringLiteral("c%1 BLOB").arg(i);
            valeurs << (i % 2 ? QStringLiteral("randomblob(8)") : QStringLiteral("NULL"));
        }
        QVERIFY(b.sql(QStringLiteral("CREATE TABLE FOURNISSEURS (%1)").arg(defs.join(','))));
        QVERIFY(
            b.sql(QStringLiteral("INSERT INTO FOURNISSEURS VALUES (%1)").arg(valeurs.join(','))));
        FournisseursTab t(b.services());
        QVERIFY(t.chargerListe());
        auto* liste = t.findChild<QListWidget*>("listefournisseur");
        QCOMPARE(liste->item(0)->text(), QStringLiteral("X'Y | "));
        choisir(liste, 0);
        QCOMPARE(t.findChildren<QLineEdit*>().size(), colonnes);
        QCOMPARE(boite(&t, 0), QStringLiteral("X'Y"));
        if (colonnes > 1)
            QCOMPARE(boite(&t, 1), QStringLiteral("(donnée binaire de 8 octets)"));
        const auto* panneau = t.findChild<QFrame*>("fondfournisseur");
        QCOMPARE(hauts(panneau, colonnes).last(), twips(720 + 335 * (colonnes - 1)));
        QCOMPARE(panneau->height(), twips(3855));
    }

    void aucuneSelection() {
        BoutiqueTest b(BoutiqueTest::Base::Demo);
        QVERIFY(b.ouvrir());
        FournisseursTab t(b.services());
        QVERIFY(t.chargerListe());
        t.listefournisseur_Click();
        QVERIFY(!t.findChild<QFrame*>("fondfournisseur")->isHidden());
        QCOMPARE(legende(&t, 1), QStringLiteral("nom"));
        QCOMPARE(boite(&t, 1), QString());
    }

    void arrivagesSansEffet() {
        BoutiqueTest b(BoutiqueTest::Base::Demo);
        QVERIFY(b.ouvrir());
        const int articles = b.valeur("SELECT count(*) FROM ARTICLES").toInt();
        ArrivagesTab t(b.services());
        const QList<QPair<const char*, QRect>> places = {
            {"nouvellelivraison", {1410, 630, 1095, 495}}, {"Label15", {2850, 630, 975, 255}},
            {"choixfournisseur", {3930, 630, 5295, 315}},  {"Label16", {2850, 990, 1095, 255}},
            {"datelivraison", {3930, 990, 1695, 285}},     {"Label14", {90, 870, 1935, 255}},
            {"BonsDeLivraison", {90, 1110, 2415, 4935}}};
        for (const auto& [nom, r] : places) {
            QWidget* w = t.findChild<QWidget*>(nom);
            QVERIFY2(w, nom);
            QCOMPARE(w->geometry(),
                     QRect(twips(r.x()), twips(r.y()), twips(r.width()), twips(r.height())));
        }
        QCOMPARE(t.findChild<QComboBox*>("choixfournisseur")->currentText(),
                 QStringLiteral("Combo1"));
        t.findChild<QPushButton*>("nouvellelivraison")->click();
        QTest::keyClicks(t.findChild<QLineEdit*>("datelivraison"), "12/05/2024");
        QCOMPARE(t.findChild<QLineEdit*>("datelivraison")->text(), QStringLiteral("12/05/2024"));
        QCOMPARE(b.valeur("SELECT count(*) FROM ARTICLES").toInt(), articles);
    }
};

TALMIR_TEST(TestFournisseurs)
#include "tst_fournisseurs.moc"
