#include "platform/MessageBox.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>

namespace quelvane {
namespace {

// What a title bar needs for `title`: title bars set their text bold and larger than the
// application's font, beside the window's icon and close box.
int TitleBarWidth(const QString &title)
{
    QFont font = QApplication::font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.25);
    const QFontMetrics metrics(font);
    return metrics.horizontalAdvance(title) + 6 * metrics.height();
}

// A plain-text box: texts may come from a file and must never be read as markup.
void Prepare(QMessageBox &box, const MessageRequest &request)
{
    box.setIcon(request.icon == MessageIcon::Exclamation ? QMessageBox::Warning
                                                         : QMessageBox::NoIcon);
    box.setWindowTitle(request.title);
    box.setText(request.text);
    box.setObjectName(QStringLiteral("MessageBox"));
    box.setTextFormat(Qt::PlainText);
    // A box sized for its text alone is narrower than its title, which the title bar then
    // cuts short: a strut in the box's own grid keeps it wide enough for the whole title.
    if (auto *grid = qobject_cast<QGridLayout *>(box.layout())) {
        grid->addItem(new QSpacerItem(TitleBarWidth(request.title), 0, QSizePolicy::Fixed, QSizePolicy::Minimum),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
}

class QtMessageBox final : public MessageBoxBackend {
public:
    void Show(const MessageRequest &request) override
    {
        QMessageBox box;
        Prepare(box, request);
        box.setStandardButtons(QMessageBox::Ok);
        box.exec();
    }

    bool Ask(const MessageRequest &request) override
    {
        QMessageBox box;
        Prepare(box, request);
        QPushButton *accept = box.addButton(request.accept, QMessageBox::AcceptRole);
        QPushButton *cancel = box.addButton(QMessageBox::Cancel);
        box.setDefaultButton(accept);
        box.setEscapeButton(cancel);
        box.exec();
        return box.clickedButton() == accept;
    }
};

} // namespace

constinit Seam<MessageBoxBackend> MessageBoxSeam(MadeOnFirstUse<MessageBoxBackend, QtMessageBox>);

void ShowMessage(const QString &text, const QString &title, MessageIcon icon)
{
    MessageBoxSeam.Current().Show({text, title, icon, {}});
}

bool AskMessage(const QString &text, const QString &title, MessageIcon icon, const QString &accept)
{
    return MessageBoxSeam.Current().Ask({text, title, icon, accept});
}

} // namespace quelvane
