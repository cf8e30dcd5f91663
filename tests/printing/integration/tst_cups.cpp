#include "printing/surface.h"
#include "printing/systeme/imprimantessysteme.h"
#include "support/testmain.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

// Real printing through CUPS: a cupsd of the test's own, with a queue "Caisse-Test" whose
// cups-pdf backend writes each job as a PDF file into a temporary folder.
//
// The server keeps everything in a temporary folder (configuration, spool, logs, its socket)
// and listens on that socket only. cups-pdf reads its settings from /etc/cups/cups-pdf.conf
// whatever the server: the server runs in a mount namespace of its own where the test's
// settings are laid over that file, so the machine's own file is never written. The machine's
// CUPS and its queues are never spoken to: every command names the private socket, and Qt's
// print support is sent to it by CUPS_SERVER.
namespace {
const QString nomFile = QStringLiteral("Caisse-Test");
const QString confCupsPdfSysteme = QStringLiteral("/etc/cups/cups-pdf.conf");
constexpr int delaiCommandeMs = 10000;
constexpr int delaiDemarrageMs = 10000;
// A job goes through the filters and Ghostscript: a tenth of a second here, bounded anyway.
constexpr int delaiTravailMs = 15000;
constexpr double mmParPoint = 25.4 / 72;
constexpr int longueurSocketMaxi = 100;

struct Sortie {
    bool ok = false;
    QString texte;
};

Sortie lancer(const QString& programme, const QStringList& arguments,
              int delaiMs = delaiCommandeMs) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(programme, arguments);
    if (!p.waitForStarted(delaiMs))
        return {false, QStringLiteral("%1 ne démarre pas : %2").arg(programme, p.errorString())};
    if (!p.waitForFinished(delaiMs)) {
        p.kill();
        p.waitForFinished(1000);
        return {false, QStringLiteral("%1 ne répond pas en %2 ms").arg(programme).arg(delaiMs)};
    }
    const QString texte = QString::fromUtf8(p.readAll());
    return {p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0, texte};
}

