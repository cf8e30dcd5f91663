// creer_base: creates a shop database file.
//   creer_base FICHIER                          an empty shop
//   creer_base --demo FICHIER                   a demo shop
//   creer_base --articles N --lignes M FICHIER  a large shop for benchmarks
#include "database/creation.h"

#include <QCoreApplication>
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
        err << "usage : creer_base [--demo | --articles N --lignes M] FICHIER\n";
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
    out << "base créée : " << fichier << " (" << QFileInfo(fichier).size() << " octets, "
        << chrono.elapsed() << " ms)\n";
    return 0;
}
