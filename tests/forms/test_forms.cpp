#include <QtTest>

#include <QPainter>

#include "forms/FormInstance.h"
#include "forms/Forms.h"
#include "forms/sheet/OutputForm.h"
#include "forms/viewers/ViewSecret.h"
#include "forms/viewers/ViewSkills.h"
#include "forms/viewers/ViewStats.h"
#include "gui/SysColors.h"
#include "model/SheetLayout.h"
#include "platform/Twips.h"

using namespace quelvane;

namespace {

using Opening = QList<void (*)()>;

QStringList g_closed;

// A window that shows the record, named nowhere but here.
class RecordWindow : public QWidget {
public:
    static constexpr int kCloseOrder = 10;
    void Form_Load() {}
    ~RecordWindow() override { g_closed << QStringLiteral("RecordWindow"); }
};

// A window that outlives a new record, as the about box does.
class KeptWindow : public QWidget {
public:
    void Form_Load() {}
    ~KeptWindow() override { g_closed << QStringLiteral("KeptWindow"); }
};

template <class Form>
void Open()
{
    QWidget *form = FormInstance<Form>::Get();
    const QString name = form->objectName();
    QObject::connect(form, &QObject::destroyed, [name] { g_closed << name; });
}

} // namespace

class TestForms : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        UnloadAllForms();
        g_closed.clear();
    }

    void aNewWindowShowingTheRecordIsClosedWithoutBeingListed()
    {
        FormInstance<KeptWindow>::Get();
        FormInstance<RecordWindow>::Get();
        UnloadViewersAndSheet();
        QCOMPARE(g_closed, QStringList{"RecordWindow"});
        QVERIFY(FormInstance<KeptWindow>::IsLoaded());
        UnloadAllForms();
        QCOMPARE(g_closed, (QStringList{"RecordWindow", "KeptWindow"}));
    }

    void newRecordClosesInTheDesignedOrder_data()
    {
        QTest::addColumn<Opening>("opening");
        QTest::addColumn<QStringList>("closed");
        const QStringList all = {"ViewStats", "ViewSkills", "ViewSecret", "OutputForm"};
        QTest::addRow("opened in the designed order") << Opening{
            &Open<ViewStats>, &Open<ViewSkills>, &Open<ViewSecret>, &Open<OutputForm>} << all;
        QTest::addRow("opened the other way round") << Opening{
            &Open<OutputForm>, &Open<ViewSecret>, &Open<ViewSkills>, &Open<ViewStats>} << all;
        QTest::addRow("the sheet printed first, then two viewers")
            << Opening{&Open<OutputForm>, &Open<ViewSecret>, &Open<ViewStats>}
            << QStringList{"ViewStats", "ViewSecret", "OutputForm"};
    }

    void newRecordClosesInTheDesignedOrder()
    {
        QFETCH(Opening, opening);
        QFETCH(QStringList, closed);
        for (auto open : opening)
            open();
        UnloadViewersAndSheet();
        QCOMPARE(g_closed, closed);
        QVERIFY(!FormInstance<ViewStats>::IsLoaded() && !FormInstance<OutputForm>::IsLoaded());
    }

    void theSheetWindowShowsTheSheetAsItPrints()
    {
        CharacterRecord.Name = "SHO-W-NOW";
        CharacterRecord.Strength = 17;
        OutputForm *form = FormInstance<OutputForm>::Get();
        QWidget *panel = form->Picture1;
        QPixmap expected(panel->size());
        expected.fill(SystemColor(SysColor::WindowBackground));
        QPainter painter(&expected);
        form->DrawSheet(painter, QRectF(ToPixels(sheet::kClientArea)));
        painter.end();
        QCOMPARE(panel->grab().toImage(), expected.toImage());
    }
};

QTEST_MAIN(TestForms)
#include "test_forms.moc"
