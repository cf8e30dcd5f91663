#include "common/montant.h"
#include "database/adresseserveur.h"
#include "database/creation.h"
#include "database/database.h"
#include "fiscal/clefiscale.h"
#include "fiscal/evenements.h"
#include "support/serveurpostgres.h"
#include "support/testmain.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

// The demo shop (and the large one, made by the same code) is the same shop whichever engine
// holds it: same rows, same exact amounts, same ticket numbers, and the numbering goes on after
// them. creer_base makes it signed on both, with the till's key. Each test runs once per engine;
// the file's demo shop made at the start is the reference.
class TestRemplissage : public QObject {
    Q_OBJECT

    QTemporaryDir dossier_;
    std::unique_ptr<ServeurPostgres> serveur_;
    QString sansServeur_; // why the server's rows are skipped
    int bases_ = 0;
    QStringList reference_; // the rows of the file's demo shop, see lignes()

    // Where a new shop goes on the engine of the row: a file's path, or the address of a new
    // empty database of the cluster.
    QString nouvelEmplacement() {
        QFETCH_GLOBAL(QString, moteur);
        if (moteur == QStringLiteral("fichier"))
            return dossier_.filePath(QStringLiteral("boutique%1.db").arg(++bases_));
        const QString base = QStringLiteral("boutique%1").arg(++bases_);
        if (!serveur_->creerBase(base))
            qWarning("%s", qPrintable(serveur_->erreur()));
        return AdresseServeur{serveur_->dossierSocket(), ServeurPostgres::kPort, base,
                              ServeurPostgres::utilisateur()}
            .texte();
    }
    static QVariant valeur(const Database& bdd, const QString& texte) {
        QSqlQuery q(bdd.connexion());
        const Resultat<> r = executer(q, texte);
        if (!r)
            qWarning("%s", qPrintable(r.raison()));
        return r && q.next() ? q.value(0) : QVariant();
    }
    static qint64 compte(const Database& bdd, const QString& texte) {
        return valeur(bdd, texte).toLongLong();
    }
    static QString montant(const QVariant& v) {
        return v.isNull() ? QStringLiteral("nul")
                          : QString::number(Montant::depuisVariant(v).dixMilliemes());
    }
    static QString nombre(const QVariant& v) {
        return v.isNull() ? QStringLiteral("nul") : QString::number(v.toDouble());
    }
    // Every row of the shop as text, amounts as ten-thousandths, in table order; the dates,
    // taken from the clock of the making, are left out.
    static QStringList lignes(const Database& bdd) {
        QStringList lignes;
        QSqlQuery q(bdd.connexion());
        q.setForwardOnly(true);
        const auto lire = [&](const QString& table, const QString& sql,
                              const QList<QString (*)(const QVariant&)>& formes) {
            if (Resultat<> r = executer(q, sql); !r) {
                qWarning("%s", qPrintable(r.raison()));
                lignes << QStringLiteral("illisible : ") + table;
                return;
            }
            while (q.next()) {
                QStringList champs{table};
                for (int c = 0; c < formes.size(); ++c)
                    champs << formes[c](q.value(c));
                lignes << champs.join(u'|');
            }
        };
        const auto texte = [](const QVariant& v) {
            return v.isNull() ? QStringLiteral("nul") : v.toString();
        };
        lire(QStringLiteral("F"),
             QStringLiteral("SELECT codefournisseur, nom, adresse, telephone FROM FOURNISSEURS "
                            "ORDER BY rowid"),
             {texte, texte, texte, texte});
        lire(QStringLiteral("A"),
             QStringLiteral("SELECT rowid, CodeArticle, libelle, taille, couleur, PrixVenteTTC, "
                            "tauxTVAvente, PrixHAHT, tauxTVAHA, fournisseur, EnStock, "
                            "nbraimprimer FROM ARTICLES ORDER BY rowid"),
             {texte, texte, texte, texte, texte, montant, nombre, montant, nombre, texte, nombre,
              texte});
        lire(QStringLiteral("V"),
             QStringLiteral("SELECT Id, NumeroTicket, CodeArticle, PrixVenteTTC, TVA, qt, "
                            "TauxTVA FROM VENTES ORDER BY Id"),
             {texte, texte, texte, montant, montant, nombre, nombre});
        lire(QStringLiteral("T"),
             QStringLiteral("SELECT NumeroTicket, TotalTTC, TicketClos, caisse, vendeur FROM "
                            "TICKETS ORDER BY NumeroTicket"),
             {texte, montant, texte, texte, texte});
        return lignes;
    }
    // The creer_base tool run to its end: its exit code, its error output in `erreurs`.
    static int creerBase(const QStringList& arguments, QString* erreurs) {
        const QString outil = QStringLiteral(TALMIR_BIN_DIR "/creer_base");
        if (!QFile::exists(outil)) {
            *erreurs = outil + QStringLiteral(" n'est pas construit");
            return -1;
        }
        QProcess p;
        p.start(outil, arguments);
        if (!p.waitForFinished(120000))
            return -1;
        *erreurs = QString::fromUtf8(p.readAllStandardError());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }

