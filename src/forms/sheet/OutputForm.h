// OutputForm: the character sheet, a window laid out as the printed page and never shown.
#pragma once

#include <QWidget>
#include <utility>
#include <vector>

#include "model/modTarvock.h"

class QLineEdit;
class QPainter;

namespace quelvane {

struct PrintPage;
class PrinterBackend;

class OutputForm : public QWidget {
    Q_OBJECT

public:
    explicit OutputForm(QWidget *parent = nullptr);

    // Fills every box but txtPlayer from CharacterRecord; the one place the sheet reads it.
    void Form_Load();
    // The same fill from any record (batch output).
    void Fill(const CharacterRecordType &record);

    // Prints the client area's image on the current printer as a one-page job; false, with
    // the reason, when it could not be printed.
    bool PrintForm(QString *error);
    // The same one-page job written to the PDF file at `path` instead, on the locale's paper,
    // replacing it only when the whole file is written.
    bool PrintToPdf(const QString &path, QString *error);

    // Paints the client area into `target` (painter units), as vector drawing.
    void DrawSheet(QPainter &painter, const QRectF &target);
    // Paints it on a page: designed size if it fits, at the top, centred across the paper.
    void DrawOnPage(QPainter &painter, const PrintPage &page);

    // The printed image: the client area, in twips.
    static constexpr int kClientWidth = 11340;
    static constexpr int kClientHeight = 11115;
    static const QString kCaption;

    QWidget *Picture1 = nullptr;

private:
    QLineEdit *Box(const char *name) const;
    bool PrintOn(PrinterBackend &printer, QString *error);

    std::vector<std::pair<QLineEdit *, int16_t CharacterRecordType::*>> numberBoxes_;
    QLineEdit *txtName_ = nullptr;
    QLineEdit *txtService_ = nullptr;
    QLineEdit *txtMutation_ = nullptr;
    QLineEdit *txtSecretSociety_ = nullptr;
};

// Where a sheet of `sheet` size goes on a page (device units): its own size when it fits the
// printable area, else scaled down just enough; at the top of the printable area, centred
// across the paper as far as the printable area allows.
QRectF SheetPlacement(const QSizeF &sheet, const QRectF &paper, const QRectF &printable);

} // namespace quelvane
