#include "labels/etiquettestest.h"
#include "labels/tirageetiquettes.h"
#include "printing/image.h"
#include "printing/surface.h"
#include "support/testmain.h"
#include "support/testsupport.h"

#include <QFile>
#include <QtTest>

using namespace etiquettestest;

namespace {
const QString question = QStringLiteral("Est-ce que les Etiquettes sont correctement imprimées ?");

// A preview page of 210 x 297 mm at the screen's usual resolution.
std::unique_ptr<Surface> page() {
    return std::make_unique<Surface>(210 / 25.4 * 96, 297 / 25.4 * 96, 96);
}

// Stops the run after a given number of sheets.
class ArretApres : public SuiviTirage {
  public:
    explicit ArretApres(qint64 feuilles) : feuilles_(feuilles) {}
    bool continuer(qint64 faites, qint64 total) override {
        appels << QPair<qint64, qint64>(faites, total);
        return faites < feuilles_;
    }
    QList<QPair<qint64, qint64>> appels;

  private:
    qint64 feuilles_;
};

QStringList feuilles(const ImprimantesTest& imprimantes) {
    QStringList r;
    for (const ImprimantesTest::Travail& t : imprimantes.travaux)
        r << placements(*t.surface);
    return r;
}
} // namespace

// The label run on the printer and on the preview page: where the labels go, which sheets
// are printed, what a confirmed run records.
class TestTirageEtiquettes : public QObject {
    Q_OBJECT
  private slots:
    void feuillesImprimees_data() {
        QTest::addColumn<QString>("sautees");
        QTest::addColumn<QString>("articles");
        QTest::addColumn<QStringList>("attendues");
        QTest::addColumn<QString>("stocke");
        QTest::newRow("trois copies") << "0"
                                      << "A*3" << QStringList{"0-2:A"} << " 3";
        QTest::newRow("suite sur la feuille suivante")
            << "34"
            << "A*5" << QStringList{"34-35:A", "0-2:A"} << " 3";
        QTest::newRow("quarante copies") << "0"
                                         << "A*40" << QStringList{"0-35:A", "0-3:A"} << " 4";
        QTest::newRow("derniere position 35") << "31"
                                              << "A*5" << QStringList{"31-35:A"} << " 0";
        QTest::newRow("feuille entiere") << "0"
                                         << "A*36" << QStringList{"0-35:A"} << " 0";
        QTest::newRow("36 comme 0") << "36"
                                    << "A*1" << QStringList{"0:A"} << " 1";
        QTest::newRow("negatif comme 0") << "-5"
                                         << "A*1" << QStringList{"0:A"} << " 1";
        QTest::newRow("40 comme 4") << "40"
                                    << "A*1" << QStringList{"4:A"} << " 5";
        QTest::newRow("lettres comme 0") << "abc"
                                         << "A*1" << QStringList{"0:A"} << " 1";
        QTest::newRow("enorme comme 0") << "123456789012345678901234567890"
                                        << "A*1" << QStringList{"0:A"} << " 1";
        QTest::newRow("ordre des codes") << "0"
                                         << "A2*1 A1*2" << QStringList{"0-1:A1 2:A2"} << " 3";
        QTest::newRow("articles a cheval")
            << "33"
            << "B*2 C*3 A*1" << QStringList{"33:A 34-35:B", "0-2:C"} << " 3";
        QTest::newRow("rien a imprimer") << "40"
                                         << "" << QStringList{} << " 4";
    }
    void feuillesImprimees() {
        QFETCH(QString, sautees);
        QFETCH(QStringList, attendues);
        QFETCH(QString, articles);
        QFETCH(QString, stocke);
        BoutiqueTest b;
        QVERIFY(b.ouvrir());
        QVERIFY(ajouterTous(b, articles));
        reglerSautees(b, sautees);
        b.dialogues.reponses = {Dialogues::Reponse::Oui};
        Image images;
        const BilanTirage bilan = TirageEtiquettes(b.services()).imprimer(b.imprimantes, images);
        for (QString& f : attendues)
            f = etendre(f);
        // One print job a sheet, each on A4 paper and ended.
        QCOMPARE(feuilles(b.imprimantes), attendues);
        for (const ImprimantesTest::Travail& t : b.imprimantes.travaux) {
            QVERIFY(t.termine);
            QCOMPARE(t.format, FormatPapier::A4);
            QCOMPARE(t.surface->nombrePages(), 1);
        }
        QCOMPARE(bilan.feuilles, qint64(attendues.size()));
        // The question comes even when nothing was printed; Yes records the position reached.
        QCOMPARE(b.dialogues.textes(), QStringList{question});
        QCOMPARE(b.dialogues.boites[0].boutons, Dialogues::Boutons::OuiNon);
        QCOMPARE(b.dialogues.boites[0].titre, QStringLiteral("TALMIR_vestimentaire"));
        QVERIFY(bilan.enregistre);
        QCOMPARE(ligneSautees(b), QStringLiteral("etiquettes sautees=") + stocke);
        QCOMPARE(b.valeur("select count(*) from ARTICLES where nbraimprimer <> 0").toInt(), 0);
    }

