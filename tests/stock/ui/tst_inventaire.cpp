#include "catalogue/ui/ongletgencodes.h"
#include "common/formats.h"
#include "stock/comptageinventaire.h"
#include "support/testmain.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QtTest>

// Counting the shelves on the Inventaire tab.
class TestInventaire : public QObject {
    Q_OBJECT

    // Types each text into the code box followed by Enter.
    static void saisir(OngletGenCodes& o, const QStringList& saisies) {
        QLineEdit* code = o.w("InventaireCodeArticle");
        for (const QString& s : saisies) {
            code->setText(s);
            QTest::keyClick(code, Qt::Key_Return);
        }
    }

    // What the screen shows of the counting: the article, its stock, the quantity in force and
    // both counters.
    static QStringList ecran(const OngletGenCodes& o) {
        QStringList legendes;
        for (const char* nom : {"InventaireNomArticle", "inventaireInfos", "InventaireTotalStock",
                                "InventaireNombre", "nbreinventaire", "nbreinventairetotal"})
            legendes << o.legende(nom);
        return legendes;
    }

  private slots:
    // A text that names no article may set the quantity of the next one.
    void quantiteSaisie_data() {
        QTest::addColumn<QString>("texte");
        QTest::addColumn<QString>("quantite"); // empty: nothing changes
        QTest::addColumn<bool>("refusee");
        for (const char* q :
             {"3", "-2", "2.5", ".5", "-.5", "0", "99", "99.5", "-150", "-1000000000000"})
            QTest::newRow(q) << QString(q) << QString(q) << false;
        QTest::newRow("VOIR") << "VOIR"
                              << "0" << false;
        for (const char* t : {"voir", "03", "+3", "2,5", "0.5", "2.50", " 3", "3 ", "100", "150",
                              "1e1", "abc", "", "3a"})
            QTest::newRow(t) << QString(t) << QString() << false;
        // Written as a quantity, but no number of articles: refused with a word.
        for (const char* t : {"-1E+308", "-10000000000000", "-1000000000001"})
            QTest::newRow(t) << QString(t) << QString() << true;
    }
    void quantiteSaisie() {
        QFETCH(QString, texte);
        QFETCH(QString, quantite);
        QFETCH(bool, refusee);
        const Resultat<std::optional<QString>> q = ::quantiteSaisie(texte);
        QCOMPARE(!q, refusee);
        if (refusee)
            QCOMPARE(q.raison(), QStringLiteral("La quantité « %1 » est refusée : une quantité "
                                                "comptée est inférieure à 100 et ne retire pas "
                                                "plus de 1 000 000 000 000 articles.")
                                     .arg(texte));
        else
            QCOMPARE(q->value_or(QString()), quantite);
    }

    void compteurs_data() {
        QTest::addColumn<QString>("compteur");
        QTest::addColumn<double>("q");
        QTest::addColumn<QString>("attendu"); // empty: the caption stays
        QTest::newRow("entier") << "1532" << 1.0 << "1533";
        QTest::newRow("virgule") << "2,5" << 0.5 << "3";
        QTest::newRow("negatif") << "0" << -2.0 << "-2";
        QTest::newRow("demi") << "1" << 1.5 << "2,5";
        // Thousandths add up exactly: no 5,55e-17 left over.
        QTest::newRow("dixiemes") << "0,1" << 0.2 << "0,3";
        QTest::newRow("retour a zero") << "0,3" << -0.3 << "0";
        QTest::newRow("illisible") << "abc" << 1.0 << "";
        QTest::newRow("vide") << "" << 1.0 << "";
    }
    void compteurs() {
        QFETCH(QString, compteur);
        QFETCH(double, q);
        QFETCH(QString, attendu);
        QCOMPARE(ajouterAuCompteur(compteur, *Quantite::depuisDouble(q)).value_or(QString()),
                 attendu);
    }

