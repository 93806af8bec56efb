#include "platform/Accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>
#include <QWidget>

namespace quelvane {
namespace {

// Which role a widget was given here; widgets without it keep the toolkit's own.
constexpr char kRole[] = "quelvaneAccessibleRole";

// A notice names itself by its text, as a label does.
class NoticeAccessible final : public QAccessibleWidget {
public:
    explicit NoticeAccessible(QLabel *label) : QAccessibleWidget(label, QAccessible::Notification) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return static_cast<QLabel *>(widget())->text();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface *Factory(const QString &, QObject *object)
{
    const QVariant role = object ? object->property(kRole) : QVariant();
    if (!role.isValid())
        return nullptr;
    if (auto *label = qobject_cast<QLabel *>(object); label && role.toInt() == QAccessible::Notification)
        return new NoticeAccessible(label);
    return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Role(role.toInt()));
}

void Expose(QWidget *widget, QAccessible::Role role)
{
    // Installing twice is ignored.
    QAccessible::installFactory(Factory);
    widget->setProperty(kRole, int(role));
}

} // namespace

void ExposeAsFrame(QWidget *window)
{
    Expose(window, QAccessible::Window);
}

void ExposeAsNotice(QLabel *label)
{
    Expose(label, QAccessible::Notification);
}

void Announce(QLabel *notice)
{
    // A notification that shows is what screen readers speak unasked; the label is already
    // on screen, so it is shown again to the accessibility layer only.
    if (!notice->isVisible())
        return;
    QAccessibleEvent shown(notice, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}

} // namespace quelvane