    void ouiRemetToutesLesQuantitesAZero() {
        BoutiqueTest b;
        QVERIFY(b.ouvrir());
        QVERIFY(ajouterTous(b, "A*2 B*1"));
        QVERIFY(ajouter(b, "C", -3)); // never printed, cleared all the same
        b.dialogues.reponses = {Dialogues::Reponse::Oui};
        Image images;
        TirageEtiquettes(b.services()).imprimer(b.imprimantes, images);
        QCOMPARE(b.valeur("select group_concat(nbraimprimer) from ARTICLES").toString(),
                 QStringLiteral("0,0,0"));
        QCOMPARE(ligneSautees(b), QStringLiteral("etiquettes sautees= 3"));
    }

    // Labels asked for on another till while the sheets print stay to print once the run is
    // confirmed; only those printed are taken off.
    void demandeesPendantLeTirage() {
        BoutiqueTest b;
        QVERIFY(b.ouvrir());
        QVERIFY(ajouterTous(b, "A*40 B*1"));
        QVERIFY(ajouter(b, "C", 0));
        b.dialogues.reponses = {Dialogues::Reponse::Oui};
        class AutreCaisse : public SuiviTirage {
          public:
            explicit AutreCaisse(BoutiqueTest& b) : b(b) {}
            bool continuer(qint64 faites, qint64) override {
                if (faites == 1)
                    ok = b.sql("update ARTICLES set nbraimprimer = nbraimprimer + 5 where "
                               "CodeArticle in ('A', 'C')");
                return true;
            }
            BoutiqueTest& b;
            bool ok = false;
        } autre(b);
        TirageEtiquettes tirage(b.services());
        tirage.setSuivi(&autre);
        Image images;
        const BilanTirage bilan = tirage.imprimer(b.imprimantes, images);
        QVERIFY(autre.ok);
        QCOMPARE(bilan.etiquettes, 41);
        QVERIFY(bilan.enregistre);
        QCOMPARE(b.valeur("select group_concat(nbraimprimer) from (select nbraimprimer from "
                          "ARTICLES order by CodeArticle)")
                     .toString(),
                 QStringLiteral("5,0,5"));
    }

    void nonNEnregistreRien() {
        BoutiqueTest b;
        QVERIFY(b.ouvrir());
        QVERIFY(ajouterTous(b, "A*5"));
        reglerSautees(b, "34");
        b.dialogues.reponses = {Dialogues::Reponse::Non};
        Image images;
        const BilanTirage bilan = TirageEtiquettes(b.services()).imprimer(b.imprimantes, images);
        QCOMPARE(b.imprimantes.travaux.size(), 2);
        QVERIFY(!bilan.enregistre);
        QCOMPARE(b.valeur("select nbraimprimer from ARTICLES").toInt(), 5);
        QCOMPARE(ligneSautees(b), QStringLiteral("etiquettes sautees=34"));
        // The same run can be made again, to the same places.
        b.dialogues.reponses = {Dialogues::Reponse::Oui};
        TirageEtiquettes(b.services()).imprimer(b.imprimantes, images);
        QCOMPARE(feuilles(b.imprimantes).mid(2), feuilles(b.imprimantes).mid(0, 2));
    }

    void remiseAZeroRefusee() {
        BoutiqueTest b;
        QVERIFY(b.ouvrir());
        QVERIFY(ajouterTous(b, "A*2"));
        QVERIFY(b.sql("create trigger refus before update on ARTICLES "
                      "begin select raise(abort, 'base en lecture seule'); end"));
        b.dialogues.reponses = {Dialogues::Reponse::Oui};
        Image images;
        TirageEtiquettes(b.services()).imprimer(b.imprimantes, images);
        // The operator is told; the sheet in the printer is used all the same.
        QCOMPARE(b.dialogues.boites.size(), 2);
        QVERIFY(b.dialogues.boites[1].texte.contains("base en lecture seule"));
        QCOMPARE(b.valeur("select nbraimprimer from ARTICLES").toInt(), 2);
        QCOMPARE(ligneSautees(b), QStringLiteral("etiquettes sautees= 2"));
    }

