#include "support/testmain.h"

#include <QApplication>
#include <QProcess>
#include <QTest>
#include <vector>

namespace {
struct Entree {
    const char* nom;
    std::function<std::unique_ptr<QObject>()> fabrique;
};
std::vector<Entree>& entrees() {
    static std::vector<Entree> e;
    return e;
}
} // namespace

bool enregistrerTest(const char* nom, std::function<std::unique_ptr<QObject>()> fabrique) {
    entrees().push_back({nom, std::move(fabrique)});
    return true;
}

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen")
                                                                    : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    QStringList args = app.arguments();
    QString seule;
    if (args.size() > 1 && !args[1].startsWith(u'-')) {
        seule = args[1];
        args.removeAt(1);
    }
    if (seule.isEmpty() && entrees().size() > 1) {
        // Each class runs in a process of its own: a class that skips in initTestCase or
        // crashes cannot silently take the following classes with it.
        int echecs = 0;
        for (const Entree& e : entrees()) {
            QProcess p;
            p.setProcessChannelMode(QProcess::ForwardedChannels);
            p.start(QCoreApplication::applicationFilePath(),
                    QStringList{QString::fromLatin1(e.nom)} + args.mid(1));
            p.waitForFinished(-1);
            if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
                qWarning("%s: failed (exit %d)", e.nom, p.exitCode());
                ++echecs;
            }
        }
        return echecs == 0 ? 0 : 1;
    }
    int echecs = 0;
    for (const Entree& e : entrees()) {
        if (!seule.isEmpty() && seule != QLatin1String(e.nom))
            continue;
        std::unique_ptr<QObject> test = e.fabrique();
        echecs += QTest::qExec(test.get(), args);
    }
    return echecs == 0 ? 0 : 1;
}
