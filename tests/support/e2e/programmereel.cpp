#include "support/e2e/programmereel.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTest>
#include <QThread>
#include <QUuid>

namespace {
const QString kProgramme = QStringLiteral("TALMIR_vestimentaire");

QString programmeConstruit() {
    return QStringLiteral(TALMIR_BIN_DIR "/") + kProgramme;
}

void arreterProcessus(QProcess& p) {
    if (p.state() == QProcess::NotRunning)
        return;
    p.terminate();
    if (!p.waitForFinished(5000)) {
        p.kill();
        p.waitForFinished(5000);
    }
}
} // namespace

QString ProgrammeReel::manque() {
    QStringList absents;
    for (const char* outil : {"Xvfb", "openbox", "xdotool", "xprop"})
        if (QStandardPaths::findExecutable(QString::fromLatin1(outil)).isEmpty())
            absents << QString::fromLatin1(outil);
    if (!QFile::exists(programmeConstruit()))
        absents << programmeConstruit();
    return absents.join(QStringLiteral(", "));
}

ProgrammeReel::ProgrammeReel(BoutiqueTest::Base base) : boutique_(base) {
    // The program finds its files beside itself: it runs from the shop's folder.
    const QString dossier = boutique_.dossier();
    exiger(QFile::copy(programmeConstruit(), dossier + u'/' + kProgramme), "the program's copy");
    for (const char* image : {"enteteimprimante.wmf", "fondetiquette.wmf"})
        QFile::copy(QStringLiteral(TALMIR_BIN_DIR "/") + QString::fromLatin1(image),
                    dossier + u'/' + QString::fromLatin1(image));
}

ProgrammeReel::~ProgrammeReel() {
    arreterProcessus(programme_);
    arreterProcessus(openbox_);
    arreterProcessus(xvfb_);
}

QProcessEnvironment ProgrammeReel::environnement() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display_);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    return env;
}

bool ProgrammeReel::lancer(QProcess& p, const QString& programme, const QStringList& arguments) {
    p.setProcessEnvironment(environnement());
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(programme, arguments);
    if (!p.waitForStarted(10000)) {
        erreur_ = programme + QStringLiteral(" ne démarre pas : ") + p.errorString();
        return false;
    }
    return true;
}

bool ProgrammeReel::ouvrirEcran() {
    // Xvfb picks a free display and writes its number once it accepts clients.
    const QString fichierDisplay = ecran_.filePath(QStringLiteral("display"));
    QFile::remove(fichierDisplay);
    xvfb_.setProcessChannelMode(QProcess::MergedChannels);
    xvfb_.start(QStringLiteral("sh"),
                {QStringLiteral("-c"),
                 QStringLiteral("exec Xvfb -displayfd 3 -screen 0 1366x768x24 -nolisten tcp "
                                "3>\"$1\""),
                 QStringLiteral("sh"), fichierDisplay});
    if (!xvfb_.waitForStarted(10000)) {
        erreur_ = QStringLiteral("Xvfb ne démarre pas");
        return false;
    }
    const bool ecranPret = attendre(
        [&] {
            QFile f(fichierDisplay);
            return f.open(QIODevice::ReadOnly) && !f.readAll().trimmed().isEmpty();
        },
        20000);
    QFile f(fichierDisplay);
    if (!ecranPret || !f.open(QIODevice::ReadOnly)) {
        erreur_ = QStringLiteral("Xvfb n'a pas ouvert d'écran : ") + xvfb_.readAll();
        return false;
    }
    display_ = u':' + QString::fromLatin1(f.readAll().trimmed());
    // A client can connect (on a loaded machine the number comes a moment before).
    const auto repond = [&] {
        QProcess xprop;
        xprop.setProcessEnvironment(environnement());
        xprop.start(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("-len"),
                                              QStringLiteral("0"), QStringLiteral("_NET_WM_NAME")});
        return xprop.waitForFinished(5000) && xprop.exitStatus() == QProcess::NormalExit &&
               xprop.exitCode() == 0;
    };
    if (!attendre(repond, 20000)) {
        erreur_ =
            QStringLiteral("l'écran %1 n'accepte pas de client : ").arg(display_) + xvfb_.readAll();
        return false;
    }

    if (!lancer(openbox_, QStringLiteral("openbox"), {QStringLiteral("--sm-disable")}))
        return false;
    // The window manager is there once it has announced itself on the root window.
    const bool gestionnaire = attendre(
        [&] {
            QProcess xprop;
            xprop.setProcessEnvironment(environnement());
            xprop.start(QStringLiteral("xprop"),
                        {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")});
            return xprop.waitForFinished(5000) &&
                   xprop.readAllStandardOutput().contains("window id");
        },
        20000);
    if (!gestionnaire) {
        erreur_ = QStringLiteral("openbox ne s'est pas annoncé sur %1 : ").arg(display_) +
                  openbox_.readAll();
        return false;
    }
    return true;
}

bool ProgrammeReel::demarrer(const QStringList& arguments) {
    if (!demarrerSansAttendre(arguments))
        return false;
    if (!attendreFenetreActive(QStringLiteral("^Point de Vente"), 30000)) {
        erreur_ =
            QStringLiteral("la fenêtre principale n'est pas apparue (fenêtre active : « %1 ») "
                           "; sortie du programme : %2")
                .arg(fenetreActive(), QString::fromLocal8Bit(programme_.readAll()));
        return false;
    }
    return true;
}

bool ProgrammeReel::demarrerSansAttendre(const QStringList& arguments) {
    // A display that goes away under the window manager (another test's server ending on the
    // same number) is started again, a few times.
    bool pret = false;
    for (int essai = 0; essai < 3 && !pret; ++essai) {
        pret = ouvrirEcran();
        if (!pret) {
            arreterProcessus(openbox_);
            arreterProcessus(xvfb_);
        }
    }
    if (!pret)
        return false;

    programme_.setWorkingDirectory(dossier());
    return lancer(programme_, dossier() + u'/' + kProgramme, arguments);
}

bool ProgrammeReel::xdotool(const QStringList& arguments, int delaiMs, QByteArray* sortie) {
    QProcess p;
    p.setProcessEnvironment(environnement());
    p.start(QStringLiteral("xdotool"), arguments);
    if (!p.waitForFinished(delaiMs)) {
        p.kill();
        p.waitForFinished(1000);
        return false;
    }
    if (sortie)
        *sortie = p.readAllStandardOutput();
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

bool ProgrammeReel::taper(const QString& texte, int delaiMs) {
    return xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QString::number(delaiMs),
                    QStringLiteral("--"), texte});
}

