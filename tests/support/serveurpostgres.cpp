#include "support/serveurpostgres.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>
#include <grp.h>
#include <pwd.h>
#include <unistd.h>

namespace {
// The folder of the newest installed server's programs ("" when none).
QString dossierProgrammes() {
    QDir racine(QStringLiteral("/usr/lib/postgresql"));
    QStringList versions = racine.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(versions.begin(), versions.end(),
              [](const QString& a, const QString& b) { return a.toInt() < b.toInt(); });
    for (auto v = versions.crbegin(); v != versions.crend(); ++v) {
        const QString bin = racine.filePath(*v + QStringLiteral("/bin"));
        if (QFile::exists(bin + QStringLiteral("/initdb")) &&
            QFile::exists(bin + QStringLiteral("/pg_ctl")))
            return bin;
    }
    return {};
}

bool estRoot() {
    return ::geteuid() == 0;
}
} // namespace

QString ServeurPostgres::manque() {
    QStringList manque;
    if (dossierProgrammes().isEmpty())
        manque << QStringLiteral("le serveur PostgreSQL (paquet postgresql)");
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")))
        manque << QStringLiteral("le pilote QPSQL de Qt (paquet libqt6sql6-psql)");
    if (estRoot() && !::getpwnam("postgres"))
        manque << QStringLiteral("le compte postgres (root ne peut pas faire de grappe)");
    return manque.join(QStringLiteral(", "));
}

ServeurPostgres::ServeurPostgres(Ecriture ecriture) : ecriture_(ecriture) {}

ServeurPostgres::~ServeurPostgres() {
    if (demarre_)
        executer(dossierProgrammes() + QStringLiteral("/pg_ctl"),
                 {QStringLiteral("-D"), racine_ + QStringLiteral("/donnees"), QStringLiteral("-m"),
                  QStringLiteral("immediate"), QStringLiteral("-w"), QStringLiteral("stop")},
                 30000);
}

QString ServeurPostgres::dossierSocket() const {
    return racine_;
}

bool ServeurPostgres::executer(const QString& programme, const QStringList& arguments,
                               int delaiMs) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    // As root, the cluster's programs run as its owner.
    if (estRoot())
        p.start(QStringLiteral("runuser"),
                QStringList{QStringLiteral("-u"), utilisateur(), QStringLiteral("--"), programme} +
                    arguments);
    else
        p.start(programme, arguments);
    if (!p.waitForStarted(delaiMs) || !p.waitForFinished(delaiMs)) {
        p.kill();
        p.waitForFinished(1000);
        erreur_ = QStringLiteral("%1 ne s'est pas terminé").arg(programme);
        return false;
    }
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        erreur_ = QStringLiteral("%1 : %2").arg(programme, QString::fromLocal8Bit(p.readAll()));
        return false;
    }
    return true;
}

bool ServeurPostgres::demarrer() {
    if (const QString m = manque(); !m.isEmpty()) {
        erreur_ = QStringLiteral("manque : ") + m;
        return false;
    }
    if (!dossier_.isValid()) {
        erreur_ = QStringLiteral("pas de dossier temporaire");
        return false;
    }
    // The cluster's folder, its owner's alone; the temporary folder above it may be crossed.
    racine_ = dossier_.filePath(QStringLiteral("grappe"));
    if (!QDir().mkpath(racine_)) {
        erreur_ = QStringLiteral("le dossier %1 ne peut pas être fait").arg(racine_);
        return false;
    }
    if (estRoot()) {
        const passwd* compte = ::getpwnam("postgres");
        QFile::setPermissions(dossier_.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                   QFile::ExeOwner | QFile::ExeGroup |
                                                   QFile::ExeOther);
        if (!compte ||
            ::chown(QFile::encodeName(racine_).constData(), compte->pw_uid, compte->pw_gid) != 0) {
            erreur_ =
                QStringLiteral("le dossier %1 ne peut pas être donné à postgres").arg(racine_);
            return false;
        }
    }
    const QString bin = dossierProgrammes();
    const QString donnees = racine_ + QStringLiteral("/donnees");
    if (!executer(bin + QStringLiteral("/initdb"),
                  {QStringLiteral("-D"), donnees, QStringLiteral("-U"), utilisateur(),
                   QStringLiteral("-A"), QStringLiteral("trust"), QStringLiteral("-E"),
                   QStringLiteral("UTF8"), QStringLiteral("--locale=C"),
                   QStringLiteral("--no-sync")},
                  120000))
        return false;
    return relancer();
}

bool ServeurPostgres::arreter() {
    if (!demarre_)
        return true;
    demarre_ =
        !executer(dossierProgrammes() + QStringLiteral("/pg_ctl"),
                  {QStringLiteral("-D"), racine_ + QStringLiteral("/donnees"), QStringLiteral("-m"),
                   QStringLiteral("fast"), QStringLiteral("-w"), QStringLiteral("stop")},
                  30000);
    return !demarre_;
}

bool ServeurPostgres::relancer() {
    const QString bin = dossierProgrammes();
    const QString donnees = racine_ + QStringLiteral("/donnees");
    // The socket alone, in the cluster's folder; unless durable, no disk syncs: a test's data
    // need not survive a crash of the machine.
    const QString options =
        QStringLiteral("-c listen_addresses='' -k %1 -p %2").arg(racine_).arg(kPort) +
        (ecriture_ == Ecriture::Durable
             ? QString()
             : QStringLiteral(" -c fsync=off -c synchronous_commit=off -c full_page_writes=off"));
    if (!executer(bin + QStringLiteral("/pg_ctl"),
                  {QStringLiteral("-D"), donnees, QStringLiteral("-o"), options,
                   QStringLiteral("-l"), racine_ + QStringLiteral("/journal.txt"),
                   QStringLiteral("-w"), QStringLiteral("-t"), QStringLiteral("60"),
                   QStringLiteral("start")},
                  90000))
        return false;
    demarre_ = true;
    return true;
}

bool ServeurPostgres::creerBase(const QString& nom) {
    const QString connexionNom = QStringLiteral("serveurpostgres_creation");
    bool fait = false;
    {
        QSqlDatabase db = connexion(connexionNom, QStringLiteral("postgres"));
        if (!db.open()) {
            erreur_ = db.lastError().text();
        } else {
            QSqlQuery q(db);
            // A name of the test's own, quoted as an identifier.
            fait = q.exec(QStringLiteral("CREATE DATABASE \"%1\"")
                              .arg(QString(nom).replace(u'"', QStringLiteral("\"\""))));
            if (!fait)
                erreur_ = q.lastError().text();
        }
    }
    QSqlDatabase::removeDatabase(connexionNom);
    return fait;
}

QSqlDatabase ServeurPostgres::connexion(const QString& nom, const QString& base) const {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), nom);
    db.setHostName(racine_);
    db.setPort(kPort);
    db.setUserName(utilisateur());
    db.setDatabaseName(base);
    return db;
}
