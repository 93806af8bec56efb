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

    void aGuardPutsItsBackendInPlaceForItsScopeOnly()
    {
        Answer test(1);
        {
            const Override guard(g_seam, test);
            QCOMPARE(&g_seam.Current(), &test);
        }
        QCOMPARE(g_seam.Current().value, 0);
    }

    void nestedGuardsEachRestoreWhatTheyFound()
    {
        Answer outer(1);
        Answer inner(2);
        const Override first(g_seam, outer);
        {
            const Override second(g_seam, inner);
            QCOMPARE(g_seam.Current().value, 2);
        }
        QCOMPARE(g_seam.Current().value, 1);
    }

    // The real backends reach the system (a print scheduler, the clock): a test that has put
    // its own in place must not make them.
    void theRealBackendIsNotAskedForWhileAGuardHolds()
    {
        Answer test(1);
        const Override guard(g_seam, test);
        g_seam.Current();
        QCOMPARE(g_realMade, 0);
    }
};

QTEST_GUILESS_MAIN(TestSeam)
#include "test_seam.moc"