bool ProgrammeReel::touches(const QStringList& noms, int delaiMs) {
    return xdotool(
        QStringList{QStringLiteral("key"), QStringLiteral("--delay"), QString::number(delaiMs)} +
        noms);
}

bool ProgrammeReel::scanner(const QString& code, const QStringList& fin, int delaiMs) {
    // A Return ending the code is typed with it, as the same burst; other end keys follow at
    // once.
    if (fin == QStringList{QStringLiteral("Return")})
        return taper(code + u'\n', delaiMs);
    return (code.isEmpty() || taper(code, delaiMs)) && (fin.isEmpty() || touches(fin, delaiMs));
}

bool ProgrammeReel::attendre(const std::function<bool()>& condition, int delaiMs) {
    const QDeadlineTimer limite(delaiMs);
    while (!condition()) {
        if (limite.hasExpired())
            return false;
        QTest::qWait(25);
    }
    return true;
}

QString ProgrammeReel::fenetreActive() {
    QByteArray sortie;
    if (!xdotool({QStringLiteral("getactivewindow"), QStringLiteral("getwindowname")}, 5000,
                 &sortie))
        return {};
    return QString::fromUtf8(sortie).trimmed();
}

QString ProgrammeReel::fenetreVisible(const QString& titre) {
    QByteArray sortie;
    if (!xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                  QStringLiteral("--name"), titre},
                 5000, &sortie))
        return {};
    return QString::fromLatin1(sortie).section(u'\n', 0, 0).trimmed();
}

QRect ProgrammeReel::geometrie(const QString& fenetre) {
    QByteArray sortie;
    if (fenetre.isEmpty() ||
        !xdotool({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), fenetre}, 5000,
                 &sortie))
        return {};
    QMap<QByteArray, int> g;
    for (const QByteArray& ligne : sortie.split('\n'))
        if (const qsizetype egal = ligne.indexOf('='); egal > 0)
            g[ligne.left(egal)] = ligne.mid(egal + 1).toInt();
    return QRect(g.value("X"), g.value("Y"), g.value("WIDTH"), g.value("HEIGHT"));
}

bool ProgrammeReel::attendreFenetreActive(const QString& titre, int delaiMs) {
    const QRegularExpression attendu(titre);
    return attendre(
        [&] {
            return programme_.state() == QProcess::Running &&
                   attendu.match(fenetreActive()).hasMatch();
        },
        delaiMs);
}

QVariant ProgrammeReel::valeur(const QString& sql, const QVariantList& valeurs) const {
    const QString nom = QUuid::createUuid().toString();
    QVariant v;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), nom);
        db.setDatabaseName(boutique_.installation().baseParDefaut());
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=5000"));
        if (db.open()) {
            QSqlQuery q(db);
            if (q.prepare(sql)) {
                for (const QVariant& x : valeurs)
                    q.addBindValue(x);
                if (q.exec() && q.next())
                    v = q.value(0);
            }
        }
    }
    QSqlDatabase::removeDatabase(nom);
    return v;
}

bool ProgrammeReel::capture(const QString& fichier, const QString& fenetre) {
    QProcess p;
    p.setProcessEnvironment(environnement());
    p.start(QStringLiteral("import"), {QStringLiteral("-window"), fenetre, fichier});
    return p.waitForFinished(20000) && p.exitCode() == 0;
}

bool ProgrammeReel::arreter() {
    if (programme_.state() == QProcess::NotRunning)
        return true;
    // The window manager's close, as a click on the close box.
    xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
             QStringLiteral("^Point de Vente"), QStringLiteral("windowactivate"),
             QStringLiteral("--sync"), QStringLiteral("key"), QStringLiteral("alt+F4")});
    if (programme_.waitForFinished(15000))
        return true;
    arreterProcessus(programme_);
    return false;
}