    // Sequences of entries: quantity inputs, then a known code. Stock, counters and journal.
    void comptage_data() {
        QTest::addColumn<QStringList>("saisies");
        QTest::addColumn<double>("stock");          // ART000012 had 3
        QTest::addColumn<QString>("compteur");      // nbreinventaire, from "0"
        QTest::addColumn<QString>("total");         // nbreinventairetotal, from "8"
        QTest::addColumn<QStringList>("quantites"); // field 5 of the journal lines
        QTest::newRow("un") << QStringList{"ART000012"} << 4.0 << "1"
                            << "9" << QStringList{"1"};
        QTest::newRow("cinq") << QStringList{"5", "art000012"} << 8.0 << "5"
                              << "13" << QStringList{"5"};
        QTest::newRow("moins un") << QStringList{"-1", "ART000012"} << 2.0 << "-1"
                                  << "7" << QStringList{"-1"};
        QTest::newRow("VOIR") << QStringList{"VOIR", "ART000012"} << 3.0 << "0"
                              << "8" << QStringList{"0"};
        QTest::newRow("cent cinquante") << QStringList{"150", "ART000012"} << 4.0 << "1"
                                        << "9" << QStringList{"1"};
        QTest::newRow("demi") << QStringList{"2.5", "ART000012"} << 5.5 << "2,5"
                              << "10,5" << QStringList{"2,5"};
        QTest::newRow("inconnus entre deux")
            << QStringList{"3", "ZZZ", "nimporte", "ART000012"} << 6.0 << "3"
            << "11" << QStringList{"3"};
        QTest::newRow("retour a un") << QStringList{"3", "ART000012", "ART000012"} << 7.0 << "4"
                                     << "12" << QStringList{"3", "1"};
    }
    void comptage() {
        QFETCH(QStringList, saisies);
        QFETCH(double, stock);
        QFETCH(QString, compteur);
        QFETCH(QString, total);
        QFETCH(QStringList, quantites);
        OngletGenCodes o;
        QVERIFY(o.demarrer());
        o.w<QLabel>("nbreinventairetotal")->setText("8");
        saisir(o, saisies);
        QCOMPARE(champArticle(o.boutique, "EnStock", "ART000012").toDouble(), stock);
        QCOMPARE(o.legende("nbreinventaire"), compteur);
        QCOMPARE(o.legende("nbreinventairetotal"), total);
        QCOMPARE(o.legende("InventaireTotalStock"), nombreCourt(stock));
        QCOMPARE(o.legende("InventaireNombre"), QStringLiteral("1"));
        QCOMPARE(o.legende("InventaireNomArticle"), QStringLiteral("Pull "));
        const QStringList lignes = o.boutique.lignesJournal();
        QCOMPARE(lignes.size(), quantites.size());
        for (qsizetype i = 0; i < lignes.size(); ++i) {
            const QStringList champs = lignes[i].split(" | ");
            QCOMPARE(champs.value(0), QStringLiteral("INVENTAIRE"));
            QCOMPARE(champs.value(2), QStringLiteral("2024-03-05 09:01:22"));
            QCOMPARE(champs.value(3), QStringLiteral("ART000012"));
            QCOMPARE(champs.value(4), quantites[i]);
        }
    }

    // The journal line as the shop reads it: the total before the count, the stored code.
    void ligneDeJournal() {
        OngletGenCodes o;
        QVERIFY(o.demarrer());
        o.w<QLabel>("nbreinventairetotal")->setText("1532");
        saisir(o, {"art000012 "});
        QCOMPARE(o.boutique.lignesJournal(),
                 QStringList{"INVENTAIRE | 1532 | 2024-03-05 09:01:22 | ART000012 | 1"});
        QCOMPARE(o.legende("nbreinventairetotal"), QStringLiteral("1533"));
    }

