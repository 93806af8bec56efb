// Modal message boxes, behind a seam so tests are answered at once and can see what was asked.
#pragma once

#include <QList>
#include <QString>

#include "model/Seam.h"

namespace quelvane {

enum class MessageIcon { None, Exclamation };

struct MessageRequest {
    QString text;
    QString title;
    MessageIcon icon = MessageIcon::None;
    QString accept; // a question's default button; empty for a message with one OK button
};

class MessageBoxBackend {
public:
    virtual ~MessageBoxBackend() = default;
    // Shows the message with one OK button and returns when it is dismissed.
    virtual void Show(const MessageRequest &request) = 0;
    // Shows the question with its default button `request.accept` and a Cancel button; true
    // when the default button was pressed.
    virtual bool Ask(const MessageRequest &request) = 0;
};

// The real message box unless an Override puts another backend in place.
extern Seam<MessageBoxBackend> MessageBoxSeam;

void ShowMessage(const QString &text, const QString &title, MessageIcon icon);
// A question with the default button `accept` and Cancel; true when `accept` was chosen.
bool AskMessage(const QString &text, const QString &title, MessageIcon icon, const QString &accept);

// The program's own title, used by its message boxes.
inline QString ProgramTitle() { return QStringLiteral("Quelvane Cadrelant Generator"); }

// Test backend: records every message and question and returns at once; a question gets the
// next queued answer (nothing queued: Cancel).
class RecordingMessageBox final : public MessageBoxBackend {
public:
    void Show(const MessageRequest &request) override { shown.append(request); }
    bool Ask(const MessageRequest &request) override
    {
        shown.append(request);
        return !answers.isEmpty() && answers.takeFirst();
    }
    QList<MessageRequest> shown;
    QList<bool> answers;
};

} // namespace quelvane
