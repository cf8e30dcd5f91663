// controle_caisse: checks the till's signed records against the installation's public key.
//   controle_caisse [--cle FICHIER.pem] BASE.db
//   controle_caisse --archive DOSSIER [--cle FICHIER.pem]
//   controle_caisse --archiver BASE.db [--du AAAA-MM-JJ] [--au AAAA-MM-JJ]
// Exit code: 0 all is sound, 1 a record fails, 2 usage or a file that cannot be read.
#include "controle/archive.h"
#include "controle/verification.h"
#include "database/adresseserveur.h"
#include "database/database.h"
#include "database/versionschema.h"
#include "fiscal/clefiscale.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocale>
#include <QTextStream>
#include <optional>

namespace {

int usage(QTextStream& err) {
    err << "usage :\n"
           "  controle_caisse [--cle CLE_PUBLIQUE.pem] BASE.db\n"
           "      vérifie les tickets, les événements et les clôtures signés d'une base\n"
           "      (clé par défaut : cle_fiscale_publique.pem à côté de la base) ;\n"
           "      BASE peut être une base sur un serveur, postgresql://..., avec --cle\n"
           "  controle_caisse --archive DOSSIER [--cle CLE_PUBLIQUE.pem]\n"
           "      vérifie une archive (par défaut avec la clé copiée dans l'archive)\n"
           "  controle_caisse --archiver BASE.db [--du AAAA-MM-JJ] [--au AAAA-MM-JJ]\n"
           "      écrit l'archive de la période dans le dossier Archives à côté de la base\n"
           "      (par défaut : l'année écoulée jusqu'à aujourd'hui)\n"
           "code de sortie : 0 tout est en ordre, 1 un enregistrement est altéré, 2 erreur\n";
    return 2;
}

QString secondes(qint64 ms) {
    return QLocale(QLocale::French).toString(double(ms) / 1000.0, 'f', 1);
}

int rendre(QTextStream& out, QTextStream& err, const Resultat<verification::Bilan>& bilan,
           qint64 ms) {
    if (!bilan) {
        err << "controle_caisse : " << bilan.raison() << "\n";
        return 2;
    }
    if (!bilan->sain()) {
        out << "ÉCHEC : " << bilan->echec << "\n";
        out << "(lus : " << verification::resume(*bilan) << ")\n";
        return 1;
    }
    out << verification::resume(*bilan) << " en " << secondes(ms) << " s : tout est en ordre\n";
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    // Each ticket's date is read as the shop's local time: without TZ the C library looks at
    // /etc/localtime again at every conversion, a third of the check's time on a large shop.
    // The same zone, named once.
    if (qEnvironmentVariableIsEmpty("TZ"))
        qputenv("TZ", ":/etc/localtime");
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    QTextStream out(stdout);
    const QStringList args = app.arguments().mid(1);
    QString cle, archiveADire, base, du, au;
    bool archiver = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool suivant = i + 1 < args.size();
        if (a == QStringLiteral("--cle") && suivant)
            cle = args[++i];
        else if (a == QStringLiteral("--archive") && suivant)
            archiveADire = args[++i];
        else if (a == QStringLiteral("--archiver") && suivant) {
            archiver = true;
            base = args[++i];
        } else if (a == QStringLiteral("--du") && suivant)
            du = args[++i];
        else if (a == QStringLiteral("--au") && suivant)
            au = args[++i];
        else if (a.startsWith(QStringLiteral("--")) || !base.isEmpty())
            return usage(err);
        else
            base = a;
    }
    QElapsedTimer chrono;
    chrono.start();

    std::optional<ClePublique> publique;
    auto chargerCle = [&](const QString& fichier) {
        Resultat<ClePublique> c = verification::lireCle(fichier);
        if (!c) {
            err << "controle_caisse : " << c.raison() << "\n";
            return false;
        }
        publique = *c;
        return true;
    };

    if (!archiveADire.isEmpty()) {
        if (archiver || !base.isEmpty() || !du.isEmpty() || !au.isEmpty())
            return usage(err);
        if (!cle.isEmpty() && !chargerCle(cle))
            return 2;
        if (!QFileInfo(archiveADire).isDir()) {
            err << "controle_caisse : l'archive " << archiveADire << " est introuvable\n";
            return 2;
        }
        const Resultat<verification::Bilan> bilan = archive::verifier(archiveADire, publique);
        return rendre(out, err, bilan, chrono.elapsed());
    }
    if (base.isEmpty())
        return usage(err);
    // A shop on a server has no folder: its till's key is named.
    if (AdresseServeur::estServeur(base) && (archiver || cle.isEmpty())) {
        err << "controle_caisse : une base sur un serveur se vérifie avec la clé publique de sa "
               "caisse, donnée par --cle (l'archive ne se fait encore que d'une base en "
               "fichier)\n";
        return 2;
    }
    const QString dossierBase = QFileInfo(base).absolutePath();

    if (archiver) {
        if (!cle.isEmpty())
            return usage(err);
        const QDate aujourdhui = QDate::currentDate();
        const QDate fin = au.isEmpty() ? aujourdhui : QDate::fromString(au, Qt::ISODate);
        const QDate debut =
            du.isEmpty() ? fin.addYears(-1).addDays(1) : QDate::fromString(du, Qt::ISODate);
        if (!debut.isValid() || !fin.isValid() || fin < debut) {
            err << "controle_caisse : la période doit être donnée en AAAA-MM-JJ, le début avant "
                   "la fin\n";
            return 2;
        }
        // The shop's own key only: a new key here would sign an archive nobody can check.
        if (!QFileInfo::exists(QDir(dossierBase).filePath(CleFiscale::fichierPrive()))) {
            err << "controle_caisse : la clé de signature " << CleFiscale::fichierPrive()
                << " est absente du dossier de la base : l'archive ne peut pas être signée\n";
            return 2;
        }
        const Resultat<CleFiscale> privee = CleFiscale::chargerOuCreer(dossierBase);
        if (!privee) {
            err << "controle_caisse : " << privee.raison() << "\n";
            return 2;
        }
        Database bdd;
        if (Resultat<> r = bdd.ouvrir(base); !r) {
            err << "controle_caisse : " << r.raison() << "\n";
            return 2;
        }
        const Resultat<QString> fait =
            archive::creer(bdd, *privee, QDir(dossierBase).filePath(QStringLiteral("Archives")),
                           debut, fin, QDateTime::currentDateTime());
        if (!fait) {
            err << "controle_caisse : " << fait.raison() << "\n";
            return 2;
        }
        out << "archive écrite : " << QDir::toNativeSeparators(*fait) << "\n";
        return 0;
    }

    if (!chargerCle(cle.isEmpty() ? QDir(dossierBase).filePath(CleFiscale::fichierPublic()) : cle))
        return 2;
    Database bdd;
    if (Resultat<> r = bdd.ouvrir(base, Database::Acces::Lecture); !r) {
        err << "controle_caisse : " << r.raison() << "\n";
        return 2;
    }
    // A shop from before the signed records has nothing to check; it is not upgraded here.
    if (const Resultat<int> version = versionschema::lire(bdd); !version) {
        err << "controle_caisse : " << version.raison() << "\n";
        return 2;
    } else if (*version < 2) {
        err << "controle_caisse : la base " << base << " date d'avant les enregistrements signés "
            << "(version " << *version << " de ses tables) : ouvrez-la une fois avec le "
            << "programme de caisse pour la mettre à niveau\n";
        return 2;
    }
    const Resultat<verification::Bilan> bilan = verification::verifier(bdd, *publique);
    return rendre(out, err, bilan, chrono.elapsed());
}
