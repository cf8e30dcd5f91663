#include "catalogue/ui/ongletgencodes.h"
#include "support/testmain.h"
#include "support/ui/disposition.h"

#include <QDir>
#include <QFontMetrics>
#include <QScrollBar>
#include <QtTest>
#include <functional>

// The Gen Codes tab: the article form, its editing and label-count states, its two loads,
// the save, the new code, the list with its search and deletion.
class TestGenCodesTab : public QObject {
    Q_OBJECT

    static void cliquerLigne(OngletGenCodes& o, int rang) { o.liste()->setCurrentRow(rang); }

    // Something the user does to the tab.
    using Action = std::function<void(OngletGenCodes&)>;
    static Action touche(const QString& boite, Qt::Key k) {
        return [=](OngletGenCodes& o) { QTest::keyClick(o.onglets.findChild<QWidget*>(boite), k); };
    }
    // A code typed into the code box, which is then left.
    static Action sortieDuCode(const QString& code) {
        return [=](OngletGenCodes& o) {
            o.w("CodeArticle")->setText(code);
            o.genCodes->CodeArticle_LostFocus();
        };
    }
    // The text of a box, or of the supplier's combo box.
    static void ecrire(QWidget* w, const QString& texte) {
        if (auto* c = qobject_cast<QComboBox*>(w))
            c->setEditText(texte);
        else
            qobject_cast<QLineEdit*>(w)->setText(texte);
    }
    static QString texte(const QWidget* w) {
        if (auto* c = qobject_cast<const QComboBox*>(w))
            return c->currentText();
        return qobject_cast<const QLineEdit*>(w)->text();
    }

  private slots:
    // Every box has its caption, which names it for the keyboard.
    void legendes_data() {
        QTest::addColumn<QString>("legende");
        QTest::addColumn<QString>("texte");
        QTest::addColumn<QString>("boite");
        QTest::newRow("code") << "Label2"
                              << "Recherche de code barres"
                              << "CodeArticle";
        QTest::newRow("nombre") << "Label5"
                                << "Nombre à ajouter"
                                << "NombreArticles";
        QTest::newRow("a imprimer") << "Label13"
                                    << "A imprimer"
                                    << "aimprimer";
        QTest::newRow("libelle") << "Label6"
                                 << "Libellé"
                                 << "Libelle";
        QTest::newRow("taille") << "Label7"
                                << "Taille"
                                << "taille";
        QTest::newRow("couleur") << "Label8"
                                 << "Couleur"
                                 << "couleur";
        QTest::newRow("prix vente") << "Label9"
                                    << "Prix Vente TTC"
                                    << "prixdeventettc";
        QTest::newRow("tva vente") << "Label10"
                                   << "Taux TVA vente"
                                   << "tauxtvavente";
        QTest::newRow("prix achat") << "Label11"
                                    << "Prix achat HT"
                                    << "prixhaht";
        QTest::newRow("tva achat") << "Label12"
                                   << "Taux TVA HA"
                                   << "tauxtvaha";
        QTest::newRow("fournisseur") << "Label17"
                                     << "Fournisseur"
                                     << "fourn";
        QTest::newRow("date facture") << "Label19"
                                      << "Date Facture HA"
                                      << "datefacture";
    }
    void legendes() {
        QFETCH(QString, legende);
        QFETCH(QString, texte);
        QFETCH(QString, boite);
        BoutiqueTest b;
        GenCodesTab tab(b.services());
        auto* l = tab.findChild<QLabel*>(legende);
        QVERIFY(l);
        QCOMPARE(l->text(), texte);
        QVERIFY(l->buddy());
        QCOMPARE(l->buddy()->objectName(), boite);
    }

    void etatInitial() {
        OngletGenCodes o;
        QVERIFY(o.demarrer());
        const QList<QPair<QString, QString>> boutons{
            {"NouvelArticle", "Créer un nouveau CODE"},
            {"validation", "Validation"},
            {"Annulersaisie", "Annuler saisie"},
            {"imprimerlesetiquettes", "Imprimer 1 feuilles d'Etiquettes"},
            {"supprimer", "Supprimer"},
            {"gorecherche", "Rech"},
            {"rechager", "Rech sans condition"},
            {"choisirdatelivraison", "Choisir une date de livraison"}};
        for (const auto& [nom, texte] : boutons)
            QCOMPARE(o.w<QPushButton>(nom)->text(), texte);
        QCOMPARE(o.legende("Label18"),
                 QStringLiteral("DATE FACTURE + zone commentaire + recherche multicritères"));
        // A box shows what it is for, never its own default name.
        QCOMPARE(o.w<QComboBox>("ListeDesDates")->currentText(), QString());
        QCOMPARE(o.w<QComboBox>("ListeDesDates")->lineEdit()->placeholderText(),
                 QStringLiteral("Date de livraison"));
        QCOMPARE(o.texte("NombreArticles"), QStringLiteral("1"));
        QCOMPARE(o.texte("taille"), QStringLiteral(" "));
        QCOMPARE(o.w("taille")->maxLength(), 5);
        QCOMPARE(o.w("couleur")->maxLength(), 10);
        QCOMPARE(o.texte("tauxtvavente"), QStringLiteral("19.6%"));
        QCOMPARE(o.texte("tauxtvaha"), QStringLiteral("19.6%"));
        // Until the first load or edit the list is usable and both buttons are shown.
        QVERIFY(o.liste()->isEnabled());
        QVERIFY(!o.w<QPushButton>("validation")->isHidden());
        QVERIFY(!o.w<QPushButton>("Annulersaisie")->isHidden());
        QVERIFY(!o.aImprimerMontre());
        QCOMPARE(o.legende("nombrereponses"), QStringLiteral("3"));
        QCOMPARE(o.liste()->count(), 3);
        QCOMPARE(o.liste()->item(0)->text(), QStringLiteral("ART000012 | Pull\n    M · Rouge"));
        QCOMPARE(o.liste()->item(1)->text(), QStringLiteral("ART000020 | PULL COL V\n    M"));
        QCOMPARE(o.liste()->currentRow(), -1);
    }