    // A screen reader hears each counter's value with its title, as it is after a count.
    void compteursAccessibles() {
        OngletGenCodes o;
        QVERIFY(o.demarrer());
        o.w<QLabel>("nbreinventairetotal")->setText("1532");
        saisir(o, {"art000012 "});
        QAccessibleInterface* total =
            QAccessible::queryAccessibleInterface(o.w<QLabel>("nbreinventairetotal"));
        QVERIFY(total);
        QCOMPARE(total->text(QAccessible::Value), QStringLiteral("1533"));
        QCOMPARE(total->text(QAccessible::Name),
                 QStringLiteral("Nombre d'articles en Stock Entier : 1533"));
        QAccessibleInterface* depuis =
            QAccessible::queryAccessibleInterface(o.w<QLabel>("nbreinventaire"));
        QCOMPARE(depuis->text(QAccessible::Name),
                 QStringLiteral("Nombre Articles depuis le redémarrage : 1"));
    }

    // The article counted is described on the screen.
    void informations() {
        OngletGenCodes o;
        QVERIFY(o.demarrer());
        saisir(o, {"ART000012"});
        QCOMPARE(o.legende("inventaireInfos"),
                 QStringLiteral("TVA : 5,5 % \r\nPrix TTC : 29,90 €\r\ntaille : M \r\nCouleur : "
                                "Rouge \r\nFournisseur : Maison Dupont\r\nTVA HA : 19,6 % \r\n"
                                "Prix HT HA : 12,50 €\r\n"));
        saisir(o, {"ART000020"});
        QCOMPARE(o.legende("inventaireInfos").split("\r\n").mid(2, 3),
                 (QStringList{"taille : M ", "Couleur : ", "Fournisseur : "}));
    }

    // A code that names no article clears the article's labels and writes nothing.
    void codeInconnu() {
        OngletGenCodes o;
        QVERIFY(o.demarrer());
        saisir(o, {"ART000012", "ZZZ"});
        QCOMPARE(o.legende("InventaireNomArticle"), QString());
        QCOMPARE(o.legende("inventaireInfos"), QString());
        QCOMPARE(o.legende("InventaireTotalStock"), QStringLiteral("4"));
        QCOMPARE(o.legende("nbreinventaire"), QStringLiteral("1"));
        QCOMPARE(o.boutique.lignesJournal().size(), 1);
    }

    // Codes with quotes are data; an article without a description cannot be counted, and
    // a Null stock counts as 0.
    void articlesParticuliers() {
        OngletGenCodes o;
        QVERIFY(
            o.demarrer({{.code = "L'ART", .stock = 2},
                        {.code = "3", .stock = 0},
                        {.code = "5", .libelle = QVariant(QMetaType(QMetaType::QString))},
                        {.code = "ART000077", .stock = QVariant(QMetaType(QMetaType::Double))}}));
        saisir(o, {"l'art"});
        QCOMPARE(champArticle(o.boutique, "EnStock", "L'ART").toDouble(), 3.0);
        // A code first names an article, before it may be a quantity.
        saisir(o, {"3"});
        QCOMPARE(champArticle(o.boutique, "EnStock", "3").toDouble(), 1.0);
        QCOMPARE(o.legende("InventaireNombre"), QStringLiteral("1"));
        saisir(o, {"5"});
        QCOMPARE(o.legende("InventaireNombre"), QStringLiteral("5"));
        QCOMPARE(o.legende("InventaireNomArticle"), QString());
        QVERIFY(!champArticle(o.boutique, "EnStock", "5").isNull());
        saisir(o, {"ART000077"});
        QCOMPARE(champArticle(o.boutique, "EnStock", "ART000077").toDouble(), 5.0);
        QCOMPARE(o.legende("InventaireTotalStock"), QStringLiteral("5"));
        QCOMPARE(o.legende("nbreinventaire"), QStringLiteral("7"));
        QCOMPARE(o.boutique.lignesJournal().size(), 3);
    }

