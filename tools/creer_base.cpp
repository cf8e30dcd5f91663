// creer_base: creates a shop database file.
//   creer_base FICHIER                          an empty shop
//   creer_base --demo FICHIER                   a demo shop
//   creer_base --articles N --lignes M FICHIER  a large shop for benchmarks
#include "database/creation.h"

#include <QCoreApplication>
#include <QElapsedTimer>
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
    if (fichier.isEmpty() || (demo && articles >= 0))
        return usage();
    QElapsedTimer chrono;
    chrono.start();
    QString erreur;
    if (!creation::creerBase(fichier, &erreur)) {
        err << "creer_base : " << erreur << "\n";
        return 1;
    }
    bool ok = true;
    if (demo)
        ok = creation::remplirDemo(fichier, &erreur);
    else if (articles >= 0)
        ok = creation::remplirGrande(fichier, articles, lignes, &erreur);
    if (!ok) {
        err << "creer_base : " << erreur << "\n";
        return 1;
    }
    out << "base créée : " << fichier << " (" << QFileInfo(fichier).size() << " octets, "
        << chrono.elapsed() << " ms)\n";
    return 0;
}