    // Tab from the first control goes once round every control of the tab, and through the
    // article form's boxes in reading order, from the code box down to the purchase VAT.
    void ordreClavier() {
        OngletGenCodes o;
        QVERIFY(o.demarrer());
        QVERIFY(o.montrer());
        QStringList parcours = parcoursTabulation(o.liste());
        const QStringList attendus = controlesAuClavier(o.genCodes);
        parcours.removeIf([&](const QString& nom) { return !attendus.contains(nom); });
        QCOMPARE(QSet<QString>(parcours.begin(), parcours.end()).size(), parcours.size());
        QCOMPARE(QSet<QString>(parcours.begin(), parcours.end()),
                 QSet<QString>(attendus.begin(), attendus.end()));
        const qsizetype debut = parcours.indexOf("CodeArticle");
        const qsizetype fin = parcours.indexOf("tauxtvaha");
        QVERIFY2(debut >= 0 && fin > debut, qPrintable(parcours.join(u' ')));
        const QStringList formulaire = parcours.mid(debut, fin - debut + 1);
        for (const char* boite : {"NombreArticles", "Libelle", "taille", "couleur",
                                  "prixdeventettc", "tauxtvavente", "prixhaht"})
            QVERIFY2(formulaire.contains(boite), boite);
        const QString faute = fauteDOrdreDeLecture(o.genCodes, formulaire);
        QVERIFY2(faute.isEmpty(), qPrintable(faute));
        // While an article is being typed, Tab from its last box reaches "Validation".
        o.genCodes->modifierDonnees();
        QCOMPARE(parcoursTabulation(o.w("tauxtvaha"), 2).value(1), QStringLiteral("validation"));
    }

    // The editing state: a character typed into one of the ten boxes, or a supplier chosen,
    // locks the list; leaving the code box, a list selection, "Annuler saisie" and a save
    // unlock it.
    void etatEdition_data() {
        QTest::addColumn<bool>("depart");
        QTest::addColumn<Action>("action");
        QTest::addColumn<bool>("arrivee");
        for (const char* boite :
             {"aimprimer", "couleur", "Libelle", "NombreArticles", "prixdeventettc", "prixhaht",
              "taille", "tauxtvaha", "tauxtvavente", "fourn"})
            QTest::addRow("lettre dans %s", boite) << false << touche(boite, Qt::Key_A) << true;
        QTest::newRow("retour arriere") << false << touche("prixhaht", Qt::Key_Backspace) << true;
        QTest::newRow("entree") << false << touche("Libelle", Qt::Key_Return) << true;
        QTest::newRow("espace") << false << touche("couleur", Qt::Key_Space) << true;
        QTest::newRow("fleche") << false << touche("prixhaht", Qt::Key_Left) << false;
        QTest::newRow("suppr") << false << touche("prixhaht", Qt::Key_Delete) << false;
        QTest::newRow("tabulation") << false << touche("prixhaht", Qt::Key_Tab) << false;
        QTest::newRow("lettre dans le code") << false << touche("CodeArticle", Qt::Key_A) << false;
        QTest::newRow("choix d'un fournisseur") << false << Action([](OngletGenCodes& o) {
            emit o.w<QComboBox>("fourn")->activated(1);
        }) << true;
        QTest::newRow("sortie du code, connu") << true << sortieDuCode("ART000042") << false;
        QTest::newRow("sortie du code, inconnu") << true << sortieDuCode("ZZZ") << false;
        QTest::newRow("selection dans la liste")
            << true << Action([](OngletGenCodes& o) { cliquerLigne(o, 2); }) << false;
        QTest::newRow("annuler saisie")
            << true << Action([](OngletGenCodes& o) { o.w<QPushButton>("Annulersaisie")->click(); })
            << false;
        QTest::newRow("validation")
            << true << Action([](OngletGenCodes& o) { o.w<QPushButton>("validation")->click(); })
            << false;
    }
    void etatEdition() {
        QFETCH(bool, depart);
        QFETCH(Action, action);
        QFETCH(bool, arrivee);
        OngletGenCodes o;
        QVERIFY(o.demarrer());
        o.w<QComboBox>("fourn")->addItem("Laines du Nord");
        cliquerLigne(o, 0);
        if (depart)
            o.genCodes->modifierDonnees();
        QVERIFY(depart ? o.enEdition() : o.horsEdition());
        action(o);
        QVERIFY(arrivee ? o.enEdition() : o.horsEdition());
    }