    // A count the database refuses (another program holds it, or it refuses writes) is no
    // count: a message says why, the screen, the counters and the journal stay as they were.
    void comptageRefuse_data() {
        QTest::addColumn<bool>("verrou");
        QTest::addColumn<QString>("raison");
        QTest::newRow("base verrouillee") << true
                                          << "la base de données <base> est occupée par un autre "
                                             "programme";
        QTest::newRow("ecriture refusee")
            << false << "la base de données refuse l'écriture : base verrouillée";
    }
    void comptageRefuse() {
        QFETCH(bool, verrou);
        QFETCH(QString, raison);
        OngletGenCodes o;
        QVERIFY(o.demarrer());
        saisir(o, {"ART000042", "3"});
        raison.replace(QStringLiteral("<base>"), o.boutique.installation().baseParDefaut());
        VerrouExterne autreProgramme;
        if (verrou)
            QVERIFY(autreProgramme.prendre(o.boutique));
        else
            QVERIFY(o.boutique.sql("CREATE TRIGGER verrou BEFORE UPDATE ON ARTICLES BEGIN "
                                   "SELECT RAISE(ABORT, 'base verrouillée'); END"));
        o.w<QLabel>("nbreinventairetotal")->setText("8");
        const QStringList avant = ecran(o);
        saisir(o, {"ART000012"});
        QCOMPARE(o.boutique.dialogues.textes(),
                 QStringList{QStringLiteral("Le comptage n'est pas enregistré : le stock de « "
                                            "ART000012 » n'a pas été modifié : %1.")
                                 .arg(raison)});
        QCOMPARE(champArticle(o.boutique, "EnStock", "ART000012").toDouble(), 3.0);
        QCOMPARE(ecran(o), avant);
        QCOMPARE(o.legende("InventaireNombre"), QStringLiteral("3"));
        QCOMPARE(o.boutique.lignesJournal().size(), 1);
    }

    // A count stored whose journal line cannot be written is still a count: the screen follows
    // it, and the operator is told the journal misses it.
    void journalImpossible() {
        OngletGenCodes o;
        QVERIFY(o.demarrer());
        QVERIFY(QDir(o.boutique.dossier()).mkdir("inventaire.txt"));
        saisir(o, {"ART000012"});
        QCOMPARE(champArticle(o.boutique, "EnStock", "ART000012").toDouble(), 4.0);
        QCOMPARE(o.legende("nbreinventaire"), QStringLiteral("1"));
        QCOMPARE(o.boutique.dialogues.boites.size(), 1);
        QVERIFY(o.boutique.dialogues.boites[0].texte.startsWith(
            "Le comptage est enregistré, mais sa ligne du journal n'a pas pu être écrite : "));
    }

    // Stocks are exact to the thousandth: counted in and out, tenths leave exactly nothing,
    // which the in-stock list does not count as stock.
    void stockExact() {
        OngletGenCodes o;
        QVERIFY(o.demarrer({{.code = "TISSU", .stock = 0}}));
        saisir(o, {".1", "TISSU", ".2", "TISSU", "-.3", "TISSU"});
        QCOMPARE(champArticle(o.boutique, "EnStock", "TISSU").toDouble(), 0.0);
        QCOMPARE(o.legende("InventaireTotalStock"), QStringLiteral("0"));
        QCOMPARE(o.boutique.valeur("SELECT count(*) FROM ARTICLES WHERE EnStock > 0").toInt(), 0);
    }

    // A counter whose caption is not a number stays as it is.
    void compteurIllisible() {
        OngletGenCodes o;
        QVERIFY(o.demarrer());
        o.w<QLabel>("nbreinventairetotal")->setText("—");
        saisir(o, {"ART000012"});
        QCOMPARE(o.legende("nbreinventairetotal"), QStringLiteral("—"));
        QCOMPARE(o.legende("nbreinventaire"), QStringLiteral("1"));
        QCOMPARE(o.boutique.lignesJournal().value(0).section(" | ", 1, 1), QStringLiteral("—"));
    }

    // After each entry the code box keeps the focus with its text selected for the next scan.
    void focusApresSaisie() {
        OngletGenCodes o;
        QVERIFY(o.demarrer());
        QVERIFY(o.montrer(2));
        QLineEdit* code = o.w("InventaireCodeArticle");
        code->setFocus();
        QTest::keyClicks(code, "ART000012");
        QTest::keyClick(code, Qt::Key_Return);
        QVERIFY(code->hasFocus());
        QCOMPARE(code->selectedText(), QStringLiteral("ART000012"));
    }

