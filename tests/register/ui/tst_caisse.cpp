#include "caissetest.h"
#include "printing/rolesimprimantes.h"
#include "register/ui/afficheurlcd.h"
#include "support/testmain.h"
#include "support/ui/disposition.h"

#include <QAccessible>
#include <QScrollBar>

// The Caisse tab: its controls, sales, quantities, discounts, payments, the closing offer,
// closing and printing.
class TestCaisse : public QObject {
    Q_OBJECT
  private slots:
    // Every control of the till can be seen and clicked: inside its frame, no control over
    // another, and none hidden under another at its middle. The displays' captions lie beside
    // or above them, never over a digit.
    void disposition() {
        CaisseTest c;
        QStringList noms{
            "saisie",           "total",       "nombre",   "prix",     "tva",       "codebarre",
            "dernierequantite", "DetailAchat", "Command6", "Command7", "Command10", "Command8",
            "Command9",         "Command2",    "Command1", "ticket",   "scrolling", "Label4",
            "Label25",          "totalttc",    "Label34",  "totaltva", "Label3",    "numticket",
            "Label24",          "historique"};
        for (int i = 0; i < 5; ++i)
            noms << QStringLiteral("paiement_%1").arg(i);
        const QString faute = fauteDeDisposition(c.tab.get(), noms);
        QVERIFY2(faute.isEmpty(), qPrintable(faute));
    }

    void legendesEtPolices() {
        CaisseTest c;
        QCOMPARE(c.controle("Label20")->buddy(), c.saisie());
        QCOMPARE(c.saisie()->accessibleName(), QStringLiteral("Code"));
        QCOMPARE(c.controle("Label4")->buddy(), c.controle("total"));
        QCOMPARE(c.controle("Label3")->buddy(), c.controle("numticket"));
        QCOMPARE(c.controle("totaltva")->accessibleName(), QStringLiteral("Total TVA"));
        for (const char* lcd : {"total", "prix", "tva", "nombre"})
            QCOMPARE(c.controle(lcd)->font().family(), AfficheurLcd::police());
        QCOMPARE(c.controle("total")->alignment() & Qt::AlignRight, Qt::AlignRight);
        QCOMPARE(c.controle("prix")->font().pointSizeF(), 27.0);
        QVERIFY(c.controle("prix")->font().bold());
        const QStringList legendes = {"CHEQUE", "ESPECES", "CB", "AVOIR", "TERMINE"};
        for (int i = 0; i < 5; ++i)
            QCOMPARE(c.controle<QPushButton>(QStringLiteral("paiement_%1").arg(i))->text(),
                     legendes[i]);
        QCOMPARE(c.controle<QPushButton>("Command8")->text(), QStringLiteral("Remise "));
        QCOMPARE(c.controle<QPushButton>("Command9")->text(), QStringLiteral("Prix Soldé"));
        QVERIFY(!c.controle<QWidget>("imagesimprimante")->isVisible());
    }

    // A screen reader hears the amounts and numbers of the displays with their captions, as
    // they stand after a sale.
    void valeursAccessibles_data() {
        QTest::addColumn<QString>("affichage");
        QTest::addColumn<QString>("nom");
        QTest::newRow("total ttc") << "totalttc"
                                   << "Total : 40,00 €";
        QTest::newRow("total tva") << "totaltva"
                                   << "Total TVA : 6,56 €";
        QTest::newRow("restant") << "total"
                                 << "TOTAL ttc dû : 40,00";
        QTest::newRow("ticket") << "numticket"
                                << "Ticket : 1";
        QTest::newRow("prix") << "prix"
                              << "Prix : 40,00";
        QTest::newRow("quantité") << "nombre"
                                  << "Quantité : 1";
    }
    void valeursAccessibles() {
        QFETCH(QString, affichage);
        QFETCH(QString, nom);
        CaisseTest c;
        c.taper("ART000001");
        QAccessibleInterface* i = QAccessible::queryAccessibleInterface(c.controle(affichage));
        QVERIFY(i);
        QCOMPARE(i->text(QAccessible::Name), nom);
        QCOMPARE(i->text(QAccessible::Value), c.texte(affichage).trimmed());
    }

