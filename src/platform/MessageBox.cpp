#include "platform/MessageBox.h"

#include <QMessageBox>

namespace quelvane {
namespace {

class QtMessageBox final : public MessageBoxBackend {
public:
    void Show(const MessageRequest &request) override
    {
        QMessageBox box(request.icon == MessageIcon::Exclamation ? QMessageBox::Warning
                                                                 : QMessageBox::NoIcon,
                        request.title, request.text, QMessageBox::Ok);
        box.setObjectName(QStringLiteral("MessageBox"));
        box.setTextFormat(Qt::PlainText);
        box.exec();
    }
};

MessageBoxBackend *g_backend = nullptr;

} // namespace

MessageBoxBackend *SetMessageBoxBackend(MessageBoxBackend *backend)
{
    MessageBoxBackend *previous = g_backend;
    g_backend = backend;
    return previous;
}

void ShowMessage(const QString &text, const QString &title, MessageIcon icon)
{
    static QtMessageBox real;
    (g_backend ? g_backend : &real)->Show({text, title, icon});
}

} // namespace quelvane
