#include "display/SaveToolButton.h"

#include <QAccessibleWidget>
#include <QMenu>

namespace {

class SaveToolAccessible : public QAccessibleWidget {
public:
    explicit SaveToolAccessible(QToolButton *button)
        : QAccessibleWidget(button, QAccessible::ButtonMenu)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && button()->accessibleName().isEmpty())
            return button()->text().remove(QLatin1Char('&'));
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.hasPopup = true;
        s.pressed = button()->isDown();
        return s;
    }

    // The scopes stay readable, with the checked one, while the menu is closed, as for the
    // split buttons Qt makes itself.
    int childCount() const override { return button()->menu() ? 1 : 0; }
    QAccessibleInterface *child(int index) const override
    {
        return index == 0 && button()->menu()
                   ? QAccessible::queryAccessibleInterface(button()->menu())
                   : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child && button()->menu() && child->object() == button()->menu() ? 0 : -1;
    }

    QStringList actionNames() const override
    {
        QStringList names;
        if (widget()->isEnabled())
            names << pressAction() << showMenuAction();
        return names + QAccessibleWidget::actionNames();
    }

    // Both run after the request has been answered: the save opens a modal dialog and the
    // menu runs a loop of its own, and neither may hold up the assistive tool that asked.
    void doAction(const QString &name) override
    {
        if (!widget()->isEnabled()) {
            QAccessibleWidget::doAction(name);
            return;
        }
        if (name == pressAction())
            QMetaObject::invokeMethod(button(), &QToolButton::click, Qt::QueuedConnection);
        else if (name == showMenuAction())
            QMetaObject::invokeMethod(button(), &QToolButton::showMenu, Qt::QueuedConnection);
        else
            QAccessibleWidget::doAction(name);
    }

private:
    QToolButton *button() const { return static_cast<QToolButton *>(widget()); }
};

QAccessibleInterface *factory(const QString &className, QObject *object)
{
    if (className == QLatin1String("SaveToolButton") && object && object->isWidgetType())
        return new SaveToolAccessible(static_cast<QToolButton *>(object));
    return nullptr;
}

} // namespace

SaveToolButton::SaveToolButton(QWidget *parent)
    : QToolButton(parent)
{
    // Like the toolbar's other tools it takes no focus, so Tab leaves the keyboard with the
    // lines and their keys.
    setFocusPolicy(Qt::NoFocus);
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    Q_UNUSED(installed);
}