    // A scanner ends its code with Return, Enter, or a line end sent as text.
    void finDeScan_data() {
        QTest::addColumn<int>("touche");
        QTest::addColumn<QString>("texte");
        QTest::newRow("Return") << int(Qt::Key_Return) << "\r";
        QTest::newRow("Enter") << int(Qt::Key_Enter) << "\r";
        QTest::newRow("saut de ligne") << 0 << "\n";
        QTest::newRow("retour chariot") << 0 << "\r";
    }
    void finDeScan() {
        QFETCH(int, touche);
        QFETCH(QString, texte);
        OngletGenCodes o;
        QVERIFY(o.demarrer());
        QLineEdit* code = o.w("InventaireCodeArticle");
        code->setText("ART000012");
        QKeyEvent fin(QEvent::KeyPress, touche, Qt::NoModifier, texte);
        QApplication::sendEvent(code, &fin);
        QCOMPARE(champArticle(o.boutique, "EnStock", "ART000012").toDouble(), 4.0);
    }

    // "Modifier les informations" shows the article counted on the Gen Codes tab.
    void modifierLesInformations() {
        OngletGenCodes o;
        QVERIFY(o.demarrer());
        o.onglets.setCurrentIndex(2);
        saisir(o, {"art000042"});
        o.w<QPushButton>("inventaireModifInfos")->click();
        QCOMPARE(o.onglets.currentIndex(), 1);
        QCOMPARE(o.texte("CodeArticle"), QStringLiteral("art000042"));
        QCOMPARE(o.texte("Libelle"), QStringLiteral("Robe d'été "));
        QCOMPARE(o.legende("totalarticle"), QStringLiteral("stock : 5"));
        QVERIFY(o.horsEdition());
    }

    // As the operator does it, the focus moving with the tabs: the article counted is the one
    // the form shows, and the pieces typed there go to it.
    void modifierLesInformationsAuClavier() {
        OngletGenCodes o;
        QVERIFY(o.demarrer());
        QVERIFY(o.montrer(2));
        QLineEdit* code = o.w("InventaireCodeArticle");
        code->setFocus();
        QTRY_VERIFY(code->hasFocus());
        QTest::keyClicks(code, "ART000042");
        QTest::keyClick(code, Qt::Key_Return);
        QTest::mouseClick(o.w<QPushButton>("inventaireModifInfos"), Qt::LeftButton);
        QCOMPARE(o.onglets.currentIndex(), 1);
        QCOMPARE(o.texte("CodeArticle"), QStringLiteral("ART000042"));
        QCOMPARE(o.texte("Libelle"), QStringLiteral("Robe d'été "));
        QTRY_COMPARE(QApplication::focusWidget(), o.w("NombreArticles"));
        QTest::keyClicks(QApplication::focusWidget(), "2");
        QCOMPARE(o.texte("NombreArticles"), QStringLiteral("2"));
        QTest::mouseClick(o.w<QPushButton>("validation"), Qt::LeftButton);
        QCOMPARE(champArticle(o.boutique, "EnStock", "ART000042").toDouble(), 7.0);
        QCOMPARE(champArticle(o.boutique, "EnStock", "ART000012").toDouble(), 3.0);
    }

    // A quantity written as one but that no count can take is refused with a word; the
    // quantity in force stays, and later counts are ordinary ones.
    void quantiteRefusee() {
        OngletGenCodes o;
        QVERIFY(o.demarrer());
        o.w<QLabel>("nbreinventairetotal")->setText("8");
        saisir(o, {"-1E+308", "ART000012", "-1E+308", "ART000012"});
        QCOMPARE(o.boutique.dialogues.textes(),
                 QStringList(2, "La quantité « -1E+308 » est refusée : une quantité comptée est "
                                "inférieure à 100 et ne retire pas plus de 1 000 000 000 000 "
                                "articles."));
        QCOMPARE(champArticle(o.boutique, "EnStock", "ART000012").toDouble(), 5.0);
        QCOMPARE(o.legende("nbreinventairetotal"), QStringLiteral("10"));
        QCOMPARE(o.legende("InventaireTotalStock"), QStringLiteral("5"));
        QCOMPARE(o.boutique.lignesJournal().size(), 2);
    }

