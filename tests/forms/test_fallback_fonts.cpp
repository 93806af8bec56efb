// Runs with the Liberation fonts and their look-alikes hidden
// (without_designed_fonts.sh): every text of every window must still fit its control whole.
#include <QtTest>

#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>

#include "forms/about/frmAbout.h"
#include "forms/FormInstance.h"
#include "forms/Forms.h"
#include "forms/main/MainWindow.h"
#include "forms/viewers/ViewSecret.h"
#include "forms/viewers/ViewSkills.h"
#include "forms/viewers/ViewStats.h"
#include "gui/Fonts.h"
#include "GuiFixture.h"
#include "model/modTarvock.h"
#include "platform/Controls.h"
#include "platform/Twips.h"

using namespace quelvane;

namespace {

// The width a control gives its one line of text.
int Room(QWidget *control)
{
    if (auto *button = qobject_cast<QPushButton *>(control)) {
        QStyleOptionButton option;
        option.initFrom(button);
        // Inside the contents the focus frame takes two pixels each side.
        return button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button).width() - 4;
    }
    if (auto *box = qobject_cast<QLineEdit *>(control)) {
        QStyleOptionFrame option;
        option.initFrom(box);
        option.lineWidth = box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, box);
        // Two pixels each side of the text and one for the cursor.
        return box->style()->subElementRect(QStyle::SE_LineEditContents, &option, box).width() - 5;
    }
    return control->contentsRect().width();
}

QString Shown(QWidget *control)
{
    if (auto *button = qobject_cast<QPushButton *>(control))
        return LabelCaptionText(button->text());
    if (auto *box = qobject_cast<QLineEdit *>(control))
        return box->text();
    return qobject_cast<QLabel *>(control)->text();
}

// The widest values the record can hold.
CharacterRecordType WidestValues()
{
    CharacterRecordType record;
    for (int i = 0; i < kFieldCount; ++i) {
        if (kFields[i].kind == FieldKind::Number)
            record.*(kFields[i].number) = -32768;
    }
    record.Name = "WWW-R-WWW";
    return record;
}

} // namespace

class TestFallbackFonts : public QObject {
    Q_OBJECT

    std::optional<testing::MainFixture> gui_;

private slots:
    void initTestCase()
    {
        SetLogicalDpiForTesting(96);
        // Otherwise this test proves nothing.
        QVERIFY2(!QFontInfo(MsSansSerif(8.25, Bold)).family().startsWith("Liberation"),
                 qPrintable(QFontInfo(MsSansSerif(8.25, Bold)).family()));
    }

    void init() { gui_.emplace(WidestValues()); }
    void cleanup() { gui_.reset(); }

    void everyLineFitsItsControl_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addRow("Main") << "Main";
        QTest::addRow("attributes") << "ViewStats";
        QTest::addRow("skills") << "ViewSkills";
        QTest::addRow("secrets") << "ViewSecret";
        QTest::addRow("about box") << "frmAbout";
    }
    void everyLineFitsItsControl()
    {
        QFETCH(QString, window);
        QWidget *form = gui_->main.get();
        if (window == "ViewStats")
            form = ViewerWindow::ShowForm<ViewStats>();
        else if (window == "ViewSkills")
            form = ViewerWindow::ShowForm<ViewSkills>();
        else if (window == "ViewSecret")
            form = ViewerWindow::ShowForm<ViewSecret>();
        else if (window == "frmAbout")
            form = FormInstance<frmAbout>::Get();
        if (auto *about = qobject_cast<frmAbout *>(form))
            about->Form_Load();
        form->show();

        QStringList tooWide;
        int checked = 0;
        for (QWidget *control : form->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            auto *label = qobject_cast<QLabel *>(control);
            if (label && label->pixmap().isNull() && label->wordWrap()) {
                // Wrapped: every line within the width, all lines within the height.
                const int m = label->margin();
                const QRect room = label->contentsRect().adjusted(m, m, -m, -m);
                const QRect needed = QFontMetrics(label->font()).boundingRect(
                    room, Qt::TextWordWrap | Qt::TextWrapAnywhere, label->text());
                ++checked;
                if (needed.height() > room.height() || needed.width() > room.width())
                    tooWide << control->objectName();
                continue;
            }
            if (!(label && label->pixmap().isNull()) && !qobject_cast<QPushButton *>(control)
                && !qobject_cast<QLineEdit *>(control))
                continue;
            ++checked;
            if (QFontMetrics(control->font()).horizontalAdvance(Shown(control)) > Room(control))
                tooWide << control->objectName() + ": " + Shown(control);
        }
        QVERIFY(checked > 0);
        QVERIFY2(tooWide.isEmpty(), qPrintable(tooWide.join(", ")));
    }
};

QTEST_MAIN(TestFallbackFonts)
#include "test_fallback_fonts.moc"
