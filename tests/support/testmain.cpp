#include "support/testmain.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTest>
#include <algorithm>
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

QString nomsConnus() {
    QStringList noms;
    for (const Entree& e : entrees())
        noms << QString::fromLatin1(e.nom);
    return noms.join(QStringLiteral(", "));
}

int executer(const Entree& e, const QStringList& args) {
    std::unique_ptr<QObject> test = e.fabrique();
    return QTest::qExec(test.get(), args) == 0 ? 0 : 1;
}

// Each class runs in a process of its own: a class that skips in initTestCase or crashes
// cannot silently take the following classes with it. A child that does not start, crashes or
// ends with a failure fails the run.
int executerChaqueClasse(const QStringList& options) {
    int echecs = 0;
    for (const Entree& e : entrees()) {
        QProcess p;
        p.setProcessChannelMode(QProcess::ForwardedChannels);
        p.start(QCoreApplication::applicationFilePath(),
                QStringList{QString::fromLatin1(e.nom)} + options);
        if (!p.waitForStarted(-1)) {
            qWarning("%s: the test process did not start: %s", e.nom, qPrintable(p.errorString()));
            ++echecs;
            continue;
        }
        p.waitForFinished(-1);
        if (p.exitStatus() != QProcess::NormalExit) {
            qWarning("%s: the test process crashed: %s", e.nom, qPrintable(p.errorString()));
            ++echecs;
        } else if (p.exitCode() != 0) {
            qWarning("%s: failed (exit %d)", e.nom, p.exitCode());
            ++echecs;
        }
    }
    return echecs == 0 ? 0 : 1;
}
} // namespace

bool enregistrerTest(const char* nom, std::function<std::unique_ptr<QObject>()> fabrique) {
    entrees().push_back({nom, std::move(fabrique)});
    return true;
}

void preparerPlateforme() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

int executerTests(QCoreApplication& app) {
    QStringList args = app.arguments();
    if (entrees().empty()) {
        qCritical("no test class in this executable");
        return 1;
    }
    if (args.size() > 1 && !args[1].startsWith(u'-')) {
        const QString seule = args.takeAt(1);
        const auto e = std::find_if(entrees().begin(), entrees().end(),
                                    [&](const Entree& x) { return seule == QLatin1String(x.nom); });
        if (e == entrees().end()) {
            qCritical("unknown test class '%s'; the classes of this executable are: %s",
                      qPrintable(seule), qPrintable(nomsConnus()));
            return 2;
        }
        return executer(*e, args);
    }
    if (entrees().size() == 1)
        return executer(entrees().front(), args);
    return executerChaqueClasse(args.mid(1));
}