    // "A imprimer" is shown while a stored article is in the form.
    void etatEtiquettes_data() {
        QTest::addColumn<bool>("depart");
        QTest::addColumn<Action>("action");
        QTest::addColumn<bool>("arrivee");
        const Action liste = [](OngletGenCodes& o) { cliquerLigne(o, 1); };
        const Action sansSelection = [](OngletGenCodes& o) {
            o.liste()->setCurrentRow(-1);
            o.genCodes->Annulersaisie_Click();
        };
        const Action nouveau = [](OngletGenCodes& o) { o.genCodes->NouvelArticle_Click(); };
        const Action validation = [](OngletGenCodes& o) { o.genCodes->validation_Click(); };
        for (bool d : {false, true}) {
            const char* de = d ? "montre" : "cache";
            QTest::addRow("%s, code connu", de) << d << sortieDuCode("art000012") << true;
            QTest::addRow("%s, code inconnu", de) << d << sortieDuCode("ZZZ") << d;
            QTest::addRow("%s, selection dans la liste", de) << d << liste << true;
            QTest::addRow("%s, annuler sans selection", de) << d << sansSelection << true;
            QTest::addRow("%s, nouveau code", de) << d << nouveau << false;
        }
        QTest::newRow("validation d'un article connu") << true << validation << true;
        QTest::newRow("validation d'un nouveau code") << false << validation << true;
    }
    void etatEtiquettes() {
        QFETCH(bool, depart);
        QFETCH(Action, action);
        QFETCH(bool, arrivee);
        OngletGenCodes o;
        QVERIFY(o.demarrer());
        o.w("Libelle")->setText("Gilet");
        if (depart)
            cliquerLigne(o, 0);
        else
            o.genCodes->NouvelArticle_Click();
        QCOMPARE(o.aImprimerMontre(), depart);
        action(o);
        QCOMPARE(o.aImprimerMontre(), arrivee);
    }

    // Leaving the code box loads the article of that code; the typed text stays.
    void chargementParCode() {
        OngletGenCodes o;
        QVERIFY(o.demarrer());
        o.w("CodeArticle")->setText("art000012");
        o.genCodes->CodeArticle_LostFocus();
        const QList<QPair<QString, QString>> attendu{
            {"CodeArticle", "art000012"}, {"Libelle", "Pull "},
            {"prixdeventettc", "29,9"},   {"taille", "M "},
            {"couleur", "Rouge "},        {"tauxtvavente", "5,5"},
            {"prixhaht", "12,5"},         {"tauxtvaha", "19,6"},
            {"NombreArticles", "0"},      {"aimprimer", "2"}};
        for (const auto& [boite, texte] : attendu)
            QCOMPARE(o.texte(boite), texte);
        QCOMPARE(o.legende("totalarticle"), QStringLiteral("stock : 3"));
        QCOMPARE(o.w<QComboBox>("fourn")->currentText(), QStringLiteral("Maison Dupont"));
        QVERIFY(o.aImprimerMontre());
        // Wildcards: the first article whose code matches, shown under its own code.
        o.w("CodeArticle")->setText("ART00004*");
        o.genCodes->CodeArticle_LostFocus();
        QCOMPARE(o.texte("Libelle"), QStringLiteral("Robe d'été "));
        QCOMPARE(o.texte("CodeArticle"), QStringLiteral("ART000042"));
    }

    // An unknown code keeps the previous article's values, ready to be saved under it.
    void codeInconnu() {
        OngletGenCodes o;
        QVERIFY(o.demarrer());
        cliquerLigne(o, 0);
        o.genCodes->modifierDonnees();
        o.w("CodeArticle")->setText("L'inconnu");
        o.genCodes->CodeArticle_LostFocus();
        QVERIFY(o.horsEdition());
        QCOMPARE(o.texte("Libelle"), QStringLiteral("Pull "));
        QCOMPARE(o.texte("aimprimer"), QStringLiteral("2"));
        QVERIFY(o.aImprimerMontre());
        QCOMPARE(o.texte("CodeArticle"), QStringLiteral("L'inconnu"));
    }

    // A list selection loads the entry's article, its code included; a missing colour or
    // supplier shows empty, not the previous article's.
    void chargementParListe() {
        OngletGenCodes o;
        QVERIFY(o.demarrer());
        cliquerLigne(o, 0);
        cliquerLigne(o, 1);
        QCOMPARE(o.texte("CodeArticle"), QStringLiteral("ART000020"));
        QCOMPARE(o.texte("Libelle"), QStringLiteral("PULL COL V "));
        QCOMPARE(o.texte("couleur"), QString());
        QCOMPARE(o.w<QComboBox>("fourn")->currentText(), QString());
        QCOMPARE(o.texte("prixdeventettc"), QStringLiteral("45"));
        QCOMPARE(o.legende("totalarticle"), QStringLiteral("stock : 1"));
    }

    // A click on the entry already selected loads its article again.
    void clicSurLEntreeChoisie() {
        OngletGenCodes o;
        QVERIFY(o.demarrer());
        QVERIFY(o.montrer());
        auto cliquer = [&](int rang) {
            QTest::mouseClick(o.liste()->viewport(), Qt::LeftButton, {},
                              o.liste()->visualItemRect(o.liste()->item(rang)).center());
        };
        cliquer(0);
        QCOMPARE(o.texte("CodeArticle"), QStringLiteral("ART000012"));
        o.w("CodeArticle")->setText("ART000042");
        o.genCodes->CodeArticle_LostFocus();
        QCOMPARE(o.texte("Libelle"), QStringLiteral("Robe d'été "));
        cliquer(0);
        QCOMPARE(o.texte("CodeArticle"), QStringLiteral("ART000012"));
        QCOMPARE(o.texte("Libelle"), QStringLiteral("Pull "));
    }

    // "Annuler saisie" reloads the selected entry; with none selected the boxes stay.
    void annulerSaisie() {
        OngletGenCodes o;
        QVERIFY(o.demarrer());
        cliquerLigne(o, 0);
        QTest::keyClicks(o.w("prixhaht"), "9");
        QVERIFY(o.enEdition());
        QCOMPARE(o.texte("prixhaht"), QStringLiteral("12,59"));
        o.genCodes->Annulersaisie_Click();
        QVERIFY(o.horsEdition());
        QCOMPARE(o.texte("prixhaht"), QStringLiteral("12,5"));
        o.liste()->setCurrentRow(-1);
        o.w("Libelle")->setText("Gilet");
        o.genCodes->Annulersaisie_Click();
        QCOMPARE(o.texte("Libelle"), QStringLiteral("Gilet"));
        QCOMPARE(o.texte("NombreArticles"), QStringLiteral("0"));
        QVERIFY(o.aImprimerMontre());
    }

