#include "platform/MessageBox.h"

#include <QMessageBox>
#include <QPushButton>

namespace quelvane {
namespace {

// A plain-text box: texts may come from a file and must never be read as markup.
void Prepare(QMessageBox &box, const MessageRequest &request)
{
    box.setIcon(request.icon == MessageIcon::Exclamation ? QMessageBox::Warning
                                                         : QMessageBox::NoIcon);
    box.setWindowTitle(request.title);
    box.setText(request.text);
    box.setObjectName(QStringLiteral("MessageBox"));
    box.setTextFormat(Qt::PlainText);
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

MessageBoxBackend *g_backend = nullptr;

MessageBoxBackend &Backend()
{
    static QtMessageBox real;
    return g_backend ? *g_backend : real;
}

} // namespace

MessageBoxBackend *SetMessageBoxBackend(MessageBoxBackend *backend)
{
    MessageBoxBackend *previous = g_backend;
    g_backend = backend;
    return previous;
}

void ShowMessage(const QString &text, const QString &title, MessageIcon icon)
{
    Backend().Show({text, title, icon, {}});
}

bool AskMessage(const QString &text, const QString &title, MessageIcon icon, const QString &accept)
{
    return Backend().Ask({text, title, icon, accept});
}

} // namespace quelvane