    void nouveauTicketVide() {
        CaisseTest c;
        QCOMPARE(c.texte("numticket"), QStringLiteral("1"));
        QVERIFY(!c.clos(1));
        QCOMPARE(c.texte("total"), QStringLiteral("0,00 "));
        QCOMPARE(c.texte("totalttc"), QStringLiteral("0,00 €"));
        QCOMPARE(c.texte("codebarre"), QString()); // no bars before the first line
        QCOMPARE(CaisseTest::textes(c.ecran()),
                 QStringList({"TVA : 0,00 €", "Total ttc : 0,00 €", "Restant dû : 0,00 €",
                              "mardi 5 mars 2024 09:01"}));
        QVERIFY(c.dialogues.boites.isEmpty());
    }

    void venteDUnArticle() {
        CaisseTest c;
        c.taper("art000001  ");
        // The code as stored, the VAT contained in the price (6,56, not 7,84).
        QCOMPARE(c.lignes(), QStringList({"ART000001|40|6.56|1"}));
        QCOMPARE(
            c.b.valeur("SELECT EnStock FROM ARTICLES WHERE CodeArticle = 'ART000001'").toDouble(),
            4.0);
        QCOMPARE(c.texte("DetailAchat"), QStringLiteral("Pull "));
        QCOMPARE(c.texte("codebarre"), QStringLiteral("ART000001"));
        QCOMPARE(c.texte("prix"), QStringLiteral("40,00 "));
        QCOMPARE(c.texte("tva"), QStringLiteral("6,56 ")); // to the cent, as every amount
        QCOMPARE(c.texte("total"), QStringLiteral("40,00 "));
        QCOMPARE(c.texte("totalttc"), QStringLiteral("40,00 €"));
        QCOMPARE(c.texte("totaltva"), QStringLiteral("6,56 €"));
        QCOMPARE(c.texte("dernierequantite"), QStringLiteral("1"));
        QCOMPARE(c.saisie()->selectedText(), QStringLiteral("art000001  "));
        QCOMPARE(
            CaisseTest::textes(c.ecran()).mid(0, 3),
            QStringList({"ART000001 : Pull ", "   > Taille : M  ", "40,00 € x 1 =     40,00 €"}));
        // The next scan replaces the selected text; the same code twice gives two lines.
        c.taper("ART000001");
        QCOMPARE(c.lignes().size(), 2);
        QCOMPARE(c.texte("total"), QStringLiteral("80,00 "));
        // A word typed in small letters is neither a word nor a number: nothing happens.
        c.taper("soustotal");
        QCOMPARE(c.lignes().size(), 2);
        QCOMPARE(c.texte("DetailAchat"), QString());
    }

    void quantite_data() {
        QTest::addColumn<QString>("tape");
        QTest::addColumn<QString>("nombre");
        for (const char* ok : {"3", "2.5", ".5", "-1", "99", "-.5", "0"})
            QTest::newRow(ok) << ok << ok;
        for (const char* non : {"03", "2.50", "0.5", "1,5", " 3", "100", "250", "3 ", "+3"})
            QTest::newRow(qPrintable(QStringLiteral("[%1]").arg(non))) << non << "1";
    }
    void quantite() {
        QFETCH(QString, tape);
        QFETCH(QString, nombre);
        CaisseTest c;
        c.taper(tape);
        QCOMPARE(c.texte("nombre"), nombre);
        QVERIFY(c.lignes().isEmpty());
    }