    void imprimanteDisparue() {
        BoutiqueTest b;
        QVERIFY(b.ouvrir());
        QVERIFY(ajouterTous(b, "A*40"));
        reglerSautees(b, "3");
        b.imprimantes.enPanne = true;
        Image images;
        const BilanTirage bilan = TirageEtiquettes(b.services()).imprimer(b.imprimantes, images);
        QCOMPARE(bilan.fin, BilanTirage::Fin::ErreurImprimante);
        // Told at the first sheet; not asked whether the labels came out right.
        QCOMPARE(b.imprimantes.travaux.size(), 1);
        QCOMPARE(b.dialogues.boites.size(), 1);
        QVERIFY(b.dialogues.boites[0].texte.contains("l'imprimante ne répond pas"));
        QVERIFY(!b.dialogues.textes().contains(question));
        QCOMPARE(b.valeur("select nbraimprimer from ARTICLES").toInt(), 40);
        QCOMPARE(ligneSautees(b), QStringLiteral("etiquettes sautees=3"));
    }

    void panneEnCoursDeTirage_data() {
        QTest::addColumn<Dialogues::Reponse>("reponse");
        QTest::addColumn<int>("reste");
        QTest::addColumn<QString>("sautees");
        QTest::newRow("Oui: les feuilles imprimees sont enregistrees")
            << Dialogues::Reponse::Oui << 30 << "etiquettes sautees= 0";
        QTest::newRow("Non: rien n'est enregistre")
            << Dialogues::Reponse::Non << 100 << "etiquettes sautees=2";
    }
    void panneEnCoursDeTirage() {
        // The printer goes away at the third sheet: the two sheets printed are the operator's
        // to confirm, as after "Arrêter"; the labels of the third stay to print.
        QFETCH(Dialogues::Reponse, reponse);
        QFETCH(int, reste);
        QFETCH(QString, sautees);
        BoutiqueTest b;
        QVERIFY(b.ouvrir());
        QVERIFY(ajouterTous(b, "A*100"));
        reglerSautees(b, "2");
        b.dialogues.reponses = {Dialogues::Reponse::Ok, reponse};
        class PanneApres : public SuiviTirage {
          public:
            explicit PanneApres(ImprimantesTest& i) : imprimantes(i) {}
            bool continuer(qint64 faites, qint64) override {
                imprimantes.enPanne = faites == 2;
                return true;
            }
            ImprimantesTest& imprimantes;
        } panne(b.imprimantes);
        TirageEtiquettes tirage(b.services());
        tirage.setSuivi(&panne);
        Image images;
        const BilanTirage bilan = tirage.imprimer(b.imprimantes, images);
        QCOMPARE(bilan.fin, BilanTirage::Fin::ErreurImprimante);
        QCOMPARE(bilan.feuilles, 2);
        QCOMPARE(bilan.etiquettes, 70);
        QCOMPARE(b.dialogues.textes(),
                 (QStringList{"L'impression des étiquettes s'est arrêtée à la feuille 3 "
                              "(l'imprimante ne répond pas).\nLes 2 feuilles précédentes ont été "
                              "envoyées à l'imprimante ; les étiquettes des feuilles suivantes "
                              "restent à imprimer.",
                              question}));
        QCOMPARE(bilan.enregistre, reponse == Dialogues::Reponse::Oui);
        QCOMPARE(b.valeur("select nbraimprimer from ARTICLES").toInt(), reste);
        QCOMPARE(ligneSautees(b), sautees);
    }

    void plusDeCinquanteFeuillesRefusees() {
        BoutiqueTest b;
        QVERIFY(b.ouvrir());
        QVERIFY(ajouterTous(b, "A*1000000 B*3"));
        b.dialogues.reponses = {Dialogues::Reponse::Non};
        Image images;
        const BilanTirage bilan = TirageEtiquettes(b.services()).imprimer(b.imprimantes, images);
        QCOMPARE(bilan.fin, BilanTirage::Fin::Refuse);
        QCOMPARE(b.dialogues.boites.size(), 1);
        QCOMPARE(b.dialogues.boites[0].texte,
                 QStringLiteral("Il y a 1000003 étiquettes à imprimer, soit 27778 feuilles.\n"
                                "Voulez-vous lancer l'impression de toutes ces feuilles ?"));
        QCOMPARE(b.dialogues.boites[0].parDefaut, Dialogues::Reponse::Non);
        QVERIFY(b.imprimantes.travaux.isEmpty());
        QCOMPARE(b.valeur("select sum(nbraimprimer) from ARTICLES").toLongLong(), 1000003);
    }