    // A count that would take a stock far below zero is asked about first; declined, it leaves
    // the stock, the screen and the journal as they were.
    void stockTresNegatif_data() {
        QTest::addColumn<QString>("quantite");
        QTest::addColumn<bool>("question");
        QTest::addColumn<bool>("oui");
        QTest::addColumn<double>("stock"); // ART000012 had 3
        QTest::newRow("refuse") << "-2000" << true << false << 3.0;
        QTest::newRow("accepte") << "-2000" << true << true << -1997.0;
        QTest::newRow("jusqu'a moins mille") << "-1003" << false << false << -1000.0;
        QTest::newRow("petite correction") << "-2" << false << false << 1.0;
    }
    void stockTresNegatif() {
        QFETCH(QString, quantite);
        QFETCH(bool, question);
        QFETCH(bool, oui);
        QFETCH(double, stock);
        OngletGenCodes o;
        QVERIFY(o.demarrer());
        saisir(o, {"ART000042", quantite});
        const QStringList avant = ecran(o);
        o.boutique.dialogues.reponses << (oui ? Dialogues::Reponse::Oui : Dialogues::Reponse::Non);
        saisir(o, {"ART000012"});
        QCOMPARE(champArticle(o.boutique, "EnStock", "ART000012").toDouble(), stock);
        QCOMPARE(o.boutique.dialogues.boites.size(), question ? 1 : 0);
        if (question) {
            const auto& boite = o.boutique.dialogues.boites[0];
            QCOMPARE(boite.texte,
                     QStringLiteral("Ce comptage ferait passer le stock de ART000012 à -1997. "
                                    "Enregistrer ce comptage ?"));
            QCOMPARE(boite.boutons, Dialogues::Boutons::OuiNon);
            QCOMPARE(boite.parDefaut, Dialogues::Reponse::Non);
        }
        const bool compte = !question || oui;
        QCOMPARE(o.boutique.lignesJournal().size(), compte ? 2 : 1);
        QCOMPARE(o.legende("InventaireNombre"), compte ? QStringLiteral("1") : quantite);
        if (!compte)
            QCOMPARE(ecran(o), avant);
    }

    void controles() {
        OngletGenCodes o;
        QVERIFY(o.demarrer());
        const QList<QPair<QString, QString>> legendes{{"InventaireNomArticle", "Article"},
                                                      {"inventaireInfos", "Taille"},
                                                      {"InventaireNombre", "1"},
                                                      {"InventaireTotalStock", "0"},
                                                      {"nbreinventaire", "0"},
                                                      {"nbreinventairetotal", "0"}};
        for (const auto& [nom, texte] : legendes)
            QCOMPARE(o.legende(nom), texte);
        const QList<QPair<QString, QString>> boutons{
            {"inventaireModifInfos", "Modifier les informations"},
            {"inventaireCalculer", "Recalculer le stock"},
            {"SortirInventaire", "Sortir Inventaire"},
            {"consulterjournal", "Consulter Journal"}};
        for (const auto& [nom, texte] : boutons)
            QCOMPARE(o.w<QPushButton>(nom)->text(), texte);
        const QList<QPair<QString, QString>> titres{
            {"En stock en comptant cet article", "InventaireTotalStock"},
            {"Nombre Articles depuis le redémarrage", "nbreinventaire"},
            {"Nombre d'articles en Stock Entier", "nbreinventairetotal"},
            {"Code", "InventaireCodeArticle"}};
        for (const auto& [texte, controle] : titres) {
            QLabel* titre = nullptr;
            for (QLabel* l : o.inventaire->findChildren<QLabel*>())
                if (l->text() == texte)
                    titre = l;
            QVERIFY2(titre && titre->buddy(), qPrintable(texte));
            QCOMPARE(titre->buddy()->objectName(), controle);
        }
    }
};

TALMIR_TEST(TestInventaire)
#include "tst_inventaire.moc"
