// avec_serveur: runs a test program with its shops on a private PostgreSQL cluster, so that the
// shop's rules are tried on the server engine as on the file one.
//   avec_serveur PROGRAMME [ARGUMENTS...]
// The cluster is made in a temporary folder, reached through its socket (TALMIR_TEST_SERVEUR),
// and stopped at the end. Exits with the program's code, or 77 (a skipped test) when this
// machine cannot run a cluster.
#include "support/serveurpostgres.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTextStream>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) {
        err << "usage : avec_serveur PROGRAMME [ARGUMENTS...]\n";
        return 2;
    }
    if (const QString manque = ServeurPostgres::manque(); !manque.isEmpty()) {
        err << "pas de grappe PostgreSQL (" << manque << ") : essai sur serveur sauté\n";
        return 77;
    }
    ServeurPostgres serveur;
    if (!serveur.demarrer()) {
        err << "la grappe PostgreSQL ne démarre pas : " << serveur.erreur() << "\n";
        return 1;
    }
    QProcess programme;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TALMIR_TEST_SERVEUR"), serveur.dossierSocket());
    programme.setProcessEnvironment(env);
    programme.setProcessChannelMode(QProcess::ForwardedChannels);
    programme.start(args.first(), args.mid(1));
    if (!programme.waitForStarted() || !programme.waitForFinished(-1)) {
        err << args.first() << " ne s'est pas exécuté : " << programme.errorString() << "\n";
        return 1;
    }
    return programme.exitStatus() == QProcess::NormalExit ? programme.exitCode() : 1;
}