    // Enter in the code box moves to the quantity box, which loads the article and selects
    // the "0" just written.
    void entreeDansLeCode() {
        OngletGenCodes o;
        QVERIFY(o.demarrer());
        QVERIFY(o.montrer());
        QLineEdit* code = o.w("CodeArticle");
        code->setFocus(Qt::MouseFocusReason);
        QTRY_VERIFY(code->hasFocus());
        QTest::keyClicks(code, "art000042");
        QTest::keyClick(code, Qt::Key_Return);
        QTRY_VERIFY(o.w("NombreArticles")->hasFocus());
        QCOMPARE(o.texte("Libelle"), QStringLiteral("Robe d'été "));
        QCOMPARE(o.w("NombreArticles")->selectedText(), QStringLiteral("0"));
        QVERIFY(o.horsEdition());
    }

    // Entering a box selects its whole text, so that typing replaces it.
    void selectionAuFocus_data() {
        QTest::addColumn<QString>("boite");
        for (const char* b : {"CodeArticle", "aimprimer", "couleur", "Libelle", "NombreArticles",
                              "prixdeventettc", "prixhaht", "taille", "tauxtvaha", "tauxtvavente"})
            QTest::newRow(b) << QString(b);
    }
    void selectionAuFocus() {
        QFETCH(QString, boite);
        OngletGenCodes o;
        QVERIFY(o.demarrer());
        cliquerLigne(o, 0);
        QVERIFY(o.montrer());
        o.w("recherche")->setFocus();
        QLineEdit* b = o.w(boite);
        b->setText("abc");
        b->deselect();
        b->setFocus(Qt::MouseFocusReason);
        QTRY_COMPARE(b->selectedText(), QStringLiteral("abc"));
    }

    void messagesDeValidation_data() {
        QTest::addColumn<QString>("libelle");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("message");
        const QString nom = "Attention, il est nécessaire de donner un nom d'article";
        const QString code = "le code article doit exister ! Merci de le créer...";
        QTest::newRow("libelle vide") << ""
                                      << "ART000099" << nom;
        QTest::newRow("les deux vides") << ""
                                        << "" << nom;
        QTest::newRow("code vide") << "Gilet"
                                   << "" << code;
    }
    void messagesDeValidation() {
        QFETCH(QString, libelle);
        QFETCH(QString, code);
        QFETCH(QString, message);
        OngletGenCodes o;
        QVERIFY(o.demarrer());
        o.w("Libelle")->setText(libelle);
        o.w("CodeArticle")->setText(code);
        o.genCodes->validation_Click();
        QCOMPARE(o.boutique.dialogues.textes(), QStringList{message});
        QCOMPARE(o.boutique.dialogues.boites.first().titre, QStringLiteral("TALMIR_vestimentaire"));
        QCOMPARE(o.boutique.valeur("SELECT count(*) FROM ARTICLES").toInt(), 3);
    }

    // A new article with a new shop code and three pieces.
    void creerUnArticle() {
        OngletGenCodes o;
        QVERIFY(o.demarrer());
        o.genCodes->NouvelArticle_Click();
        QCOMPARE(o.texte("CodeArticle"), QStringLiteral("ART000043"));
        QVERIFY(!o.aImprimerMontre());
        const QList<QPair<QString, QString>> saisie{
            {"Libelle", "Pull"},       {"taille", ""},
            {"couleur", "Rouge"},      {"prixdeventettc", "29,90"},
            {"tauxtvavente", "19.6%"}, {"prixhaht", "12,5"},
            {"tauxtvaha", "19,6"},     {"NombreArticles", "3"}};
        for (const auto& [boite, texte] : saisie)
            o.w(boite)->setText(texte);
        o.genCodes->validation_Click();
        QCOMPARE(o.liste()->count(), 4);
        QCOMPARE(o.liste()->currentRow(), 3);
        QCOMPARE(o.liste()->item(3)->text(), QStringLiteral("ART000043 | Pull\n    Rouge"));
        QCOMPARE(o.texte("CodeArticle"), QStringLiteral("ART000043"));
        QCOMPARE(o.texte("Libelle"), QStringLiteral("Pull "));
        QCOMPARE(o.legende("totalarticle"), QStringLiteral("stock : 3"));
        QCOMPARE(o.texte("aimprimer"), QStringLiteral("3"));
        QVERIFY(o.aImprimerMontre());
        QVERIFY(o.horsEdition());
        QCOMPARE(champArticle(o.boutique, "nbraimprimer", "ART000043").toInt(), 3);
        // The inventory tab shows the article as written, before its pieces were added.
        QCOMPARE(o.legende("InventaireNomArticle"), QStringLiteral("Pull "));
        QCOMPARE(o.legende("InventaireTotalStock"), QStringLiteral("0"));
        QCOMPARE(
            o.legende("inventaireInfos").split("\r\n"),
            (QStringList{"TVA : 19,6 % ", "Prix TTC : 29,90 €", "taille :  ", "Couleur : Rouge ",
                         "Fournisseur : ", "TVA HA : 19,6 % ", "Prix HT HA : 12,50 €", ""}));
    }

