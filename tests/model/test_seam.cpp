#include <QtTest>

#include "model/Seam.h"

using namespace quelvane;

namespace {

struct Answer {
    explicit Answer(int value) : value(value) {}
    virtual ~Answer() = default;
    int value;
};

int g_realMade = 0;

Answer &Real()
{
    ++g_realMade;
    static Answer real(0);
    return real;
}

constinit Seam<Answer> g_seam(Real);

} // namespace

class TestSeam : public QObject {
    Q_OBJECT

private slots:
    void init() { g_realMade = 0; }

    // Each guard holds for its scope and puts back what it found, the real backend last. The
    // real backends reach the system (a print scheduler, the clock): while a test's own is in
    // place they are not made.
    void guardsEachRestoreWhatTheyFound()
    {
        Answer outer(1);
        Answer inner(2);
        {
            const Override first(g_seam, outer);
            {
                const Override second(g_seam, inner);
                QCOMPARE(&g_seam.Current(), &inner);
            }
            QCOMPARE(&g_seam.Current(), &outer);
            QCOMPARE(g_realMade, 0);
        }
        QCOMPARE(g_seam.Current().value, 0);
    }
};

QTEST_GUILESS_MAIN(TestSeam)
#include "test_seam.moc"
