#pragma once

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

// Acts on the next modal Dialog once shown, looking every 10 ms while `alive` holds, for 5 s.
template <typename Dialog>
void whenShown(
    std::function<void(Dialog *)> act, std::function<bool()> alive = [] { return true; },
    int attempts = 500)
{
    QTimer::singleShot(10, [act, alive, attempts] {
        auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget());
        if (dialog && dialog->isVisible() && alive())
            act(dialog);
        else if (alive() && attempts > 1)
            whenShown<Dialog>(act, alive, attempts - 1);
    });
}

// Types `name` and presses Enter. Returns the text of the message box the dialog put up instead
// of closing, "" when none came; a box that comes late writes to a text that is still there.
inline QString acceptTyped(QFileDialog *dialog, const QString &name)
{
    const auto warning = std::make_shared<QString>();
    const auto read = [warning](QMessageBox *box) {
        *warning = box->text();
        box->reject();
    };
    whenShown<QMessageBox>(read, [d = QPointer(dialog)] { return d && d->isVisible(); });
    auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    edit->setText(name);
    QTest::keyClick(edit, Qt::Key_Return);
    return *warning;
}

// Closes a window (unless null) and lets it go at once if it deletes itself on close.
inline void closeNow(QWidget *window)
{
    if (window)
        window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