QString trouver(const QString& programme) {
    const QString dansPath = QStandardPaths::findExecutable(programme);
    if (!dansPath.isEmpty())
        return dansPath;
    return QStandardPaths::findExecutable(
        programme,
        {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin"), QStringLiteral("/usr/local/sbin")});
}

QString premierExistant(const QStringList& chemins) {
    for (const QString& c : chemins)
        if (QFileInfo::exists(c))
            return c;
    return {};
}

bool ecrire(const QString& chemin, const QString& texte) {
    QFile f(chemin);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           f.write(texte.toUtf8()) == texte.toUtf8().size() && f.flush();
}

QString lire(const QString& chemin) {
    QFile f(chemin);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// libcups keeps the server of its first call in each thread; cupsSetServer(NULL) makes it read
// CUPS_SERVER again at the next call (the library is the one Qt's print support has loaded).
void oublierServeurCups() {
    using Fonction = void (*)(const char*);
    auto fonction =
        reinterpret_cast<Fonction>(QLibrary::resolve(QStringLiteral("cups"), 2, "cupsSetServer"));
    if (fonction)
        fonction(nullptr);
}

// What pdfinfo says of a file: its pages and their sizes in millimetres, as shown, and its
// whole answer.
struct InfoPdf {
    int pages = 0;
    QList<QSizeF> taillesMm;
    QString texte;
};

InfoPdf infoPdf(const QString& pdfinfo, const QString& fichier) {
    const Sortie s = lancer(pdfinfo, {QStringLiteral("-f"), QStringLiteral("1"),
                                      QStringLiteral("-l"), QStringLiteral("100"), fichier});
    InfoPdf info;
    info.texte = s.texte;
    static const QRegularExpression pages(QStringLiteral("^Pages:\\s+(\\d+)"),
                                          QRegularExpression::MultilineOption);
    static const QRegularExpression taille(
        QStringLiteral("^Page\\s+\\d+\\s+size:\\s+([0-9.]+)\\s+x\\s+([0-9.]+)\\s+pts"),
        QRegularExpression::MultilineOption);
    static const QRegularExpression rotation(QStringLiteral("^Page\\s+\\d+\\s+rot:\\s+(\\d+)"),
                                             QRegularExpression::MultilineOption);
    if (const auto m = pages.match(s.texte); m.hasMatch())
        info.pages = m.captured(1).toInt();
    auto r = rotation.globalMatch(s.texte);
    for (auto it = taille.globalMatch(s.texte); it.hasNext();) {
        const auto m = it.next();
        QSizeF mm(m.captured(1).toDouble() * mmParPoint, m.captured(2).toDouble() * mmParPoint);
        // A page turned a quarter is shown (and read) the other way round.
        if (r.hasNext() && r.next().captured(1).toInt() % 180 == 90)
            mm.transpose();
        info.taillesMm.append(mm);
    }
    return info;
}
} // namespace

class CupsTest : public QObject {
    Q_OBJECT

    QTemporaryDir dossier_;
    QProcess cupsd_;
    QString socket_;
    QString lpstat_;
    QString cupsreject_;
    QString cupsaccept_;
    QString pdfinfo_;
    QString pdftotext_;
    QByteArray serveurAvant_;
    bool avaitServeur_ = false;
    bool serveurPose_ = false;

    QString chemin(const QString& nom) const { return dossier_.filePath(nom); }
    QString sortie() const { return chemin(QStringLiteral("sortie")); }

    QString journaux() const {
        QString texte = lire(chemin(QStringLiteral("journaux/error_log"))).right(3000);
        const QStringList cupsPdf = QDir(chemin(QStringLiteral("journaux")))
                                        .entryList({QStringLiteral("cups-pdf-*")}, QDir::Files);
        for (const QString& f : cupsPdf)
            texte += lire(chemin(QStringLiteral("journaux/") + f)).right(2000);
        return texte;
    }

    QStringList fichiersSortis() const {
        return QDir(sortie()).entryList({QStringLiteral("*.pdf")}, QDir::Files, QDir::Name);
    }

    // Whether the private server answers and every job sent to it has ended.
    bool toutFini() const {
        const Sortie s = lancer(lpstat_, {QStringLiteral("-h"), socket_, QStringLiteral("-o")});
        return s.ok && s.texte.trimmed().isEmpty();
    }

    // Waits (bounded) until every job has ended, then gives the files written since `avant`.
    QStringList nouveauxFichiers(const QStringList& avant) {
        if (!QTest::qWaitFor([&] { return cupsd_.state() != QProcess::Running || toutFini(); },
                             delaiTravailMs))
            qWarning("Des travaux ne sont pas finis après %d ms", delaiTravailMs);
        QStringList apres = fichiersSortis();
        for (const QString& n : avant)
            apres.removeOne(n);
        return apres;
    }

    // What the server and cups-pdf say, for a failure's message.
    QString diagnostic() const {
        return QStringLiteral("Travaux en cours :\n%1\nJournaux :\n%2")
            .arg(lancer(lpstat_, {QStringLiteral("-h"), socket_, QStringLiteral("-o")}).texte,
                 journaux());
    }

    // The one file a job wrote, or "" (with the reason in the test's log).
    QString fichierDuTravail(const QStringList& avant) {
        const QStringList nouveaux = nouveauxFichiers(avant);
        if (nouveaux.size() == 1)
            return QDir(sortie()).filePath(nouveaux.first());
        qWarning().noquote() << nouveaux.size() << "fichier(s) :" << nouveaux.join(u", ") << "\n"
                             << diagnostic();
        return {};
    }

    // A job ended and the file cups-pdf wrote for it.
    struct Imprime {
        QString pdf; // "" when the job failed or no file came
        QString raison;
        InfoPdf info;
    };
    Imprime terminer(TravailImpression& travail) {
        Imprime fait;
        const QStringList avant = fichiersSortis();
        if (Resultat<> r = travail.EndDoc(); !r) {
            fait.raison =
                r.raison().isEmpty() ? QStringLiteral("EndDoc a échoué sans raison") : r.raison();
            return fait;
        }
        fait.pdf = fichierDuTravail(avant);
        if (fait.pdf.isEmpty())
            fait.raison = QStringLiteral("cups-pdf n'a pas écrit un fichier pour le travail");
        else
            fait.info = infoPdf(pdfinfo_, fait.pdf);
        return fait;
    }

    // The machine's printers (through QPrinterInfo), the test queue made current.
    ImprimantesSysteme caisseTest() const {
        ImprimantesSysteme imprimantes(dossier_.path());
        imprimantes.SelectPrinter(nomFile);
        return imprimantes;
    }

    QString texteDe(const QString& pdf) const {
        return lancer(pdftotext_, {QStringLiteral("-layout"), pdf, QStringLiteral("-")}).texte;
    }

    // Writes the server's files into the temporary folder.
    bool configurer(const QString& serverBin, QString* raison) {
        for (const char* d :
             {"conf", "spool", "spool/tmp", "cache", "etat", "journaux", "sortie", "cups-pdf"})
            if (!QDir().mkpath(chemin(QString::fromLatin1(d)))) {
                *raison = QStringLiteral("dossier %1 impossible à créer")
                              .arg(chemin(QString::fromLatin1(d)));
                return false;
            }
        // The filters run as "lp": they must reach the spool through the temporary folder.
        if (!QFile::setPermissions(dossier_.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                        QFile::ExeOwner | QFile::ReadGroup |
                                                        QFile::ExeGroup | QFile::ReadOther |
                                                        QFile::ExeOther)) {
            *raison = QStringLiteral("droits de %1 impossibles à régler").arg(dossier_.path());
            return false;
        }
        const QString fichiers =
            QStringLiteral("ServerRoot %1\n"
                           "RequestRoot %2\n"
                           "TempDir %3\n"
                           "CacheDir %4\n"
                           "StateDir %5\n"
                           "Printcap %5/printcap\n"
                           "AccessLog %6/access_log\n"
                           "ErrorLog %6/error_log\n"
                           "PageLog %6/page_log\n"
                           "ServerBin %7\n"
                           "User lp\n"
                           "Group lp\n"
                           "SystemGroup root\n"
                           "CreateSelfSignedCerts no\n"
                           "FileDevice No\n")
                .arg(chemin(QStringLiteral("conf")), chemin(QStringLiteral("spool")),
                     chemin(QStringLiteral("spool/tmp")), chemin(QStringLiteral("cache")),
                     chemin(QStringLiteral("etat")), chemin(QStringLiteral("journaux")), serverBin);
        // Only the socket; no browsing, no web pages; a job that fails ends at once; anyone who
        // reaches the socket (root, in a folder only root may write) may do anything.
        const QString cupsd = QStringLiteral("LogLevel info\n"
                                             "Listen %1\n"
                                             "Browsing No\n"
                                             "BrowseLocalProtocols none\n"
                                             "DefaultAuthType None\n"
                                             "WebInterface No\n"
                                             "ErrorPolicy abort-job\n"
                                             "<Location />\n"
                                             "  Order allow,deny\n"
                                             "  Allow all\n"
                                             "</Location>\n"
                                             "<Policy default>\n"
                                             "  JobPrivateAccess all\n"
                                             "  JobPrivateValues none\n"
                                             "  SubscriptionPrivateAccess all\n"
                                             "  SubscriptionPrivateValues none\n"
                                             "  <Limit All>\n"
                                             "    Order deny,allow\n"
                                             "  </Limit>\n"
                                             "</Policy>\n")
                                  .arg(socket_);
        // The job's number after its title, so that two jobs never share a file.
        const QString cupsPdf = QStringLiteral("Out %1\n"
                                               "AnonDirName %1\n"
                                               "Spool %2\n"
                                               "GSTmp %2\n"
                                               "Log %3\n"
                                               "Grp root\n"
                                               "Label 2\n"
                                               "LogType 3\n")
                                    .arg(sortie(), chemin(QStringLiteral("cups-pdf")),
                                         chemin(QStringLiteral("journaux")));
        if (!ecrire(chemin(QStringLiteral("conf/cups-files.conf")), fichiers) ||
            !ecrire(chemin(QStringLiteral("conf/cupsd.conf")), cupsd) ||
            !ecrire(chemin(QStringLiteral("cups-pdf.conf")), cupsPdf)) {
            *raison =
                QStringLiteral("configuration impossible à écrire dans %1").arg(dossier_.path());
            return false;
        }
        return true;
    }

    // Starts cupsd in its own mount namespace, in the foreground, and waits for its socket.
    bool demarrer(const QString& unshare, const QString& cupsd, QString* raison) {
        cupsd_.setProcessChannelMode(QProcess::MergedChannels);
        cupsd_.setStandardOutputFile(chemin(QStringLiteral("journaux/cupsd.txt")));
        // The server leads a process group of its own, stopped whole at the end (its filters
        // and backends with it); it ends with the test program, even if the latter is killed.
        cupsd_.setChildProcessModifier([] {
            ::setsid();
            ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        });
        cupsd_.start(unshare, {QStringLiteral("--mount"), QStringLiteral("--propagation"),
                               QStringLiteral("private"), QStringLiteral("--"),
                               QStringLiteral("/bin/sh"), QStringLiteral("-c"),
                               QStringLiteral("mount --bind \"$1\" \"$2\" && "
                                              "exec \"$3\" -f -c \"$4\" -s \"$5\""),
                               QStringLiteral("sh"), chemin(QStringLiteral("cups-pdf.conf")),
                               confCupsPdfSysteme, cupsd, chemin(QStringLiteral("conf/cupsd.conf")),
                               chemin(QStringLiteral("conf/cups-files.conf"))});
        if (!cupsd_.waitForStarted(delaiCommandeMs)) {
            *raison = cupsd_.errorString();
            return false;
        }
        const bool pret = QTest::qWaitFor(
            [&] {
                return cupsd_.state() != QProcess::Running ||
                       (QFileInfo::exists(socket_) && toutFini());
            },
            delaiDemarrageMs);
        if (pret && cupsd_.state() == QProcess::Running)
            return true;
        if (cupsd_.state() == QProcess::Running)
            *raison = QStringLiteral("pas de réponse sur %1 en %2 ms\n")
                          .arg(socket_)
                          .arg(delaiDemarrageMs);
        *raison += lire(chemin(QStringLiteral("journaux/cupsd.txt"))) + journaux();
        return false;
    }

    void arreter() {
        if (cupsd_.state() == QProcess::NotRunning)
            return;
        const pid_t groupe = pid_t(cupsd_.processId());
        ::kill(-groupe, SIGTERM);
        cupsd_.waitForFinished(delaiCommandeMs);
        // Whatever of the group is left (the server itself if it did not stop).
        ::kill(-groupe, SIGKILL);
        cupsd_.waitForFinished(delaiCommandeMs);
    }

  public:
    ~CupsTest() override { arreter(); }

  private slots:
    void initTestCase() {
        if (geteuid() != 0)
            QSKIP("CUPS réel non essayé : cups-pdf ne tourne que sous un cupsd lancé par root");
        const QString cupsd = trouver(QStringLiteral("cupsd"));
        const QString lpadmin = trouver(QStringLiteral("lpadmin"));
        lpstat_ = trouver(QStringLiteral("lpstat"));
        cupsreject_ = trouver(QStringLiteral("cupsreject"));
        cupsaccept_ = trouver(QStringLiteral("cupsaccept"));
        const QString unshare = trouver(QStringLiteral("unshare"));
        pdfinfo_ = trouver(QStringLiteral("pdfinfo"));
        pdftotext_ = trouver(QStringLiteral("pdftotext"));
        if (cupsd.isEmpty())
            QSKIP("CUPS réel non essayé : cupsd absent (paquet cups)");
        if (lpadmin.isEmpty() || lpstat_.isEmpty() || cupsreject_.isEmpty() ||
            cupsaccept_.isEmpty())
            QSKIP("CUPS réel non essayé : lpadmin, lpstat, cupsreject ou cupsaccept absent "
                  "(paquet cups-client)");
        if (pdfinfo_.isEmpty() || pdftotext_.isEmpty())
            QSKIP("CUPS réel non essayé : pdfinfo ou pdftotext absent (paquet poppler-utils)");
        if (unshare.isEmpty())
            QSKIP("CUPS réel non essayé : unshare absent (paquet util-linux)");
        const QString serverBin =
            premierExistant({QStringLiteral("/usr/lib/cups"), QStringLiteral("/usr/libexec/cups")});
        const QString ppd =
            premierExistant({QStringLiteral("/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd"),
                             QStringLiteral("/usr/share/ppd/cups-pdf/CUPS-PDF_noopt.ppd"),
                             QStringLiteral("/usr/share/cups/model/CUPS-PDF_opt.ppd"),
                             QStringLiteral("/usr/share/cups/model/CUPS-PDF.ppd")});
        if (serverBin.isEmpty() ||
            !QFileInfo::exists(serverBin + QStringLiteral("/backend/cups-pdf")) || ppd.isEmpty() ||
            !QFileInfo::exists(confCupsPdfSysteme))
            QSKIP("CUPS réel non essayé : moteur cups-pdf absent (paquet "
                  "printer-driver-cups-pdf)");
        QVERIFY(dossier_.isValid());
        socket_ = chemin(QStringLiteral("cups.sock"));
        if (socket_.size() > longueurSocketMaxi)
            QSKIP(
                qPrintable(QStringLiteral("CUPS réel non essayé : chemin de socket trop long (%1)")
                               .arg(socket_)));
        QString raison;
        if (!configurer(serverBin, &raison))
            QSKIP(qPrintable(QStringLiteral("CUPS réel non essayé : ") + raison));
        if (!demarrer(unshare, cupsd, &raison)) {
            arreter();
            QSKIP(qPrintable(QStringLiteral("CUPS réel non essayé : le serveur privé ne démarre "
                                            "pas.\n") +
                             raison));
        }

        // Qt's print support speaks to the server that CUPS_SERVER names.
        avaitServeur_ = qEnvironmentVariableIsSet("CUPS_SERVER");
        serveurAvant_ = qgetenv("CUPS_SERVER");
        qputenv("CUPS_SERVER", socket_.toLocal8Bit());
        serveurPose_ = true;
        oublierServeurCups();

        // The PostScript for cups-pdf made by pdftocairo: Ghostscript's (the default) turns the
        // letters into pictures that pdftotext cannot read back.
        const Sortie ajout = lancer(
            lpadmin,
            {QStringLiteral("-h"), socket_, QStringLiteral("-p"), nomFile, QStringLiteral("-E"),
             QStringLiteral("-v"), QStringLiteral("cups-pdf:/"), QStringLiteral("-P"), ppd,
             QStringLiteral("-o"), QStringLiteral("pdftops-renderer-default=pdftocairo")});
        QVERIFY2(ajout.ok, qPrintable(ajout.texte + journaux()));
    }

    void cleanupTestCase() {
        arreter();
        if (!serveurPose_)
            return;
        if (avaitServeur_)
            qputenv("CUPS_SERVER", serveurAvant_);
        else
            qunsetenv("CUPS_SERVER");
        oublierServeurCups();
    }

    void fileAvantImprimantePdf() {
        ImprimantesSysteme imprimantes(dossier_.path());
        const QStringList noms = imprimantes.imprimantes();
        QVERIFY2(noms.contains(nomFile),
                 qPrintable(QStringLiteral("QPrinterInfo ne voit pas la file du serveur "
                                           "CUPS_SERVER : %1")
                                .arg(noms.join(u", "))));
        QCOMPARE(noms.last(), ImprimantesSysteme::nomImprimantePdf());
        QVERIFY(noms.indexOf(nomFile) < noms.indexOf(ImprimantesSysteme::nomImprimantePdf()));
        imprimantes.SelectPrinter(nomFile);
        QCOMPARE(imprimantes.imprimanteCourante(), nomFile);
    }

    // A receipt: one page 80 mm wide, as long as the lines printed and their margin; a short
    // receipt is wider than long, a long one far longer than wide.
    void ticket_data() {
        QTest::addColumn<QStringList>("lignes");
        const QStringList court = {
            QStringLiteral("TALMIR VESTIMENTAIRE"), QStringLiteral("Ticket 1042"),
            QStringLiteral("Pull laine         39,90"), QStringLiteral("Total              39,90")};
        QStringList longue = {QStringLiteral("Ticket 1043")};
        for (int i = 1; i <= 40; ++i)
            longue << QStringLiteral("Article %1      %2,50").arg(i).arg(i + 10);
        longue << QStringLiteral("Total            1 240,00");
        QTest::newRow("court") << court;
        QTest::newRow("long") << longue;
    }
    void ticket() {
        QFETCH(QStringList, lignes);
        ImprimantesSysteme imprimantes = caisseTest();
        QCOMPARE(imprimantes.imprimanteCourante(), nomFile);
        auto travail = imprimantes.commencer(FormatPapier::Ticket);
        Surface& s = travail->surface();
        s.setScaleMode(Surface::Echelle::Millimetres);
        QCOMPARE(qRound(s.ScaleWidth()), 80);
        for (const QString& l : lignes)
            s.Print(l);
        const double longueur = s.basDessin();

        const Imprime fait = terminer(*travail);
        QVERIFY2(!fait.pdf.isEmpty(), qPrintable(fait.raison));
        QCOMPARE(fait.info.pages, 1);
        QCOMPARE(fait.info.taillesMm.size(), 1);
        const QSizeF page = fait.info.taillesMm.first();
        QVERIFY2(qAbs(page.width() - 80) < 1, qPrintable(fait.info.texte));
        QVERIFY2(page.height() > longueur && page.height() < longueur + 10,
                 qPrintable(QStringLiteral("%1 mm pour %2 mm de dessin\n%3")
                                .arg(page.height())
                                .arg(longueur)
                                .arg(fait.info.texte)));
        const QString texte = texteDe(fait.pdf).simplified();
        for (const QString& l : lignes)
            QVERIFY2(texte.contains(l.simplified()), qPrintable(l + QStringLiteral(" : ") + texte));
    }

    // A4 pages as drawn; a blank page left at the end is not sent.
    void pagesA4() {
        ImprimantesSysteme imprimantes = caisseTest();
        QCOMPARE(imprimantes.imprimanteCourante(), nomFile);
        auto travail = imprimantes.commencer(FormatPapier::A4);
        Surface& s = travail->surface();
        s.Print(QStringLiteral("Journal de caisse du 5 mars"));
        s.NouvellePage();
        s.Print(QStringLiteral("Feuille suivante"));
        s.NouvellePage();

        const Imprime fait = terminer(*travail);
        QVERIFY2(!fait.pdf.isEmpty(), qPrintable(fait.raison));
        QCOMPARE(fait.info.pages, 2);
        QCOMPARE(fait.info.taillesMm.size(), 2);
        for (const QSizeF& page : fait.info.taillesMm) {
            QVERIFY2(qAbs(page.width() - 210) < 1, qPrintable(fait.info.texte));
            QVERIFY2(qAbs(page.height() - 297) < 1, qPrintable(fait.info.texte));
        }
        const QString texte = texteDe(fait.pdf);
        QVERIFY2(texte.contains(QStringLiteral("Journal de caisse du 5 mars")), qPrintable(texte));
        QVERIFY2(texte.contains(QStringLiteral("Feuille suivante")), qPrintable(texte));
        QVERIFY2(texte.indexOf(u'\f') < texte.indexOf(QStringLiteral("Feuille suivante")),
                 qPrintable(texte));
    }

    // A queue that refuses jobs (the shop's administrator stopped it): the job says so and
    // nothing comes out; once the queue accepts jobs again, they go through.
    void fileQuiRefuseLesTravaux() {
        const Sortie refus = lancer(cupsreject_, {QStringLiteral("-h"), socket_, nomFile});
        QVERIFY2(refus.ok, qPrintable(refus.texte));
        auto accepter = qScopeGuard([this] {
            lancer(cupsaccept_, {QStringLiteral("-h"), socket_, nomFile});
        });
        ImprimantesSysteme imprimantes = caisseTest();
        QCOMPARE(imprimantes.imprimanteCourante(), nomFile);
        const QStringList avant = fichiersSortis();
        auto travail = imprimantes.commencer(FormatPapier::Ticket);
        travail->surface().Print(QStringLiteral("Ticket 1044"));
        const Resultat<> r = travail->EndDoc();
        QVERIFY(!r);
        const QString erreur = r.raison();
        // The reason is CUPS's, in the language of the machine.
        const QString debut = QStringLiteral("l'impression sur « Caisse-Test » a échoué : ");
        QVERIFY2(erreur.startsWith(debut) && erreur.size() > debut.size(), qPrintable(erreur));
        QCOMPARE(nouveauxFichiers(avant), QStringList());

        accepter.dismiss();
        const Sortie accord = lancer(cupsaccept_, {QStringLiteral("-h"), socket_, nomFile});
        QVERIFY2(accord.ok, qPrintable(accord.texte));
        travail->surface().Print(QStringLiteral("Ticket 1045"));
        const Imprime fait = terminer(*travail);
        QVERIFY2(!fait.pdf.isEmpty(), qPrintable(fait.raison));
        QVERIFY(texteDe(fait.pdf).contains(QStringLiteral("Ticket 1045")));
    }
};

TALMIR_TEST(CupsTest)
#include "tst_cups.moc"