    void quantiteAppliquee() {
        CaisseTest c;
        c.taper("3");
        c.taper("ART000001");
        QCOMPARE(c.texte("nombre"), QStringLiteral("1"));
        c.taper("-2");
        c.taper("ART000001");
        c.taper("0");
        c.taper("ART000003");
        c.taper("2.5");
        c.taper("SOUSTOTAL"); // a word leaves the quantity for the next article
        QCOMPARE(c.texte("nombre"), QStringLiteral("2.5"));
        c.taper("ART000003");
        QCOMPARE(c.lignes(),
                 QStringList({"ART000001|120|19.67|3", "ART000001|-80|-13.11|-2", "ART000003|0|0|0",
                              "SOUSTOTAL : 40,00 |0|0|0", "ART000003|49.98|8.19|2.5"}));
        QCOMPARE(
            c.b.valeur("SELECT EnStock FROM ARTICLES WHERE CodeArticle = 'ART000001'").toDouble(),
            4.0);
        QCOMPARE(c.texte("prix"), QStringLiteral("49,975 "));
        QCOMPARE(c.texte("dernierequantite"), QStringLiteral("2,5"));
        // A line of quantity 0 prints its description only.
        const QStringList ecran = CaisseTest::textes(c.ecran());
        const int i = int(ecran.indexOf("ART000003 : Chaussettes "));
        QCOMPARE(ecran.value(i + 1), QStringLiteral("SOUSTOTAL : 40,00  *********"));
    }

    void remises_data() {
        QTest::addColumn<QString>("bouton");
        QTest::addColumn<QString>("invite");
        QTest::addColumn<QString>("defaut");
        QTest::addColumn<QString>("reponse");
        QTest::addColumn<QString>("ligne");
        QTest::addColumn<QString>("prix");
        QTest::addColumn<QString>("totalttc");
        auto rangee = [](const char* nom, const char* bouton, const char* invite,
                         const char* defaut, const char* reponse, const char* ligne,
                         const char* prix, const char* totalttc) {
            QTest::newRow(nom) << bouton << invite << defaut << reponse << ligne << prix
                               << totalttc;
        };
        rangee("pourcentage du dernier", "Command7",
               "Entrez % de remise sur le dernier article : 40,00 ", "10", "10",
               "REMISE sur ARTICLE 10 %|-4|-0.66|1", "-4,00 ", "36,00 €");
        rangee("pourcentage du total", "Command6", "Entrez % de remise sur le total : 40,00 ", "10",
               "12,5", "REMISE sur SOUSTOTAL 12,5 %|-5|-0.82|1", "-5,00 ", "35,00 €");
        rangee("prix solde", "Command9", "Entrez le nouveau prix au lieu de 40,00 ", "0", "30",
               "REMISE|-10|-1.64|1", "-10,00 ", "30,00 €");
        rangee("remise", "Command8", "Entrez le montant à déduire", "0", "5", "REMISE|-5|-0.82|1",
               "-5,00 ", "35,00 €");
    }
    void remises() {
        QFETCH(QString, bouton);
        QFETCH(QString, invite);
        QFETCH(QString, defaut);
        QFETCH(QString, reponse);
        QFETCH(QString, ligne);
        QFETCH(QString, prix);
        QFETCH(QString, totalttc);
        CaisseTest c;
        c.taper("ART000001");
        c.dialogues.saisies << reponse;
        c.cliquer(bouton);
        const DialoguesScript::Boite& boite = c.dialogues.boites.last();
        QCOMPARE(boite.texte, invite);
        QCOMPARE(boite.titre, QStringLiteral("TALMIR Vestimentaire"));
        QCOMPARE(boite.defaut, defaut);
        QCOMPARE(c.lignes().value(1), ligne);
        QCOMPARE(c.texte("prix"), prix);
        QCOMPARE(c.texte("totalttc"), totalttc);
        QCOMPARE(CaisseTest::textes(c.ecran()).value(3), ligne.section(u'|', 0, 0) + " *********");
    }