    // The new code is taken by another till before this form is saved: the form is refused,
    // keeps what was typed, and the next new code is free.
    void codePrisAilleurs() {
        OngletGenCodes o;
        QVERIFY(o.demarrer());
        o.genCodes->NouvelArticle_Click();
        QCOMPARE(o.texte("CodeArticle"), QStringLiteral("ART000043"));
        QVERIFY(o.boutique.sql("INSERT INTO ARTICLES (CodeArticle, libelle) VALUES ('ART000043', "
                               "'Jupe ')"));
        o.w("Libelle")->setText("Pull");
        o.w("NombreArticles")->setText("3");
        o.boutique.dialogues.reponses = {Dialogues::Reponse::Ok};
        o.genCodes->validation_Click();
        QVERIFY2(o.boutique.dialogues.textes().value(0).contains("vient d'être donné"),
                 qPrintable(o.boutique.dialogues.textes().join('\n')));
        QCOMPARE(champArticle(o.boutique, "libelle", "ART000043").toString(),
                 QStringLiteral("Jupe "));
        QCOMPARE(o.texte("Libelle"), QStringLiteral("Pull"));
        o.genCodes->NouvelArticle_Click();
        QCOMPARE(o.texte("CodeArticle"), QStringLiteral("ART000044"));
        o.genCodes->validation_Click();
        QCOMPARE(champArticle(o.boutique, "libelle", "ART000044").toString(),
                 QStringLiteral("Pull "));
    }

    // A save the database refuses (another program holds it, disk full, read-only) shows why
    // and changes nothing on screen: no entry for an article that is not stored, the form kept
    // for another try.
    void enregistrementRefuse_data() {
        QTest::addColumn<bool>("nouveau");
        QTest::addColumn<bool>("verrou");
        QTest::addColumn<QString>("raison");
        for (bool nouveau : {true, false}) {
            const char* article = nouveau ? "nouveau code" : "article connu";
            QTest::addRow("%s, base verrouillee", article)
                << nouveau << true
                << "la base de données <base> est occupée par un autre programme";
            QTest::addRow("%s, disque plein", article) << nouveau << false << "disque plein";
        }
    }
    void enregistrementRefuse() {
        QFETCH(bool, nouveau);
        QFETCH(bool, verrou);
        QFETCH(QString, raison);
        OngletGenCodes o;
        QVERIFY(o.demarrer());
        raison.replace(QStringLiteral("<base>"), o.boutique.installation().baseParDefaut());
        if (nouveau)
            o.genCodes->NouvelArticle_Click();
        else
            cliquerLigne(o, 0);
        o.w("Libelle")->setText("Pull");
        o.w("prixdeventettc")->setText("29,90");
        o.w("NombreArticles")->setText("2");
        o.genCodes->modifierDonnees();
        VerrouExterne autreProgramme;
        if (verrou) {
            QVERIFY(autreProgramme.prendre(o.boutique));
        } else {
            QVERIFY(o.boutique.sql("CREATE TRIGGER plein BEFORE INSERT ON ARTICLES BEGIN SELECT "
                                   "RAISE(ABORT, 'disque plein'); END"));
            QVERIFY(o.boutique.sql("CREATE TRIGGER plein2 BEFORE UPDATE ON ARTICLES BEGIN SELECT "
                                   "RAISE(ABORT, 'disque plein'); END"));
        }
        const QString code = o.texte("CodeArticle");
        o.genCodes->validation_Click();
        QCOMPARE(o.boutique.dialogues.boites.size(), 1);
        const auto& boite = o.boutique.dialogues.boites.first();
        QVERIFY2(boite.texte.startsWith(
                     QStringLiteral("L'article « %1 » n'a pas été enregistré").arg(code)) &&
                     boite.texte.contains(raison),
                 qPrintable(boite.texte));
        QCOMPARE(o.liste()->count(), 3);
        QCOMPARE(o.texte("CodeArticle"), code);
        QCOMPARE(o.texte("Libelle"), QStringLiteral("Pull"));
        QVERIFY(o.enEdition());
        QCOMPARE(o.legende("InventaireNomArticle"), QStringLiteral("Article"));
        QCOMPARE(o.boutique.valeur("SELECT count(*) FROM ARTICLES").toInt(), 3);
        QCOMPARE(champArticle(o.boutique, "EnStock", "ART000012").toDouble(), 3.0);
    }

    // What is typed is stored as the next load can show it back, and saving that again
    // changes nothing.
    void allerRetour_data() {
        QTest::addColumn<QString>("boite");
        QTest::addColumn<QString>("saisi");
        QTest::addColumn<QString>("colonne");
        QTest::addColumn<QString>("stocke");
        QTest::addColumn<QString>("montre");
        QTest::newRow("prix en euros") << "prixdeventettc"
                                       << "12,50 €"
                                       << "PrixVenteTTC"
                                       << "12.5"
                                       << "12,5";
        QTest::newRow("prix negatif") << "prixhaht"
                                      << "-3"
                                      << "PrixHAHT"
                                      << "-3"
                                      << "-3";
        QTest::newRow("prix vide") << "prixhaht"
                                   << ""
                                   << "PrixHAHT"
                                   << "0"
                                   << "0";
        QTest::newRow("taux") << "tauxtvavente"
                              << "5,5 %"
                              << "tauxTVAvente"
                              << "5.5"
                              << "5,5";
        QTest::newRow("guillemets") << "Libelle"
                                    << "L'été \"chic\""
                                    << "libelle"
                                    << "L'été \"chic\" "
                                    << "L'été \"chic\" ";
        QTest::newRow("fournisseur") << "fourn"
                                     << "O'Neil"
                                     << "fournisseur"
                                     << "O'Neil"
                                     << "O'Neil";
    }
    void allerRetour() {
        QFETCH(QString, boite);
        QFETCH(QString, saisi);
        QFETCH(QString, colonne);
        QFETCH(QString, stocke);
        QFETCH(QString, montre);
        OngletGenCodes o;
        QVERIFY(o.demarrer());
        o.genCodes->NouvelArticle_Click();
        o.w("Libelle")->setText("Gilet");
        ecrire(o.w<QWidget>(boite), saisi);
        o.genCodes->validation_Click();
        QCOMPARE(champArticle(o.boutique, colonne, "ART000043").toString(), stocke);
        QCOMPARE(texte(o.w<QWidget>(boite)), montre);
        o.genCodes->modifierDonnees();
        o.genCodes->validation_Click();
        QCOMPARE(champArticle(o.boutique, colonne, "ART000043").toString(), stocke);
        QCOMPARE(o.boutique.valeur("SELECT count(*) FROM ARTICLES").toInt(), 4);
    }

