#include "printing/surface.h"
#include "printing/systeme/imprimantessysteme.h"
#include "support/testmain.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

namespace {
// What a PDF file holds that the tests look at: its pages and their sizes in points.
struct Pdf {
    int pages = 0;
    QList<QSizeF> tailles;
};

Pdf lirePdf(const QString& chemin) {
    QFile f(chemin);
    Pdf pdf;
    if (!f.open(QIODevice::ReadOnly))
        return pdf;
    const QByteArray octets = f.readAll();
    const QString texte = QString::fromLatin1(octets);
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?!s)"));
    static const QRegularExpression boite(
        QStringLiteral("/MediaBox\\s*\\[\\s*0\\s+0\\s+([0-9.]+)\\s+([0-9.]+)\\s*\\]"));
    pdf.pages = int(texte.count(page));
    for (auto it = boite.globalMatch(texte); it.hasNext();) {
        const auto m = it.next();
        pdf.tailles.append(QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()));
    }
    return pdf;
}

constexpr double pointsParMm = 72.0 / 25.4;

ImprimantesSysteme::SourceSysteme systeme(QStringList noms, QString defaut) {
    return [noms, defaut] { return ImprimantesSysteme::Systeme{noms, defaut}; };
}
} // namespace

class ImprimantesSystemeTest : public QObject {
    Q_OBJECT

    // Set in the private mount namespace where the shop folder's "Impressions" is read-only.
    static constexpr const char* kVariableLectureSeule = "TALMIR_IMPRESSIONS_LECTURE_SEULE";

    // A job ending in a shop folder whose "Impressions" cannot be written into fails, with the
    // system's reason, and leaves no file.
    void refuseDansLeDossier(const QString& dossier) {
        ImprimantesSysteme imprimantes(dossier, systeme({}, {}));
        auto travail = imprimantes.commencer(FormatPapier::A4);
        travail->surface().Print(QStringLiteral("Journal"));
        const Resultat<> r = travail->EndDoc();
        QVERIFY(!r);
        QVERIFY(!r.raison().isEmpty());
        QVERIFY(fichiers(dossier).isEmpty());
    }

    QStringList fichiers(const QString& dossier) const {
        return QDir(QDir(dossier).filePath(QStringLiteral("Impressions")))
            .entryList({QStringLiteral("*.pdf")}, QDir::Files, QDir::Name);
    }

  private slots:
    void listeEtImprimanteParDefaut() {
        ImprimantesSysteme avec(QDir::tempPath(),
                                systeme({QStringLiteral("Caisse"), QStringLiteral("Bureau A4")},
                                        QStringLiteral("Bureau A4")));
        QCOMPARE(avec.imprimantes(),
                 (QStringList{QStringLiteral("Caisse"), QStringLiteral("Bureau A4"),
                              QStringLiteral("Imprimante PDF")}));
        QCOMPARE(avec.imprimanteParDefaut(), QStringLiteral("Bureau A4"));
        QCOMPARE(avec.imprimanteCourante(), QStringLiteral("Bureau A4"));

        ImprimantesSysteme sans(QDir::tempPath(), systeme({}, {}));
        QCOMPARE(sans.imprimantes(), QStringList{QStringLiteral("Imprimante PDF")});
        QCOMPARE(sans.imprimanteParDefaut(), QStringLiteral("Imprimante PDF"));
        QCOMPARE(sans.imprimanteCourante(), QStringLiteral("Imprimante PDF"));
    }

    void SelectPrinter_data() {
        QTest::addColumn<QString>("nom");
        QTest::addColumn<QString>("courante");
        QTest::newRow("exact") << "Caisse"
                               << "Caisse";
        QTest::newRow("virtuelle") << "Imprimante PDF"
                                   << "Imprimante PDF";
        QTest::newRow("casse differente") << "bureau a4"
                                          << "Bureau A4";
        QTest::newRow("blanc en trop") << "Caisse "
                                       << "Bureau A4";
        QTest::newRow("inconnue") << "Imprimante du fond"
                                  << "Bureau A4";
        QTest::newRow("vide") << ""
                              << "Bureau A4";
    }
    void SelectPrinter() {
        QFETCH(QString, nom);
        QFETCH(QString, courante);
        ImprimantesSysteme imprimantes(
            QDir::tempPath(), systeme({QStringLiteral("Caisse"), QStringLiteral("Bureau A4")},
                                      QStringLiteral("Bureau A4")));
        imprimantes.SelectPrinter(nom);
        QCOMPARE(imprimantes.imprimanteCourante(), courante);
    }