  private slots:
    void initTestCase() {
        {
            const QString chemin = dossier_.filePath(QStringLiteral("reference.db"));
            const Resultat<> r = creation::creerDemo(chemin);
            QVERIFY2(r, qPrintable(r.raison()));
            Database bdd;
            QVERIFY(bdd.ouvrir(chemin));
            reference_ = lignes(bdd);
        }
        sansServeur_ = ServeurPostgres::manque();
        if (!sansServeur_.isEmpty())
            return;
        serveur_ = std::make_unique<ServeurPostgres>();
        if (!serveur_->demarrer()) {
            sansServeur_ = serveur_->erreur();
            serveur_.reset();
        }
    }
    void initTestCase_data() {
        QTest::addColumn<QString>("moteur");
        QTest::newRow("fichier") << QStringLiteral("fichier");
        QTest::newRow("serveur") << QStringLiteral("serveur");
    }
    void init() {
        QFETCH_GLOBAL(QString, moteur);
        if (moteur == QStringLiteral("serveur") && !serveur_)
            QSKIP(qPrintable(QStringLiteral("pas de grappe PostgreSQL : ") + sansServeur_));
    }

    // The demo shop holds the reference's rows, counts and exact sums; a ticket opened after it
    // takes the number after its last, as on the file.
    void demoPareille() {
        const QString chemin = nouvelEmplacement();
        const Resultat<> cree = creation::creerDemo(chemin);
        QVERIFY2(cree, qPrintable(cree.raison()));
        Database bdd;
        QVERIFY(bdd.ouvrir(chemin));
        QCOMPARE(compte(bdd, QStringLiteral("SELECT count(*) FROM ARTICLES")), 300);
        QCOMPARE(compte(bdd, QStringLiteral("SELECT count(*) FROM FOURNISSEURS")), 5);
        QCOMPARE(compte(bdd, QStringLiteral("SELECT count(*) FROM TICKETS WHERE TicketClos <> 0")),
                 45);
        QCOMPARE(compte(bdd, QStringLiteral("SELECT count(*) FROM VENTES")), 163);
        // Sums of amounts no double can hold exactly; each ticket's payment balances its sales.
        QCOMPARE(Montant::depuisVariant(valeur(bdd, QStringLiteral("SELECT sum(TotalTTC) FROM "
                                                                   "TICKETS"))),
                 Montant::depuisCentimes(816861));
        QCOMPARE(Montant::depuisVariant(valeur(bdd, QStringLiteral("SELECT sum(PrixHAHT) FROM "
                                                                   "ARTICLES"))),
                 Montant::depuisCentimes(679035));
        QCOMPARE(
            Montant::depuisVariant(valeur(bdd, QStringLiteral("SELECT sum(PrixVenteTTC) FROM "
                                                              "VENTES WHERE TauxTVA IS NOT NULL"))),
            Montant::depuisCentimes(816861));
        QCOMPARE(lignes(bdd), reference_);
        // The dates of the tickets follow their numbers.
        QCOMPARE(compte(bdd, QStringLiteral("SELECT count(*) FROM TICKETS A JOIN TICKETS B ON "
                                            "B.NumeroTicket = A.NumeroTicket + 1 WHERE B.Date < "
                                            "A.Date")),
                 0);

        const qint64 dernier = compte(bdd, QStringLiteral("SELECT max(NumeroTicket) FROM TICKETS"));
        QCOMPARE(dernier, 45);
        QSqlQuery q(bdd.connexion());
        QVERIFY(executer(q, QStringLiteral("INSERT INTO TICKETS (Date, TicketClos) VALUES (?, 0)"),
                         {QStringLiteral("2026-12-11 10:00:00")}));
        QCOMPARE(compte(bdd, QStringLiteral("SELECT max(NumeroTicket) FROM TICKETS")), dernier + 1);
    }

