#include "forms/sheet/OutputForm.h"

#include <QEvent>
#include <QPainter>

#include "platform/Controls.h"
#include "platform/Printer.h"
#include "platform/SysColors.h"
#include "platform/Twips.h"

namespace quelvane {

const QString OutputForm::kCaption = QString::fromLatin1(sheet::kSheetCaption);

namespace {

using enum ControlKind;

constexpr TwipsRect ToTwipsRect(const sheet::Rect &r)
{
    return {r.left, r.top, r.width, r.height};
}

// The panel every element stands on; the sheet's painter draws them on it.
constexpr Control kControls[] = {
    {Picture, "Picture1", nullptr, ToTwipsRect(sheet::kPanel), kNoTab, kDefaultFont, {},
     SchemeColour(SysColor::WindowText), SchemeColour(SysColor::WindowBackground)},
};

} // namespace

OutputForm::OutputForm(QWidget *parent)
    : QWidget(parent, Qt::Window), texts_(qsizetype(sheet::SheetEntries().size()))
{
    setObjectName(QStringLiteral("OutputForm"));
    setWindowTitle(kCaption);
    SetColors(this, SystemColor(SysColor::WindowText), SystemColor(SysColor::WindowBackground));
    resize(ToPixels(ToTwipsRect(sheet::kClientArea)).size());

    BuildControls(this, kControls);
    Picture1 = FindControl<QWidget>(this, "Picture1");
    Picture1->installEventFilter(this);
}

bool OutputForm::eventFilter(QObject *watched, QEvent *event)
{
    // The panel shows the sheet in its own pixels, as it would print.
    if (watched == Picture1 && event->type() == QEvent::Paint) {
        QPainter painter(Picture1);
        DrawSheet(painter, QRectF(ToPixels({0, 0, kClientWidth, kClientHeight})));
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void OutputForm::Form_Load()
{
    Fill(CharacterRecord);
}

void OutputForm::Fill(const CharacterRecordType &record)
{
    texts_ = FillSheet(record);
    Picture1->update();
}

QString OutputForm::Text(const QString &box) const
{
    const auto entries = sheet::SheetEntries();
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].box && box == QLatin1String(entries[i].box))
            return texts_.value(qsizetype(i));
    }
    return {};
}

void OutputForm::DrawSheet(QPainter &painter, const QRectF &target) const
{
    quelvane::DrawSheet(painter, target, texts_);
}

void OutputForm::DrawOnPage(QPainter &painter, const PrintPage &page) const
{
    DrawSheetOnPage(painter, page.paper, page.printable, page.dotsPerInch, texts_);
}

bool OutputForm::PrintForm(QString *error)
{
    return PrintOn(CurrentPrinter(), error);
}

bool OutputForm::PrintToPdf(const QString &path, QString *error)
{
    // The paper a printer of this locale would have; the sheet keeps its designed size on both.
    PdfFilePrinter file(path, PdfPageLayout(LocalePaperSize()));
    return PrintOn(file, error);
}

bool OutputForm::PrintOn(PrinterBackend &printer, QString *error)
{
    PrintJob job;
    job.title = kCaption;
    job.pageCount = 1;
    job.drawPage = [this](QPainter &painter, const PrintPage &page, int) { DrawOnPage(painter, page); };
    return printer.Print(job, error);
}

} // namespace quelvane