    void remiseSurLaRemise() {
        CaisseTest c;
        c.taper("ART000001");
        c.dialogues.saisies << QStringLiteral("30") << QStringLiteral("50");
        c.cliquer("Command9");
        // The discount just recorded is now the last line.
        c.cliquer("Command7");
        QCOMPARE(c.lignes().value(2), QStringLiteral("REMISE sur ARTICLE 50 %|5|0.82|1"));
        // No answer, or 0: nothing is recorded.
        c.dialogues.saisies << std::nullopt << QStringLiteral("0") << QStringLiteral("abc");
        c.cliquer("Command9");
        c.cliquer("Command8");
        c.cliquer("Command6");
        QCOMPARE(c.lignes().size(), 3);
    }

    // A discount needs a line to discount: on an empty ticket each discount is refused, before
    // any amount is asked for.
    void remiseSansArticle_data() {
        QTest::addColumn<QString>("bouton");
        for (const char* b : {"Command6", "Command7", "Command8", "Command9"})
            QTest::newRow(b) << QString(b);
    }
    void remiseSansArticle() {
        QFETCH(QString, bouton);
        CaisseTest c;
        c.cliquer(bouton);
        QVERIFY(c.lignes().isEmpty());
        QCOMPARE(c.dialogues.textes(),
                 QStringList{"Aucun article n'est sur ce ticket : la remise n'est pas "
                             "enregistrée."});
    }

    // What is typed into the amount box: an amount is recorded; anything else is refused in the
    // box itself with a French reason (the box is then cancelled here), nothing recorded.
    void reponsesAuPaiement_data() {
        QTest::addColumn<std::optional<QString>>("reponse");
        QTest::addColumn<QStringList>("lignes");
        QTest::addColumn<bool>("message");
        QTest::addColumn<bool>("refusee");
        const QStringList aucune;
        QTest::newRow("annule") << std::optional<QString>() << aucune << false << false;
        QTest::newRow("vide") << std::optional<QString>("") << aucune << false << false;
        QTest::newRow("lettres") << std::optional<QString>("vingt") << aucune << false << true;
        QTest::newRow("code") << std::optional<QString>("ART000001") << aucune << false << true;
        QTest::newRow("deux separateurs")
            << std::optional<QString>("12.345,67") << aucune << false << true;
        QTest::newRow("virgule") << std::optional<QString>("12,5")
                                 << QStringList{"ESPECES|-12.5|0|0"} << false << false;
        QTest::newRow("blancs") << std::optional<QString>(" 7 €") << QStringList{"ESPECES|-7|0|0"}
                                << false << false;
        QTest::newRow("blanc entre les chiffres")
            << std::optional<QString>("1 0") << QStringList{"ESPECES|-10|0|0"} << false << false;
        QTest::newRow("negatif") << std::optional<QString>("-5") << QStringList{"ESPECES|5|0|0"}
                                 << false << false;
        QTest::newRow("enorme") << std::optional<QString>("1e300") << aucune << false << true;
        QTest::newRow("infini") << std::optional<QString>("1e999") << aucune << false << true;
        QTest::newRow("300 chiffres")
            << std::optional<QString>(QString(300, u'9')) << aucune << true << false;
        QTest::newRow("10000 chiffres")
            << std::optional<QString>(QString(10000, u'9')) << aucune << false << true;
        QTest::newRow("moins d'un centime")
            << std::optional<QString>("0,004") << aucune << false << false;
    }
    void reponsesAuPaiement() {
        QFETCH(std::optional<QString>, reponse);
        QFETCH(QStringList, lignes);
        QFETCH(bool, message);
        QFETCH(bool, refusee);
        CaisseTest c;
        c.taper("ART000002");
        c.dialogues.saisies << reponse;
        c.cliquer("paiement_1");
        QCOMPARE(c.dialogues.boites[0].texte, QStringLiteral("Entrez le montant réglé"));
        QCOMPARE(c.dialogues.boites[0].defaut, QStringLiteral("45,20 "));
        QCOMPARE(c.lignes().mid(1), lignes);
        QCOMPARE(c.dialogues.boites.size(), message ? 2 : 1);
        QCOMPARE(c.dialogues.boites[0].refus.size(), refusee ? 1 : 0);
        if (refusee)
            QVERIFY2(c.dialogues.boites[0].refus[0].contains("n'est pas un montant"),
                     qPrintable(c.dialogues.boites[0].refus[0]));
        // The word stays in the box, selected, for the next scan to replace.
        QCOMPARE(c.saisie()->text(), QStringLiteral("ESPECES"));
        QCOMPARE(c.saisie()->selectedText(), QStringLiteral("ESPECES"));
    }

