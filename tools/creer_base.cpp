// creer_base: creates a shop database file, or a shop in an empty database of a PostgreSQL
// server (FICHIER then a postgresql:// address, see AdresseServeur).
//   creer_base FICHIER                          an empty shop
//   creer_base --demo FICHIER                   a demo shop
//   creer_base --articles N --lignes M FICHIER  a large shop for benchmarks
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
               "        creer_base postgresql://[utilisateur@]hote[:port]/base\n";
        return 2;
    };
    bool demo = false;
    int articles = -1, lignes = 0;
    QString fichier;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        bool ok = true;
        if (a == QStringLiteral("--demo"))
            demo = true;
        else if (a == QStringLiteral("--articles") && i + 1 < args.size())
            articles = args[++i].toInt(&ok);
        else if (a == QStringLiteral("--lignes") && i + 1 < args.size())
            lignes = args[++i].toInt(&ok);
        else if (a.startsWith(QStringLiteral("--")) || !fichier.isEmpty())
            return usage();
        else
            fichier = a;
        if (!ok || (articles < -1) || lignes < 0)
            return usage();
    }
    // A number of lines without articles would make an empty shop without a word.
    if (fichier.isEmpty() || (demo && articles >= 0) || (lignes > 0 && articles < 0))
        return usage();
    const bool serveur = AdresseServeur::estServeur(fichier);
    if (serveur && (demo || articles >= 0)) {
        err << "creer_base : les boutiques de démonstration et d'essai ne se font encore que "
               "dans un fichier ; sur un serveur, creer_base prépare une boutique vide\n";
        return 2;
    }
    QElapsedTimer chrono;
    chrono.start();
    if (Resultat<> r = creation::creerBase(fichier); !r) {
        err << "creer_base : " << r.raison() << "\n";
        return 1;
    }
    Resultat<> rempli;
    if (demo)
        rempli = creation::remplirDemo(fichier);
    else if (articles >= 0)
        rempli = creation::remplirGrande(fichier, articles, lignes);
    if (!rempli) {
        // A shop half filled is no shop: the file goes.
        QFile::remove(fichier);
        err << "creer_base : " << rempli.raison() << "\n";
        return 1;
    }
    // The tickets of a filled shop are signed with the key of the shop's folder (made now when
    // there is none), as the till would have signed them.
    if (demo || articles >= 0) {
        Resultat<qint64> scelles = [&]() -> Resultat<qint64> {
            Resultat<CleFiscale> cle =
                CleFiscale::chargerOuCreer(QFileInfo(fichier).absolutePath());
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
            QFile::remove(fichier);
            err << "creer_base : " << scelles.raison() << "\n";
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
