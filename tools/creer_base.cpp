// creer_base: creates a shop database file, or a shop in an empty database of a PostgreSQL
// server (FICHIER then a postgresql:// address, see AdresseServeur).
//   creer_base FICHIER                          an empty shop
//   creer_base --demo FICHIER                   a demo shop
//   creer_base --articles N --lignes M FICHIER  a large shop for benchmarks
// A filled shop's tickets are signed as a till would have signed them, with the key of the
// file's folder (made there when there is none). A server has no folder of its own: the tills
// read their key from their program folder, so a filled shop on a server is made with that
// folder named, --cle DOSSIER:
//   creer_base --demo --cle DOSSIER postgresql://[utilisateur@]hote[:port]/base
// On a server the tables and rows are made in one transaction; should the signing that follows
// fail, the shop is left unsigned, and the database is to be dropped and made again.
#include "database/adresseserveur.h"
#include "database/creation.h"
#include "database/database.h"
#include "fiscal/clefiscale.h"
#include "fiscal/evenements.h"
#include "register/signatureticket.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    QTextStream out(stdout);
    const QStringList args = app.arguments().mid(1);
    auto usage = [&] {
        err << "usage : creer_base [--demo | --articles N --lignes M] FICHIER\n"
               "        creer_base [--demo | --articles N --lignes M] --cle DOSSIER FICHIER\n"
               "        creer_base postgresql://[utilisateur@]hote[:port]/base\n"
               "        creer_base --demo --cle DOSSIER postgresql://...\n"
               "        creer_base --articles N --lignes M --cle DOSSIER postgresql://...\n"
               "  --cle DOSSIER : le dossier de la clé de signature de la caisse (le dossier de\n"
               "  son programme), où la clé est lue, ou créée s'il n'y en a pas ; par défaut,\n"
               "  le dossier du fichier ; nécessaire sur un serveur pour une boutique remplie\n";
        return 2;
    };
    bool demo = false;
    int articles = -1, lignes = 0;
    QString fichier, dossierCle;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        bool ok = true;
        if (a == QStringLiteral("--demo"))
            demo = true;
        else if (a == QStringLiteral("--articles") && i + 1 < args.size())
            articles = args[++i].toInt(&ok);
        else if (a == QStringLiteral("--lignes") && i + 1 < args.size())
            lignes = args[++i].toInt(&ok);
        else if (a == QStringLiteral("--cle") && i + 1 < args.size() && dossierCle.isEmpty())
            dossierCle = args[++i];
        else if (a.startsWith(QStringLiteral("--")) || !fichier.isEmpty())
            return usage();
        else
            fichier = a;
        if (!ok || (articles < -1) || lignes < 0)
            return usage();
    }
    const bool remplie = demo || articles >= 0;
    // A number of lines without articles would make an empty shop without a word, a key without
    // tickets to sign would be taken for a signed shop.
    if (fichier.isEmpty() || (demo && articles >= 0) || (lignes > 0 && articles < 0) ||
        (!dossierCle.isEmpty() && !remplie))
        return usage();
    const bool serveur = AdresseServeur::estServeur(fichier);
    if (serveur && remplie && dossierCle.isEmpty()) {
        err << "creer_base : sur un serveur, les tickets de la boutique remplie sont signés avec "
               "la clé de la caisse : nommez son dossier avec --cle DOSSIER\n";
        return usage();
    }
    // Nothing is made when the key named could not be kept.
    if (!dossierCle.isEmpty() && !QFileInfo(dossierCle).isDir()) {
        err << "creer_base : le dossier de la clé " << dossierCle << " n'existe pas\n";
        return 1;
    }
    if (remplie && dossierCle.isEmpty())
        dossierCle = QFileInfo(fichier).absolutePath();
    QElapsedTimer chrono;
    chrono.start();
    const Resultat<> cree = demo            ? creation::creerDemo(fichier)
                            : articles >= 0 ? creation::creerGrande(fichier, articles, lignes)
                                            : creation::creerBase(fichier);
    if (!cree) {
        err << "creer_base : " << cree.raison() << "\n";
        return 1;
    }
    // The tickets of a filled shop are signed with the till's key (made now when there is
    // none), as the till would have signed them.
    if (remplie) {
        Resultat<qint64> scelles = [&]() -> Resultat<qint64> {
            Resultat<CleFiscale> cle = CleFiscale::chargerOuCreer(dossierCle);
            if (!cle)
                return cle.echec();
            Database bdd;
            if (Resultat<> r = bdd.ouvrir(fichier); !r)
                return r.echec();
            Resultat<qint64> n = signatureticket::sceller(bdd, *cle);
            if (n && *n > 0)
                if (Resultat<qint64> e = evenements::consigner(
                        bdd, *cle, evenements::scellement(),
                        QStringLiteral("%1 tickets de la boutique créée").arg(*n),
                        QDateTime::currentDateTime());
                    !e)
                    return e.echec();
            return n;
        }();
        if (!scelles) {
            err << "creer_base : " << scelles.raison() << "\n";
            // A shop half made is no shop: the file goes; a server's database is the
            // operator's to drop.
            if (serveur)
                err << "creer_base : la boutique est restée sur le serveur sans ses signatures : "
                       "supprimez la base (dropdb), recréez-la vide (createdb) et relancez "
                       "creer_base\n";
            else
                QFile::remove(fichier);
            return 1;
        }
    }
    if (serveur)
        out << "base créée : " << fichier << " (" << chrono.elapsed() << " ms)\n";
    else
        out << "base créée : " << fichier << " (" << QFileInfo(fichier).size() << " octets, "
            << chrono.elapsed() << " ms)\n";
    return 0;
}
