#include "catalogue/ui/arrivagestab.h"
#include "catalogue/ui/fournisseurstab.h"
#include "support/testmain.h"
#include "support/testsupport.h"
#include "support/ui/disposition.h"

#include <QAccessible>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QtTest>

namespace {
// The fault of the panel's first n rows, or an empty text: each row's caption and box on one
// line, the caption before the box, each row under the one above without overlapping it, and
// the rows evenly spaced however many they are (a pixel of rounding aside, never adding up).
QString fauteDesRangees(const QWidget* panneau, int n) {
    QList<QRect> rangees;
    for (int i = 0; i < n; ++i) {
        const auto* l = panneau->findChild<QLabel*>(QStringLiteral("labelfournisseur_%1").arg(i));
        const auto* b = panneau->findChild<QLineEdit*>(QStringLiteral("fournisseur_%1").arg(i));
        if (!l || !b || l->isHidden() || b->isHidden())
            return QStringLiteral("rangée %1 absente").arg(i);
        if (l->y() != b->y() || l->geometry().right() >= b->x())
            return QStringLiteral("rangée %1 : légende et boîte hors de leur ligne").arg(i);
        rangees << l->geometry().united(b->geometry());
    }
    for (int i = 1; i < n; ++i) {
        if (rangees[i].top() <= rangees[i - 1].bottom())
            return QStringLiteral("rangée %1 sur la précédente").arg(i);
        const double pas = double(rangees[n - 1].top() - rangees[0].top()) / (n - 1);
        if (qAbs(rangees[i].top() - rangees[0].top() - pas * i) > 1)
            return QStringLiteral("rangée %1 hors de son pas").arg(i);
    }
    return {};
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

// The fault of a caption that cannot be read whole, or an empty text: its text, as the label
// draws it, must lie inside the label and under no control that lies over the label.
QString fauteDeLecture(const QLabel* l) {
    const QRect texte = l->fontMetrics()
                            .boundingRect(l->contentsRect(), int(l->alignment()), l->text())
                            .translated(l->pos());
    if (!l->geometry().contains(texte))
        return l->text() + QStringLiteral(" : dépasse de sa place");
    const QObjectList& freres = l->parentWidget()->children();
    for (qsizetype i = freres.indexOf(l) + 1; i < freres.size(); ++i)
        if (const auto* w = qobject_cast<const QWidget*>(freres[i]);
            w && w->isVisible() && w->geometry().intersects(texte))
            return l->text() + QStringLiteral(" : couvert par ") + w->objectName();
    return {};
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
        const QSize taille = panneau->size();
        auto* liste = t.findChild<QListWidget*>("listefournisseur");
        QCOMPARE(liste->item(1)->text(), QStringLiteral("2 | Maison Dupont"));
        choisir(liste, 1);
        QVERIFY(!panneau->isHidden());
        const QString faute = fauteDesRangees(panneau, 4);
        QVERIFY2(faute.isEmpty(), qPrintable(faute));
        QCOMPARE(legende(panneau, 0), QStringLiteral("codefournisseur"));
        QCOMPARE(legende(panneau, 3), QStringLiteral("telephone"));
        QCOMPARE(boite(panneau, 0), QStringLiteral("2"));
        QCOMPARE(boite(panneau, 1), QStringLiteral("Maison Dupont"));
        QCOMPARE(panneau->findChild<QLabel*>("labelfournisseur_1")->buddy(),
                 panneau->findChild<QLineEdit*>("fournisseur_1"));
        // The panel is not enlarged.
        QCOMPARE(panneau->size(), taille);
        QCOMPARE(t.findChild<QLabel*>("status")->text(), QStringLiteral("Modification en cours"));
    }

    // An entry selected through assistive technology shows its supplier, as a click does.
    void selectionAccessible() {
        BoutiqueTest b(BoutiqueTest::Base::Demo);
        QVERIFY(b.ouvrir());
        FournisseursTab t(b.services());
        QVERIFY(t.chargerListe());
        auto* liste = t.findChild<QListWidget*>("listefournisseur");
        QAccessibleInterface* i = QAccessible::queryAccessibleInterface(liste);
        QVERIFY(i && i->tableInterface());
        QVERIFY(i->tableInterface()->selectRow(2));
        auto* panneau = t.findChild<QFrame*>("fondfournisseur");
        QVERIFY(!panneau->isHidden());
        QCOMPARE(boite(panneau, 1), QStringLiteral("Confection Leroy"));
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
        const auto* panneau = t.findChild<QFrame*>("fondfournisseur");
        const QSize taille = panneau->size();
        auto* liste = t.findChild<QListWidget*>("listefournisseur");
        QCOMPARE(liste->item(0)->text(), QStringLiteral("X'Y | "));
        choisir(liste, 0);
        QCOMPARE(t.findChildren<QLineEdit*>().size(), colonnes);
        QCOMPARE(boite(&t, 0), QStringLiteral("X'Y"));
        if (colonnes > 1)
            QCOMPARE(boite(&t, 1), QStringLiteral("(donnée binaire de 8 octets)"));
        const QString faute = fauteDesRangees(panneau, colonnes);
        QVERIFY2(faute.isEmpty(), qPrintable(faute));
        QCOMPARE(panneau->size(), taille);
    }

    // A column added to the table from outside while the tab is in use shows at the next
    // choice of a supplier.
    void colonneAjouteeDehors() {
        BoutiqueTest b(BoutiqueTest::Base::Demo);
        QVERIFY(b.ouvrir());
        FournisseursTab t(b.services());
        QVERIFY(t.chargerListe());
        t.show();
        auto* liste = t.findChild<QListWidget*>("listefournisseur");
        choisir(liste, 0);
        Database autre;
        QVERIFY(autre.ouvrir(b.installation().baseParDefaut()));
        QSqlQuery q(autre.connexion());
        QVERIFY(q.exec("ALTER TABLE FOURNISSEURS ADD COLUMN fax TEXT"));
        QVERIFY(q.exec("UPDATE FOURNISSEURS SET fax = '03 20 00 00 0' || rowid"));
        choisir(liste, 1);
        QCOMPARE(legende(&t, 4), QStringLiteral("fax"));
        QCOMPARE(boite(&t, 4), QStringLiteral("03 20 00 00 02"));
        QCOMPARE(boite(&t, 1), QStringLiteral("Maison Dupont"));
        const QString faute = fauteDesRangees(t.findChild<QFrame*>("fondfournisseur"), 5);
        QVERIFY2(faute.isEmpty(), qPrintable(faute));
        // And a column taken away: its row goes.
        QVERIFY(q.exec("ALTER TABLE FOURNISSEURS DROP COLUMN adresse"));
        choisir(liste, 0);
        QCOMPARE(legende(&t, 2), QStringLiteral("telephone"));
        QVERIFY(t.findChild<QLineEdit*>("fournisseur_4")->isHidden());
    }

    // Each entry shows its own supplier, however its code is written: Null, empty, holding the
    // entries' separator, blanks around it, a decimal comma.
    void codesExacts_data() {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("valeurs");
        QTest::newRow("textes") << "TEXT"
                                << "('A', 'Alpha'), (NULL, 'Sans code'), ('', 'Vide'), "
                                   "('A|B', 'Barre'), (' X ', 'Blancs'), ('X', 'Ix'), "
                                   "('3,5', 'Virgule'), ('3', 'Trois')";
        QTest::newRow("nombres") << "REAL"
                                 << "(3, 'Trois'), (3.5, 'Virgule'), (NULL, 'Sans code'), "
                                    "(35, 'Trente-cinq')";
    }
    void codesExacts() {
        QFETCH(QString, type);
        QFETCH(QString, valeurs);
        BoutiqueTest b;
        QVERIFY(b.ouvrir());
        QVERIFY(b.sql("DROP TABLE FOURNISSEURS"));
        QVERIFY(b.sql(
            QStringLiteral("CREATE TABLE FOURNISSEURS (codefournisseur %1, nom TEXT)").arg(type)));
        QVERIFY(b.sql("INSERT INTO FOURNISSEURS VALUES " + valeurs));
        FournisseursTab t(b.services());
        QVERIFY(t.chargerListe());
        auto* liste = t.findChild<QListWidget*>("listefournisseur");
        for (int i = 0; i < liste->count(); ++i) {
            choisir(liste, i);
            QCOMPARE(
                boite(&t, 1),
                b.valeur(QStringLiteral("SELECT nom FROM FOURNISSEURS WHERE rowid = %1").arg(i + 1))
                    .toString());
        }
        QVERIFY(b.dialogues.boites.isEmpty());
    }

    // A supplier deleted since the list was read: its entry shows empty boxes, not the values
    // of the supplier shown before.
    void fournisseurDisparu() {
        BoutiqueTest b(BoutiqueTest::Base::Demo);
        QVERIFY(b.ouvrir());
        FournisseursTab t(b.services());
        QVERIFY(t.chargerListe());
        auto* liste = t.findChild<QListWidget*>("listefournisseur");
        choisir(liste, 1);
        QVERIFY(b.sql("DELETE FROM FOURNISSEURS WHERE codefournisseur = '1'"));
        choisir(liste, 0);
        QCOMPARE(boite(&t, 0), QString());
        QCOMPARE(boite(&t, 1), QString());
        QCOMPARE(legende(&t, 1), QStringLiteral("nom"));
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
        t.resize(640, 480);
        const QString faute = fauteDeDisposition(
            &t, {"nouvellelivraison", "choixfournisseur", "datelivraison", "BonsDeLivraison"});
        QVERIFY2(faute.isEmpty(), qPrintable(faute));
        // Each caption stands before its box on the box's line, or above the list (a pixel of
        // rounding aside).
        for (const char* legende : {"Label15", "Label16", "Label14"}) {
            const QLabel* l = t.findChild<QLabel*>(legende);
            QVERIFY2(l && l->buddy(), legende);
            const QRect r = l->geometry(), boite = l->buddy()->geometry();
            QVERIFY2(
                (r.right() <= boite.left() && r.top() >= boite.top() && r.top() < boite.bottom()) ||
                    (r.bottom() <= boite.top() + 1 && r.left() <= boite.left()),
                legende);
        }
        // Each caption is read whole in its place.
        t.show();
        for (const char* nom : {"Label14", "Label15", "Label16"}) {
            const QString lecture = fauteDeLecture(t.findChild<QLabel*>(nom));
            QVERIFY2(lecture.isEmpty(), qPrintable(lecture));
        }
        // A box shows what it is for, never its own default name.
        QCOMPARE(t.findChild<QComboBox*>("choixfournisseur")->currentText(), QString());
        QCOMPARE(t.findChild<QComboBox*>("choixfournisseur")->lineEdit()->placeholderText(),
                 QStringLiteral("Nom du fournisseur"));
        t.findChild<QPushButton*>("nouvellelivraison")->click();
        QTest::keyClicks(t.findChild<QLineEdit*>("datelivraison"), "12/05/2024");
        QCOMPARE(t.findChild<QLineEdit*>("datelivraison")->text(), QStringLiteral("12/05/2024"));
        QCOMPARE(b.valeur("SELECT count(*) FROM ARTICLES").toInt(), articles);
    }
};

TALMIR_TEST(TestFournisseurs)
#include "tst_fournisseurs.moc"