    void deuxPaiementsEtOffreRefusee() {
        CaisseTest c;
        c.taper("ART000002");
        c.dialogues.saisies << QStringLiteral("20");
        c.cliquer("paiement_1");
        QCOMPARE(c.dialogues.compter(offre()), 0);
        QCOMPARE(c.texte("total"), QStringLiteral("25,20 "));
        c.dialogues.reponses << Dialogues::Reponse::Non;
        c.cliquer("paiement_2"); // CB for the rest, the default answer
        QCOMPARE(c.dialogues.compter(offre()), 1);
        const DialoguesScript::Boite& o = c.dialogues.boites.last();
        QCOMPARE(o.titre, QStringLiteral("TALMIR Vestimentaire"));
        QCOMPARE(o.boutons, Dialogues::Boutons::OuiNon);
        QCOMPARE(o.icone, Dialogues::Icone::Aucune);
        QCOMPARE(c.lignes(),
                 QStringList({"ART000002|45.2|7.41|1", "ESPECES|-20|0|0", "CB|-25.2|0|0"}));
        QVERIFY(!c.clos(1));
        // Closing without printing.
        c.taper("TERMINE");
        QVERIFY(c.clos(1));
        QVERIFY(c.imprimantes.travaux.isEmpty());
        QCOMPARE(c.numero(), 2);
        QCOMPARE(c.texte("total"), QStringLiteral("0,00 "));
    }

    void offreAcceptee() {
        CaisseTest c;
        c.services.reglages().ecrire({"boutique", "nom", ""}, QStringLiteral("Mode & Cie"));
        c.services.reglages().ecrire({"boutique", "siret", ""}, QStringLiteral("123 456 789"));
        c.taper("ART000001");
        c.taper("ART000003");
        c.dialogues.reponses << Dialogues::Reponse::Oui;
        c.cliquer("paiement_2");
        QVERIFY(c.clos(1));
        QCOMPARE(c.b.valeur("SELECT TotalTTC FROM TICKETS WHERE NumeroTicket = 1").toDouble(),
                 59.99);
        QCOMPARE(c.b.valeur("SELECT Date FROM TICKETS WHERE NumeroTicket = 1").toString(),
                 QStringLiteral("2024-03-05 09:01:22"));
        QCOMPARE(c.b.valeur("SELECT caisse || '/' || vendeur FROM TICKETS WHERE NumeroTicket = 1")
                     .toString(),
                 QStringLiteral("1/1"));
        // The receipt, on the receipt printer, then the next ticket.
        QCOMPARE(c.imprimantes.travaux.size(), 1);
        QCOMPARE(c.imprimantes.travaux[0].format, FormatPapier::Ticket);
        QVERIFY(c.imprimantes.travaux[0].termine);
        QCOMPARE(CaisseTest::textes(*c.imprimantes.travaux[0].surface),
                 QStringList({"ART000001 : Pull ", "   > Taille : M  ", "40,00 € x 1 =     40,00 €",
                              "ART000003 : Chaussettes ", "19,99 € x 1 =     19,99 €",
                              "CB *********", "CB : 59,99 €", "TVA : 9,84 €", "Total ttc : 59,99 €",
                              "Restant dû : 0,00 €", "mardi 5 mars 2024 09:01", "Ticket n° 1",
                              "TVA 19,6 % : HT 50,15 €  TVA 9,84 €  TTC 59,99 €", "Mode & Cie",
                              "SIRET : 123 456 789",
                              QStringLiteral("TALMIR_vestimentaire %1.%2.%3")
                                  .arg(TALMIR_VERSION_MAJOR)
                                  .arg(TALMIR_VERSION_MINOR)
                                  .arg(TALMIR_VERSION_PATCH),
                              QStringLiteral("Signature : ") +
                                  c.b.valeur("SELECT substr(Signature, 1, 12) FROM TICKETS WHERE "
                                             "NumeroTicket = 1")
                                      .toString()}));
        // The ticket on the screen stays as it was: the mentions are the paper's.
        QVERIFY(!CaisseTest::textes(c.tab->findChild<PictureBox*>("ticket")->surface())
                     .contains("Ticket n° 1"));
        QCOMPARE(c.dialogues.compter(offre()), 1);
        QCOMPARE(c.numero(), 2);
        QVERIFY(c.lignes().isEmpty());
        QCOMPARE(c.saisie()->text(), QStringLiteral("IMPRIME et TERMINE"));
        QCOMPARE(c.saisie()->selectedText(), c.saisie()->text());
    }

