#include "common/texte.h"

#include <QtTest>

class TestCommon : public QObject {
    Q_OBJECT
  private slots:
    void placeholder() { QCOMPARE(champ(QStringLiteral("a|b"), QStringLiteral("|"), 2), QStringLiteral("b")); }
};

QTEST_MAIN(TestCommon)
#include "tst_common.moc"