    void travailPdfA4() {
        QTemporaryDir dossier;
        ImprimantesSysteme imprimantes(dossier.path(), systeme({}, {}));
        auto travail = imprimantes.commencer(FormatPapier::A4);
        Surface& s = travail->surface();
        QVERIFY(s.estImprimante());
        s.setScaleMode(Surface::Echelle::Millimetres);
        QCOMPARE(qRound(s.ScaleWidth()), 210);
        QCOMPARE(qRound(s.ScaleHeight()), 297);
        s.Print(QStringLiteral("Feuille 1"));
        s.NouvellePage();
        s.Print(QStringLiteral("Feuille 2"));
        s.NouvellePage(); // a new page left blank at the end is not sent
        const Resultat<> envoi = travail->EndDoc();
        QVERIFY2(envoi, qPrintable(envoi.raison()));
        const QStringList pdf = fichiers(dossier.path());
        QCOMPARE(pdf.size(), 1);
        const Pdf lu = lirePdf(dossier.filePath(QStringLiteral("Impressions/") + pdf.first()));
        QCOMPARE(lu.pages, 2);
        for (const QSizeF& t : lu.tailles) {
            QCOMPARE(qRound(t.width() / pointsParMm), 210);
            QCOMPARE(qRound(t.height() / pointsParMm), 297);
        }
    }

    void ticketAussiLongQueLeDessin() {
        QTemporaryDir dossier;
        ImprimantesSysteme imprimantes(dossier.path(), systeme({}, {}));
        auto travail = imprimantes.commencer(FormatPapier::Ticket);
        Surface& s = travail->surface();
        QCOMPARE(qRound(s.ScaleWidth() * 25.4 / 1440), 80);
        for (int i = 0; i < 30; ++i)
            s.Print(QStringLiteral("Ligne %1").arg(i));
        s.setScaleMode(Surface::Echelle::Millimetres);
        const double longueur = s.basDessin();
        QVERIFY(longueur > 40);
        QVERIFY(travail->EndDoc());
        const QStringList pdf = fichiers(dossier.path());
        QCOMPARE(pdf.size(), 1);
        const Pdf lu = lirePdf(dossier.filePath(QStringLiteral("Impressions/") + pdf.first()));
        QCOMPARE(lu.pages, 1);
        QCOMPARE(lu.tailles.size(), 1);
        QCOMPARE(qRound(lu.tailles[0].width() / pointsParMm), 80);
        const double hauteurMm = lu.tailles[0].height() / pointsParMm;
        QVERIFY2(hauteurMm > longueur && hauteurMm < longueur + 10,
                 qPrintable(QStringLiteral("%1 mm pour %2 mm").arg(hauteurMm).arg(longueur)));
    }

    void nomsDansLOrdreDesImpressions() {
        QTemporaryDir dossier;
        ImprimantesSysteme imprimantes(dossier.path(), systeme({}, {}));
        QStringList ordre;
        for (int i = 0; i < 4; ++i) {
            const QStringList avant = fichiers(dossier.path());
            auto travail = imprimantes.commencer(FormatPapier::Ticket);
            travail->surface().Print(QStringLiteral("Ticket %1").arg(i));
            QVERIFY(travail->EndDoc());
            QStringList apres = fichiers(dossier.path());
            for (const QString& n : avant)
                apres.removeOne(n);
            QCOMPARE(apres.size(), 1);
            QVERIFY(QRegularExpression(
                        QStringLiteral("^\\d{4}-\\d\\d-\\d\\d_\\d\\d-\\d\\d-\\d\\d_\\d{3}\\.pdf$"))
                        .match(apres.first())
                        .hasMatch());
            ordre << apres.first();
        }
        QStringList trie = ordre;
        trie.sort();
        QCOMPARE(trie, ordre);
    }

    void travailVideNeSortRien() {
        QTemporaryDir dossier;
        ImprimantesSysteme imprimantes(dossier.path(), systeme({}, {}));
        auto travail = imprimantes.commencer(FormatPapier::A4);
        QVERIFY(travail->EndDoc());
        QVERIFY(fichiers(dossier.path()).isEmpty());
    }

