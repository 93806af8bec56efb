#include "forms/sheet/OutputForm.h"

#include <QPainter>

#include "gui/SysColors.h"
#include "platform/Controls.h"
#include "platform/Printer.h"
#include "platform/Twips.h"

namespace quelvane {

const QString OutputForm::kCaption = QString::fromLatin1(sheet::kSheetCaption);

namespace {

// The panel every element stands on: it shows the sheet in its own pixels, as it would print.
class SheetPanel final : public QWidget {
public:
    explicit SheetPanel(OutputForm *form) : QWidget(form), form_(form) {}

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        form_->DrawSheet(painter, QRectF(ToPixels(sheet::kClientArea)));
    }

private:
    const OutputForm *form_;
};

} // namespace

OutputForm::OutputForm(QWidget *parent)
    : QWidget(parent, Qt::Window), texts_(qsizetype(sheet::SheetEntries().size()))
{
    setObjectName(QStringLiteral("OutputForm"));
    setWindowTitle(kCaption);
    SetColors(this, SystemColor(SysColor::WindowText), SystemColor(SysColor::WindowBackground));
    resize(ToPixels(sheet::kClientArea).size());

    Picture1 = new SheetPanel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    SetColors(Picture1, SystemColor(SysColor::WindowText), SystemColor(SysColor::WindowBackground));
    PlaceTwips(Picture1, sheet::kPanel);
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
