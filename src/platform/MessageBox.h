// Modal message boxes, behind a seam so tests are answered at once and can see what was asked.
#pragma once

#include <QList>
#include <QString>

namespace quelvane {

enum class MessageIcon { None, Exclamation };

struct MessageRequest {
    QString text;
    QString title;
    MessageIcon icon = MessageIcon::None;
};

class MessageBoxBackend {
public:
    virtual ~MessageBoxBackend() = default;
    // Shows the message with one OK button and returns when it is dismissed.
    virtual void Show(const MessageRequest &request) = 0;
};

// Installs a backend (nullptr restores the real dialog); returns the previous one.
MessageBoxBackend *SetMessageBoxBackend(MessageBoxBackend *backend);

void ShowMessage(const QString &text, const QString &title, MessageIcon icon);

// The program's own title, used by its message boxes.
inline QString ProgramTitle() { return QStringLiteral("Quelvane Cadrelant Generator"); }

// Test backend: records every message and returns at once.
class RecordingMessageBox final : public MessageBoxBackend {
public:
    void Show(const MessageRequest &request) override { shown.append(request); }
    QList<MessageRequest> shown;
};

} // namespace quelvane
