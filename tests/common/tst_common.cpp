#include "common/texte.h"
#include "support/testmain.h"

#include <QtTest>

class TestCommon : public QObject {
    Q_OBJECT
  private slots:
    void placeholder() { QCOMPARE(champ(QStringLiteral("a|b"), QStringLiteral("|"), 2), QStringLiteral("b")); }
};

TALMIR_TEST(TestCommon)
#include "tst_common.moc"