    // Restocking a loaded article adds to its stock and sets its label count from the box.
    void reassort() {
        OngletGenCodes o;
        QVERIFY(o.demarrer());
        cliquerLigne(o, 0);
        o.w("NombreArticles")->setText("2");
        o.w("aimprimer")->setText("0");
        o.genCodes->validation_Click();
        QCOMPARE(champArticle(o.boutique, "EnStock", "ART000012").toDouble(), 5.0);
        QCOMPARE(champArticle(o.boutique, "nbraimprimer", "ART000012").toInt(), 0);
        QCOMPARE(o.liste()->count(), 3);
        QCOMPARE(o.legende("totalarticle"), QStringLiteral("stock : 5"));
        QCOMPARE(o.legende("InventaireTotalStock"), QStringLiteral("3"));
    }

    // Saving a loaded article under an unknown code creates that article with the label
    // count shown; the new article joins the list and the form shows it.
    void codeRemplace() {
        OngletGenCodes o;
        QVERIFY(o.demarrer());
        cliquerLigne(o, 0);
        o.w("CodeArticle")->setText("ART000099");
        o.genCodes->CodeArticle_LostFocus();
        o.genCodes->validation_Click();
        QCOMPARE(champArticle(o.boutique, "nbraimprimer", "ART000099").toInt(), 2);
        QCOMPARE(champArticle(o.boutique, "libelle", "ART000099"), QVariant("Pull "));
        QCOMPARE(o.liste()->count(), 4);
        QCOMPARE(o.liste()->currentItem()->text(),
                 QStringLiteral("ART000099 | Pull\n    M · Rouge"));
        QCOMPARE(o.texte("CodeArticle"), QStringLiteral("ART000099"));
        QCOMPARE(o.legende("totalarticle"), QStringLiteral("stock : 0"));
    }

    // A code holding the entries' separator is still read whole from its entry.
    void codeAvecSeparateur() {
        OngletGenCodes o;
        QVERIFY(o.demarrer());
        QVERIFY(ajouterArticle(o.boutique, {.code = "A", .libelle = "Autre "}));
        o.genCodes->NouvelArticle_Click();
        o.w("CodeArticle")->setText("A|B");
        o.w("Libelle")->setText("Gilet");
        o.genCodes->validation_Click();
        QCOMPARE(o.texte("CodeArticle"), QStringLiteral("A|B"));
        o.boutique.dialogues.reponses << Dialogues::Reponse::Oui;
        o.genCodes->supprimer_Click();
        QCOMPARE(o.boutique.dialogues.textes().last(),
                 QStringLiteral("Etes-vous sûr de vouloir supprimer A|B  ?"));
        QVERIFY(!champArticle(o.boutique, "libelle", "A|B").isValid());
        QCOMPARE(champArticle(o.boutique, "libelle", "A"), QVariant("Autre "));
    }

    // Enter in the search box searches; the splash shows the progress.
    void recherche() {
        OngletGenCodes o;
        QVERIFY(o.demarrer({{.code = "ART000012", .libelle = "Pull "},
                            {.code = "ART000020", .libelle = "PULL COL V ", .stock = 0},
                            {.code = "ART000030", .libelle = "Pull offert ", .prix = 0},
                            {.code = "ART000042", .libelle = "Robe d'été "}}));
        QCOMPARE(o.liste()->count(), 3);
        const int montrees = o.boutique.progression.montree;
        o.w("recherche")->setText("pull");
        QTest::keyClick(o.w("recherche"), Qt::Key_Return);
        QCOMPARE(o.liste()->count(), 2);
        QCOMPARE(o.liste()->item(0)->text(), QStringLiteral("ART000012 | Pull\n    M · Rouge"));
        QCOMPARE(o.liste()->item(1)->text(),
                 QStringLiteral("ART000020 | PULL COL V\n    M · Rouge"));
        QCOMPARE(o.legende("nombrereponses"), QStringLiteral("2"));
        QCOMPARE(o.boutique.progression.montree, montrees + 1);
        QCOMPARE(o.boutique.progression.dernier, (QPair<qint64, qint64>(2, 2)));
        QVERIFY(!o.boutique.progression.visible);
        // "Rech sans condition" brings back the articles in stock only.
        o.w<QPushButton>("rechager")->click();
        QCOMPARE(o.liste()->count(), 3);
        QCOMPARE(o.liste()->item(1)->text(),
                 QStringLiteral("ART000030 | Pull offert\n    M · Rouge"));
        QCOMPARE(o.legende("nombrereponses"), QStringLiteral("3"));
        QVERIFY(o.boutique.dialogues.boites.isEmpty());
    }

    void trop() {
        OngletGenCodes o;
        QVERIFY(o.demarrer({}));
        QVERIFY(ajouterChaussettes(o.boutique, 10000));
        o.w("recherche")->setText("chaussette");
        o.genCodes->gorecherche_Click();
        QCOMPARE(o.boutique.dialogues.textes(),
                 QStringList{"Trop d'articles répondent à la question"});
        QCOMPARE(o.liste()->count(), 0);
        QCOMPARE(o.legende("nombrereponses"), QStringLiteral("10000"));
        QVERIFY(!o.boutique.progression.visible);
    }