    void refusDeCloture() {
        CaisseTest c;
        c.taper("ART000002");
        c.dialogues.saisies << QStringLiteral("20");
        c.cliquer("paiement_0");
        QCOMPARE(c.texte("total"), QStringLiteral("25,20 "));
        c.cliquer("paiement_4");
        const DialoguesScript::Boite& r = c.dialogues.boites.last();
        QCOMPARE(r.texte, refus());
        QCOMPARE(r.titre, QStringLiteral("TALMIR vestimentaire"));
        QCOMPARE(r.icone, Dialogues::Icone::Arret);
        QVERIFY(!c.clos(1));
        QCOMPARE(c.lignes().size(), 2);
        QCOMPARE(c.numero(), 1);
    }

    void centimesExacts() {
        CaisseTest c;
        c.taper("ART000004");
        c.taper("ART000005");
        c.taper("ART000004");
        c.dialogues.reponses << Dialogues::Reponse::Non;
        c.cliquer("paiement_0");
        // 0,10 + 0,20 + 0,10 - 0,40 is exactly nothing: the offer is made.
        QCOMPARE(c.dialogues.compter(offre()), 1);
    }

    // A percentage discount is rounded to the cent (12,5 % of 19,99 is 2,50, not 2,49875): the
    // display's 0,00 is exactly nothing, the offer is made, and the closed total is the sum of the
    // lines.
    void remiseAuCentime() {
        CaisseTest c;
        c.taper("ART000003");
        c.dialogues.saisies << QStringLiteral("12,5");
        c.cliquer("Command7");
        QCOMPARE(c.lignes().value(1), QStringLiteral("REMISE sur ARTICLE 12,5 %|-2.5|-0.41|1"));
        QCOMPARE(c.texte("total"), QStringLiteral("17,49 "));
        c.dialogues.reponses << Dialogues::Reponse::Non;
        c.cliquer("paiement_1"); // the default: 17,49
        QCOMPARE(c.texte("total"), QStringLiteral("0,00 "));
        QCOMPARE(c.dialogues.compter(offre()), 1);
        c.cliquer("paiement_4");
        QVERIFY(c.clos(1));
        QCOMPARE(c.b.valeur("SELECT TotalTTC FROM TICKETS WHERE NumeroTicket = 1").toDouble(),
                 17.49);
        QCOMPARE(c.b.valeur("SELECT sum(PrixVenteTTC) FROM VENTES WHERE NumeroTicket = 1 AND qt "
                            "<> 0")
                     .toDouble(),
                 17.49);
    }