    // Sent or refused, a job leaves its surface empty: nothing of it goes out a second time.
    void surfaceVideeApresLeTravail_data() {
        QTest::addColumn<bool>("pdf");
        QTest::addColumn<bool>("envoye");
        QTest::newRow("Imprimante PDF") << true << true;
        QTest::newRow("file disparue") << false << false;
    }
    void surfaceVideeApresLeTravail() {
        QFETCH(bool, pdf);
        QFETCH(bool, envoye);
        QTemporaryDir dossier;
        bool installee = true;
        ImprimantesSysteme imprimantes(dossier.path(), [&installee] {
            return ImprimantesSysteme::Systeme{
                installee ? QStringList{QStringLiteral("Caisse TM-T20")} : QStringList{}, {}};
        });
        imprimantes.SelectPrinter(pdf ? ImprimantesSysteme::nomImprimantePdf()
                                      : QStringLiteral("Caisse TM-T20"));
        auto travail = imprimantes.commencer(FormatPapier::A4);
        travail->surface().Print(QStringLiteral("Journal"));
        travail->surface().NouvellePage();
        travail->surface().Print(QStringLiteral("page 2"));
        installee = false;
        QCOMPARE(travail->EndDoc().ok(), envoye);
        QCOMPARE(travail->surface().nombrePages(), 1);
        QVERIFY(travail->surface().pageVide(0));
        QVERIFY(travail->EndDoc());
        QCOMPARE(fichiers(dossier.path()).size(), envoye ? 1 : 0);
    }

    void dossierImpossibleAEcrire() {
        QTemporaryDir dossier;
        // A file where the folder should be: even root cannot write into it.
        QFile gene(dossier.filePath(QStringLiteral("Impressions")));
        QVERIFY(gene.open(QIODevice::WriteOnly));
        gene.close();
        ImprimantesSysteme imprimantes(dossier.path(), systeme({}, {}));
        auto travail = imprimantes.commencer(FormatPapier::Ticket);
        travail->surface().Print(QStringLiteral("Ticket"));
        const Resultat<> r = travail->EndDoc();
        QVERIFY(!r);
        QVERIFY(r.raison().contains(QStringLiteral("Impressions")));
    }

    // A folder the program may not write into. Permissions do not stop root: as root, the
    // folder is mounted read-only in a private mount namespace, where this test runs again.
    void dossierEnLectureSeule() {
        const QString monte = qEnvironmentVariable(kVariableLectureSeule);
        if (!monte.isEmpty()) {
            refuseDansLeDossier(monte); // inside the namespace
            return;
        }
        QTemporaryDir dossier;
        const QString impressions = dossier.filePath(QStringLiteral("Impressions"));
        QVERIFY(QDir().mkpath(impressions));
        if (geteuid() != 0) {
            QVERIFY(QFile::setPermissions(impressions, QFile::ReadOwner | QFile::ExeOwner));
            refuseDansLeDossier(dossier.path());
            QFile::setPermissions(impressions,
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            return;
        }
        const QString unshare = QStandardPaths::findExecutable(QStringLiteral("unshare"));
        if (unshare.isEmpty())
            QSKIP("root sans unshare : le dossier en lecture seule n'est pas vérifié");
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(kVariableLectureSeule, dossier.path());
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(unshare,
                {QStringLiteral("--mount"), QStringLiteral("--propagation"),
                 QStringLiteral("private"), QStringLiteral("sh"), QStringLiteral("-c"),
                 QStringLiteral("mount --bind \"$1\" \"$1\" && "
                                "mount -o remount,bind,ro \"$1\" \"$1\" && "
                                "echo espace-monte && exec \"$2\" \"$3\" \"$4\""),
                 QStringLiteral("sh"), impressions, QCoreApplication::applicationFilePath(),
                 QString::fromLatin1(metaObject()->className()),
                 QString::fromLatin1(QTest::currentTestFunction())});
        QVERIFY(p.waitForFinished(-1));
        const QByteArray sortie = p.readAll();
        if (!sortie.contains("espace-monte"))
            QSKIP(qPrintable(QStringLiteral("root sans montage privé en lecture seule (unshare "
                                            "--mount) : le dossier n'est pas vérifié. ") +
                             QString::fromLocal8Bit(sortie)));
        QVERIFY2(p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0, sortie.constData());
    }

    void imprimanteDisparue() {
        // Listed when selected, gone from the system when the job ends.
        QTemporaryDir dossier;
        bool installee = true;
        ImprimantesSysteme imprimantes(dossier.path(), [&installee] {
            return ImprimantesSysteme::Systeme{
                installee ? QStringList{QStringLiteral("Caisse TM-T20")} : QStringList{}, {}};
        });
        imprimantes.SelectPrinter(QStringLiteral("Caisse TM-T20"));
        QCOMPARE(imprimantes.imprimanteCourante(), QStringLiteral("Caisse TM-T20"));
        auto travail = imprimantes.commencer(FormatPapier::Ticket);
        travail->surface().Print(QStringLiteral("Ticket"));
        installee = false;
        const Resultat<> r = travail->EndDoc();
        QVERIFY(!r);
        QCOMPARE(r.raison(), QStringLiteral("l'imprimante « Caisse TM-T20 » n'est plus installée"));
        QVERIFY(fichiers(dossier.path()).isEmpty());
    }
};

TALMIR_TEST(ImprimantesSystemeTest)
#include "tst_imprimantes.moc"