    void cinquanteFeuillesSansQuestion() {
        BoutiqueTest b;
        QVERIFY(b.ouvrir());
        QVERIFY(ajouterTous(b, "A*1800"));
        b.dialogues.reponses = {Dialogues::Reponse::Non};
        Image images;
        TirageEtiquettes(b.services()).imprimer(b.imprimantes, images);
        QCOMPARE(b.imprimantes.travaux.size(), 50);
        QCOMPARE(b.dialogues.textes(), QStringList{question});
    }

    void interrompuNEnregistreQueLImprime() {
        BoutiqueTest b;
        QVERIFY(b.ouvrir());
        QVERIFY(ajouterTous(b, "A*30 B*10 C*1000000"));
        reglerSautees(b, "2");
        b.dialogues.reponses = {Dialogues::Reponse::Oui, Dialogues::Reponse::Oui};
        ArretApres arret(2);
        TirageEtiquettes tirage(b.services());
        tirage.setSuivi(&arret);
        Image images;
        const BilanTirage bilan = tirage.imprimer(b.imprimantes, images);
        QCOMPARE(bilan.fin, BilanTirage::Fin::Interrompu);
        QCOMPARE(b.imprimantes.travaux.size(), 2);
        QCOMPARE(arret.appels.last(), (QPair<qint64, qint64>(2, 27779)));
        // Sheet 1: A at 2-31, B at 32-35; sheet 2: 6 of B, then 30 of C.
        QCOMPARE(feuilles(b.imprimantes),
                 (QStringList{etendre("2-31:A 32-35:B"), etendre("0-5:B 6-35:C")}));
        QVERIFY(bilan.enregistre);
        QCOMPARE(b.valeur("select group_concat(nbraimprimer) from (select nbraimprimer from "
                          "ARTICLES order by CodeArticle)")
                     .toString(),
                 QStringLiteral("0,0,999970"));
        QCOMPARE(ligneSautees(b), QStringLiteral("etiquettes sautees= 0"));
    }

    void apercuPremiereFeuilleSeulement() {
        BoutiqueTest b;
        QVERIFY(b.ouvrir());
        QVERIFY(ajouterTous(b, "A*5 B*1000000"));
        reglerSautees(b, "34");
        auto fond = page();
        Image images;
        const BilanTirage bilan = TirageEtiquettes(b.services()).imprimer(*fond, images);
        QCOMPARE(placements(*fond), etendre("34-35:A"));
        QCOMPARE(bilan.etiquettes, qint64(2));
        // Nothing asked, nothing printed, nothing recorded.
        QVERIFY(b.dialogues.boites.isEmpty());
        QVERIFY(b.imprimantes.travaux.isEmpty());
        QCOMPARE(b.valeur("select nbraimprimer from ARTICLES where CodeArticle='A'").toInt(), 5);
        QCOMPARE(ligneSautees(b), QStringLiteral("etiquettes sautees=34"));
        // A new preview clears the page first.
        QVERIFY(b.sql("update ARTICLES set nbraimprimer=0 where CodeArticle='A'"));
        TirageEtiquettes(b.services()).imprimer(*fond, images);
        QCOMPARE(placements(*fond), etendre("34-35:B"));
        QVERIFY(b.sql("update ARTICLES set nbraimprimer=0"));
        TirageEtiquettes(b.services()).imprimer(*fond, images);
        QVERIFY(fond->textes().isEmpty());
    }

    void quantitesBizarres() {
        BoutiqueTest b;
        QVERIFY(b.ouvrir());
        QVERIFY(ajouter(b, "A", 0));
        QVERIFY(b.sql("insert into ARTICLES (CodeArticle, nbraimprimer) values ('B', 2.6), "
                      "('C', 'beaucoup'), ('D', 0.2), ('E', 1e300)"));
        auto fond = page();
        Image images;
        TirageEtiquettes(b.services()).imprimer(*fond, images);
        // 2.6 labels are 3; a text or a fraction below one half is none; a huge count fills
        // the sheet.
        QCOMPARE(placements(*fond), etendre("0-2:B 3-35:E"));
    }

    void baseFermee() {
        BoutiqueTest b;
        reglerSautees(b, "7");
        Image images;
        const BilanTirage bilan = TirageEtiquettes(b.services()).imprimer(b.imprimantes, images);
        QCOMPARE(bilan.fin, BilanTirage::Fin::ErreurLecture);
        QCOMPARE(b.dialogues.boites.size(), 1);
        QVERIFY(b.dialogues.boites[0].texte.startsWith(
            "Les articles à étiqueter n'ont pas pu être lus"));
        QVERIFY(b.imprimantes.travaux.isEmpty());
        QCOMPARE(ligneSautees(b), QStringLiteral("etiquettes sautees=7"));
    }
};

TALMIR_TEST(TestTirageEtiquettes)
#include "tst_tirageetiquettes.moc"