    void supprimer_data() {
        QTest::addColumn<int>("rang");
        QTest::addColumn<bool>("oui");
        QTest::addColumn<QString>("question");
        QTest::addColumn<int>("restants");
        QTest::newRow("oui") << 0 << true << "Etes-vous sûr de vouloir supprimer ART000012  ?" << 2;
        QTest::newRow("non") << 0 << false << "Etes-vous sûr de vouloir supprimer ART000012  ?"
                             << 3;
        QTest::newRow("sans selection")
            << -1 << true << "Etes-vous sûr de vouloir supprimer  ?" << 3;
    }
    // The article's entry leaves the list with it.
    void supprimer() {
        QFETCH(int, rang);
        QFETCH(bool, oui);
        QFETCH(QString, question);
        QFETCH(int, restants);
        OngletGenCodes o;
        QVERIFY(o.demarrer());
        QVERIFY(ajouterArticle(o.boutique, {.code = "", .libelle = "Sans code "}));
        cliquerLigne(o, rang);
        o.boutique.dialogues.reponses << (oui ? Dialogues::Reponse::Oui : Dialogues::Reponse::Non);
        o.w<QPushButton>("supprimer")->click();
        QCOMPARE(o.boutique.dialogues.textes(), QStringList{question});
        const auto& boite = o.boutique.dialogues.boites.first();
        QCOMPARE(boite.boutons, Dialogues::Boutons::OuiNon);
        QCOMPARE(boite.parDefaut, Dialogues::Reponse::Non);
        QCOMPARE(boite.titre, QStringLiteral("TALMIR_vestimentaire"));
        QCOMPARE(o.boutique.valeur("SELECT count(*) FROM ARTICLES WHERE CodeArticle <> ''").toInt(),
                 restants);
        QCOMPARE(o.boutique.valeur("SELECT count(*) FROM ARTICLES WHERE CodeArticle = ''").toInt(),
                 1);
        QCOMPARE(o.liste()->count(), restants);
    }

    // On a database that refuses the delete, Oui says why and deletes nothing.
    void suppressionRefusee() {
        OngletGenCodes o;
        QVERIFY(o.demarrer());
        QVERIFY(o.boutique.sql("CREATE TRIGGER lecture_seule BEFORE DELETE ON ARTICLES BEGIN "
                               "SELECT RAISE(ABORT, 'base en lecture seule'); END"));
        cliquerLigne(o, 0);
        o.boutique.dialogues.reponses << Dialogues::Reponse::Oui;
        o.w<QPushButton>("supprimer")->click();
        QCOMPARE(o.boutique.dialogues.boites.size(), 2);
        const QString texte = o.boutique.dialogues.boites[1].texte;
        QVERIFY2(texte.startsWith("L'article « ART000012 » n'a pas été supprimé") &&
                     texte.contains("base en lecture seule"),
                 qPrintable(texte));
        QCOMPARE(o.boutique.valeur("SELECT count(*) FROM ARTICLES").toInt(), 3);
    }

    // A list that cannot be read is the end of the program.
    void echecDeLecture_data() {
        QTest::addColumn<QString>("bouton");
        QTest::newRow("recherche") << "gorecherche";
        QTest::newRow("sans condition") << "rechager";
    }
    void echecDeLecture() {
        QFETCH(QString, bouton);
        OngletGenCodes o;
        QVERIFY(o.demarrer());
        o.boutique.bdd.fermer();
        o.w<QPushButton>(bouton)->click();
        QCOMPARE(o.boutique.dialogues.textes(),
                 QStringList{"problème d'ouverture de la table ARTICLES\n\nla base de données "
                             "n'est pas ouverte."});
        QCOMPARE(o.boutique.fin.appels, 1);
        QVERIFY(!o.boutique.progression.visible);
    }

    void echecAuDemarrage() {
        BoutiqueTest b(BoutiqueTest::Base::Aucune);
        GenCodesTab tab(b.services());
        QVERIFY(!tab.chargerArticles());
        QCOMPARE(b.dialogues.textes(),
                 QStringList{"problème d'ouverture de la table ARTICLES\n\nla base de données "
                             "n'est pas ouverte."});
        QCOMPARE(b.fin.appels, 0); // the start-up ends the program itself
        QVERIFY(!b.progression.visible);
    }

    // The first showing of the tab puts the focus in the list: that chooses no entry and loads
    // no article.
    void premierAffichage() {
        OngletGenCodes o;
        QVERIFY(o.demarrer());
        QVERIFY(o.montrer(0));
        o.onglets.currentWidget()->setFocus();
        QTRY_VERIFY(o.onglets.currentWidget()->hasFocus());
        o.onglets.setCurrentIndex(1);
        QTRY_VERIFY(o.liste()->hasFocus());
        QCOMPARE(o.texte("CodeArticle"), QString());
        QCOMPARE(o.texte("Libelle"), QString());
        QVERIFY(o.liste()->selectedItems().isEmpty());
        // The first arrow key chooses an entry, which loads.
        QTest::keyClick(o.liste(), Qt::Key_Down);
        QVERIFY(!o.texte("CodeArticle").isEmpty());
        QCOMPARE(o.texte("CodeArticle"), o.liste()->selectedItems().value(0)->text().left(9));
    }