    // A fill that fails midway (a second fill meets the first one's closed tickets) leaves the
    // shop as it was: none of its rows stay, not even those written before the failure.
    void remplissageToutOuRien() {
        const QString chemin = nouvelEmplacement();
        const Resultat<> cree = creation::creerDemo(chemin);
        QVERIFY2(cree, qPrintable(cree.raison()));
        QVERIFY(!creation::remplirDemo(chemin));
        Database bdd;
        QVERIFY(bdd.ouvrir(chemin));
        QCOMPARE(lignes(bdd), reference_);
    }

    // creer_base signs the filled shop with the till's key, in the folder --cle names (beside the
    // file when none is named); on a server, which has no folder, a filled shop without --cle
    // is refused before anything is made.
    void outilEtCle_data() {
        QTest::addColumn<bool>("avecCle");
        QTest::newRow("--cle") << true;
        QTest::newRow("sans --cle") << false;
    }
    void outilEtCle() {
        QFETCH_GLOBAL(QString, moteur);
        QFETCH(bool, avecCle);
        const bool serveur = moteur == QStringLiteral("serveur");
        const QString chemin = nouvelEmplacement();
        QTemporaryDir caisse;
        QStringList arguments{QStringLiteral("--demo")};
        if (avecCle)
            arguments << QStringLiteral("--cle") << caisse.path();
        QString erreurs;
        const int code = creerBase(arguments << chemin, &erreurs);
        const QString dossierCle = avecCle ? caisse.path() : QFileInfo(chemin).absolutePath();
        if (serveur && !avecCle) {
            QCOMPARE(code, 2);
            QVERIFY2(erreurs.contains(QStringLiteral("--cle DOSSIER")), qPrintable(erreurs));
            Database bdd;
            QVERIFY(!bdd.ouvrir(chemin)); // no shop was made
            return;
        }
        QVERIFY2(code == 0, qPrintable(erreurs));
        QVERIFY(QFile::exists(QDir(dossierCle).filePath(CleFiscale::fichierPrive())));
        Database bdd;
        QVERIFY(bdd.ouvrir(chemin));
        const qint64 clos =
            compte(bdd, QStringLiteral("SELECT count(*) FROM TICKETS WHERE TicketClos <> 0"));
        QCOMPARE(clos, 45);
        QCOMPARE(compte(bdd, QStringLiteral("SELECT count(*) FROM TICKETS WHERE Signature IS NOT "
                                            "NULL AND TicketClos <> 0")),
                 clos);
        QCOMPARE(compte(bdd, QStringLiteral("SELECT max(Chainage) FROM TICKETS")), clos);
        QSqlQuery q(bdd.connexion());
        QVERIFY(executer(q, QStringLiteral("SELECT count(*) FROM EVENEMENTS WHERE Genre = ?"),
                         {evenements::scellement()}) &&
                q.next());
        QCOMPARE(q.value(0).toInt(), 1);
    }
};

TALMIR_TEST(TestRemplissage)
#include "tst_remplissage.moc"
