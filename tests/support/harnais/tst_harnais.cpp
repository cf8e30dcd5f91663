// Two classes for the runner's own checks (tests/CMakeLists.txt, harnais.*): one passes, the
// other crashes the process it runs in.
#include "support/testmain.h"

#include <QtTest>
#include <cstdlib>

class TestQuiPasse : public QObject {
    Q_OBJECT
  private slots:
    void passe() { QVERIFY(true); }
};

class TestQuiPlante : public QObject {
    Q_OBJECT
  private slots:
    void plante() { std::abort(); }
};

TALMIR_TEST(TestQuiPasse)
TALMIR_TEST(TestQuiPlante)
#include "tst_harnais.moc"