    // A deleted article leaves the list and the form, so that nothing offers to save it again;
    // its code is never given to another article.
    void suppressionVideLeFormulaire() {
        OngletGenCodes o;
        QVERIFY(o.demarrer({{.code = "ART000012"}, {.code = "ART000041"}, {.code = "ART000042"}}));
        cliquerLigne(o, 2);
        o.boutique.dialogues.reponses << Dialogues::Reponse::Oui;
        o.w<QPushButton>("supprimer")->click();
        QCOMPARE(o.liste()->count(), 2);
        for (int i = 0; i < o.liste()->count(); ++i)
            QVERIFY(!o.liste()->item(i)->text().startsWith("ART000042"));
        for (const char* boite : {"CodeArticle", "Libelle", "prixdeventettc", "prixhaht"})
            QCOMPARE(o.texte(boite), QString());
        QCOMPARE(o.legende("totalarticle"), QString());
        QVERIFY(!o.aImprimerMontre());
        QVERIFY(o.horsEdition());
        o.genCodes->validation_Click();
        QCOMPARE(o.boutique.dialogues.textes().last(),
                 QStringLiteral("Attention, il est nécessaire de donner un nom d'article"));
        QVERIFY(!champArticle(o.boutique, "libelle", "ART000042").isValid());
        o.genCodes->NouvelArticle_Click();
        QCOMPARE(o.texte("CodeArticle"), QStringLiteral("ART000043"));
    }

    // A settings file that cannot keep the deleted code: the article is not deleted.
    void suppressionSansReglages() {
        OngletGenCodes o;
        QVERIFY(o.demarrer());
        QVERIFY(QDir(o.boutique.dossier()).mkdir("TALMIR_vestimentaire.ini"));
        cliquerLigne(o, 2);
        o.boutique.dialogues.reponses << Dialogues::Reponse::Oui;
        o.w<QPushButton>("supprimer")->click();
        QCOMPARE(o.boutique.dialogues.boites.size(), 2);
        QVERIFY2(o.boutique.dialogues.boites[1].texte.startsWith(
                     "L'article « ART000042 » n'a pas été supprimé : le fichier de réglages"),
                 qPrintable(o.boutique.dialogues.boites[1].texte));
        QCOMPARE(o.boutique.valeur("SELECT count(*) FROM ARTICLES").toInt(), 3);
        QCOMPARE(o.liste()->count(), 3);
    }

    // A new code starts from the article shown, without its stock; "A imprimer" goes with its
    // caption.
    void nouveauCodeSansStock() {
        OngletGenCodes o;
        QVERIFY(o.demarrer());
        cliquerLigne(o, 0);
        QCOMPARE(o.legende("totalarticle"), QStringLiteral("stock : 3"));
        QVERIFY(!o.w<QLabel>("Label13")->isHidden());
        o.genCodes->NouvelArticle_Click();
        QCOMPARE(o.legende("totalarticle"), QString());
        QCOMPARE(o.texte("Libelle"), QStringLiteral("Pull "));
        QVERIFY(!o.aImprimerMontre());
        QVERIFY(o.w<QLabel>("Label13")->isHidden());
        o.genCodes->validation_Click();
        QVERIFY(o.aImprimerMontre());
        QVERIFY(!o.w<QLabel>("Label13")->isHidden());
    }

    // In the narrow list, each entry shows its size and colour on a line of their own, in view.
    void entreesLisibles() {
        OngletGenCodes o;
        QVERIFY(o.demarrer({{.code = "ART000021",
                             .libelle = "Pull col rond ",
                             .taille = "XXL ",
                             .couleur = "Bleu marine "},
                            {.code = "ART000022",
                             .libelle = "Pull col rond ",
                             .taille = "XXL ",
                             .couleur = "Gris chiné "}}));
        QVERIFY(o.montrer());
        const QFontMetrics m(o.liste()->font());
        for (int i = 0; i < o.liste()->count(); ++i) {
            const QListWidgetItem* entree = o.liste()->item(i);
            const QString details = entree->text().section(u'\n', 1);
            QVERIFY2(m.horizontalAdvance(details) <= o.liste()->viewport()->width(),
                     qPrintable(details));
            QVERIFY(o.liste()->visualItemRect(entree).height() >= 2 * m.lineSpacing());
        }
        QCOMPARE(o.liste()->item(1)->text().section(u'\n', 1).trimmed(),
                 QStringLiteral("XXL · Gris chiné"));
    }

    // A new list is shown from its top, whatever part of the last one was in view.
    void listeVueDuHaut() {
        OngletGenCodes o;
        QVERIFY(o.demarrer({}));
        QVERIFY(ajouterChaussettes(o.boutique, 300));
        QVERIFY(o.genCodes->chargerArticles());
        QVERIFY(o.montrer());
        QScrollBar* barre = o.liste()->verticalScrollBar();
        QTRY_VERIFY(barre->maximum() > 0);
        barre->setValue(barre->maximum());
        o.w("recherche")->setText("chaussette");
        o.genCodes->gorecherche_Click();
        QCOMPARE(o.liste()->count(), 300);
        QTRY_VERIFY(barre->maximum() > 0);
        QCOMPARE(barre->value(), 0);
        QCOMPARE(o.liste()->indexAt(QPoint(2, 2)).row(), 0);
    }

    void fournisseurs() {
        OngletGenCodes o;
        QVERIFY(o.demarrer());
        o.genCodes->chargerFournisseurs();
        auto* f = o.w<QComboBox>("fourn");
        QCOMPARE(f->count(), 2);
        QCOMPARE(f->itemText(0), QString()); // the articles without a supplier
        QCOMPARE(f->itemText(1), QStringLiteral("Maison Dupont"));
        QCOMPARE(f->currentText(), QString());
    }
};

TALMIR_TEST(TestGenCodesTab)
#include "tst_gencodestab.moc"