    // An empty ticket is neither closed nor printed: a second Enter on the closing word, or a
    // double click on TERMINE, closes one ticket only.
    void terminerUnTicketVide() {
        CaisseTest c;
        c.taper("TERMINE");
        QVERIFY(!c.clos(1));
        QCOMPARE(c.numero(), 1);
        QVERIFY(c.dialogues.boites.isEmpty());
        QCOMPARE(c.texte("avis"), QStringLiteral("Le ticket est vide : il n'y a rien à terminer"));
        c.taper("ART000001");
        c.dialogues.reponses << Dialogues::Reponse::Oui;
        c.cliquer("paiement_1");
        QVERIFY(c.clos(1));
        QCOMPARE(c.imprimantes.travaux.size(), 1);
        // The closing word is still in the box: Enter again, then TERMINE twice.
        QTest::keyClick(c.saisie(), Qt::Key_Return);
        c.cliquer("paiement_4");
        c.cliquer("paiement_4");
        QVERIFY(!c.clos(2));
        QCOMPARE(c.numero(), 2);
        QCOMPARE(c.imprimantes.travaux.size(), 1);
        QCOMPARE(c.b.valeur("SELECT count(*) FROM TICKETS").toInt(), 2);
    }

    void imprimerSurLImprimanteDesTickets() {
        CaisseTest c;
        // The receipt printer is chosen on the Parametres tab and selected before each print.
        auto* liste = c.parametres->findChild<QListWidget*>("ListImprimantes");
        liste->setCurrentRow(1);
        c.parametres->choisirImprimanteTicket();
        c.imprimantes.SelectPrinter("Imprimante PDF");
        c.cliquer("Command1");
        QCOMPARE(c.imprimantes.travaux.size(), 1);
        QCOMPARE(c.imprimantes.travaux[0].imprimante, QStringLiteral("Ticket 80"));
        // An empty ticket prints its zero totals and the date; no offer.
        QCOMPARE(CaisseTest::textes(*c.imprimantes.travaux[0].surface).mid(0, 5),
                 QStringList({"TVA : 0,00 €", "Total ttc : 0,00 €", "Restant dû : 0,00 €",
                              "mardi 5 mars 2024 09:01", "Ticket n° 1"}));
        QVERIFY(c.dialogues.boites.isEmpty());
        QVERIFY(!c.clos(1));
    }

    void imprimerUnTicketPaye() {
        CaisseTest c;
        c.taper("ART000001");
        c.dialogues.reponses << Dialogues::Reponse::Non << Dialogues::Reponse::Oui;
        c.cliquer("paiement_1");
        QVERIFY(!c.clos(1));
        // IMPRIMER prints, then offers; Yes closes and prints a second time.
        c.cliquer("Command1");
        QCOMPARE(c.dialogues.compter(offre()), 2);
        QVERIFY(c.clos(1));
        QCOMPARE(c.imprimantes.travaux.size(), 2);
        // The closed ticket's receipt ends with its signature's excerpt.
        const QString signature =
            c.b.valeur("SELECT Signature FROM TICKETS WHERE NumeroTicket = 1").toString();
        QCOMPARE(CaisseTest::textes(*c.imprimantes.travaux[1].surface),
                 CaisseTest::textes(*c.imprimantes.travaux[0].surface)
                     << QStringLiteral("Signature : ") + signature.left(12));
    }

    void imprimanteEnPanne() {
        CaisseTest c;
        c.imprimantes.enPanne = true;
        c.taper("ART000001");
        c.dialogues.reponses << Dialogues::Reponse::Oui;
        c.cliquer("paiement_1");
        // Closed and the next ticket opened all the same; the operator is told.
        QVERIFY(c.clos(1));
        QCOMPARE(c.numero(), 2);
        const DialoguesScript::Boite& m = c.dialogues.boites.last();
        QVERIFY2(m.texte.startsWith("Le ticket n° 1 est terminé, mais son reçu n'a pas pu être "
                                    "imprimé"),
                 qPrintable(m.texte));
        QVERIFY(m.texte.contains("l'imprimante ne répond pas"));
        c.cliquer("Command1");
        QVERIFY(c.dialogues.boites.last().texte.startsWith("Le ticket n'a pas pu être imprimé"));
    }

