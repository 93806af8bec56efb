// OutputForm: the character sheet, a window laid out as the printed page and never shown.
// Its elements are the sheet's table; the window only holds the texts it was filled with.
#pragma once

#include <QWidget>

#include "model/modTarvock.h"
#include "sheet/SheetPainter.h"

class QPainter;

namespace quelvane {

struct PrintPage;
class PrinterBackend;

class OutputForm : public QWidget {
    Q_OBJECT

public:
    explicit OutputForm(QWidget *parent = nullptr);
    static constexpr int kCloseOrder = 4; // after the viewers

    // Fills every box but txtPlayer from CharacterRecord; the one place the sheet reads it.
    void Form_Load();
    // The same fill from any record (batch output).
    void Fill(const CharacterRecordType &record);

    // What the box of that name holds ("txtStrength"); empty for a name without a box.
    QString Text(const QString &box) const;

    // Prints the client area's image on the current printer as a one-page job; false, with
    // the reason, when it could not be printed.
    bool PrintForm(QString *error);
    // The same one-page job written to the PDF file at `path` instead, on the locale's paper,
    // replacing it only when the whole file is written.
    bool PrintToPdf(const QString &path, QString *error);

    // Paints the client area into `target` (painter units), as vector drawing.
    void DrawSheet(QPainter &painter, const QRectF &target) const;
    // Paints it on a page: designed size if it fits, at the top, centred across the paper.
    void DrawOnPage(QPainter &painter, const PrintPage &page) const;

    // The printed image: the client area, in twips.
    static constexpr int kClientWidth = sheet::kClientArea.width;
    static constexpr int kClientHeight = sheet::kClientArea.height;
    static const QString kCaption;

    // The panel every element stands on; it paints the sheet.
    QWidget *Picture1 = nullptr;

private:
    bool PrintOn(PrinterBackend &printer, QString *error);

    SheetTexts texts_;
};

} // namespace quelvane