    // A receipt printer that this computer does not have: the receipts go to the current
    // printer, and the operator is told so once, not at every receipt.
    void imprimanteDesTicketsAbsente() {
        CaisseTest c;
        c.services.roles().choisirTicket(QStringLiteral("Ticket 58"));
        c.imprimantes.SelectPrinter(QStringLiteral("Imprimante PDF"));
        c.cliquer("Command1");
        c.cliquer("Command1");
        QCOMPARE(c.imprimantes.travaux.size(), 2);
        QCOMPARE(c.imprimantes.travaux[1].imprimante, QStringLiteral("Imprimante PDF"));
        QCOMPARE(c.dialogues.compter(QStringLiteral(
                     "L'imprimante des tickets « Ticket 58 » n'est pas installée : les tickets "
                     "sont imprimés sur « Imprimante PDF ». Choisissez l'imprimante des tickets "
                     "sur l'onglet Parametres.")),
                 1);
        QCOMPARE(c.dialogues.boites.size(), 1);
    }

    void defilement() {
        CaisseTest c;
        auto* fond = c.controle<QWidget>("fondticket");
        auto* ticket = c.controle<QWidget>("ticket");
        auto* barre = c.controle<QScrollBar>("scrolling");
        // A short ticket sits on the frame's bottom edge with an empty band above it.
        QCOMPARE(ticket->geometry().bottom() + 1, fond->height());
        QVERIFY(ticket->y() > 0);
        QCOMPARE(barre->maximum(), 0);
        // The track is one plain grey, not the checkered pattern each scan would spend its time
        // on, whether the ticket is short or long enough to scroll.
        auto pisteUnie = [barre] {
            const QImage vue = barre->grab().toImage();
            const QPoint piste(vue.width() / 2, vue.height() / 4);
            for (const QPoint voisin : {QPoint(1, 0), QPoint(0, 1), QPoint(1, 1)})
                if (vue.pixel(piste + voisin) != vue.pixel(piste))
                    return false;
            return true;
        };
        QVERIFY(pisteUnie());
        for (int i = 0; i < 30; ++i)
            c.taper("ART000003");
        QCOMPARE(ticket->geometry().bottom() + 1, fond->height());
        QCOMPARE(barre->maximum(), ticket->height() - fond->height());
        QVERIFY(barre->maximum() > 0);
        QCOMPARE(barre->value(), barre->maximum()); // the box shows where the ticket is
        QVERIFY(pisteUnie());
        // The box at the bottom stands out of the track.
        const QImage vue = barre->grab().toImage();
        QVERIFY(vue.pixel(vue.width() / 2, vue.height() / 4) !=
                vue.pixel(vue.width() / 2, vue.height() - vue.width() - 2));
        // Dragging the box to the top shows the header; the arrows do not move the ticket.
        barre->setSliderDown(true);
        barre->setSliderPosition(0);
        barre->setSliderDown(false);
        QCOMPARE(ticket->y(), 0);
        barre->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(ticket->y(), 0);
        c.cliquer("Command2");
        QCOMPARE(ticket->geometry().bottom() + 1, fond->height());
    }

    void codeBarreDessine() {
        CaisseTest c;
        c.taper("art000001");
        QWidget* codebarre = c.controle<QWidget>("codebarre");
        const QImage image = codebarre->grab().toImage();
        // White bars on grey across the middle: 11 characters of 5 bars, start and stop included.
        int barres = 0;
        bool dansBarre = false;
        for (int x = 0; x < image.width(); ++x) {
            const bool blanc = qGray(image.pixel(x, image.height() / 2)) > 200;
            barres += blanc && !dansBarre;
            dansBarre = blanc;
        }
        QVERIFY2(barres >= 50, qPrintable(QString::number(barres)));
    }
};

TALMIR_TEST(TestCaisse)
#include "tst_caisse.moc"
