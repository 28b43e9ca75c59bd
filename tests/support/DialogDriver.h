#pragma once

// Driving dialogs from a test: act on the next modal one that shows, type into a file dialog,
// close windows for good.
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <functional>
#include <initializer_list>
#include <memory>

// Runs `act` on the next modal dialog of type Dialog once it shows, looking every 10 ms while
// `alive` holds, for five seconds at most.
template <typename Dialog>
void whenShown(
    std::function<void(Dialog *)> act, std::function<bool()> alive = [] { return true; },
    int attempts = 500)
{
    QTimer::singleShot(10, [act, alive, attempts] {
        if (!alive() || attempts == 0)
            return;
        auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget());
        if (dialog && dialog->isVisible())
            act(dialog);
        else
            whenShown<Dialog>(act, alive, attempts - 1);
    });
}

// Types `name` (unless empty) and presses Enter. Returns the text of the message box the
// dialog put up instead of closing, "" when none came.
inline QString acceptTyped(QFileDialog *dialog, const QString &name)
{
    const auto warning = std::make_shared<QString>();
    const QPointer<QFileDialog> guard(dialog);
    whenShown<QMessageBox>(
        [warning](QMessageBox *box) {
            *warning = box->text();
            box->reject();
        },
        [guard] { return guard && guard->isVisible(); });
    auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    if (!name.isEmpty())
        edit->setText(name);
    QTest::keyClick(edit, Qt::Key_Return);
    return *warning;
}

// Closes each window given (null ones are skipped) and lets those that delete themselves on
// close go, so that the next one opened is new.
inline void closeNow(std::initializer_list<QWidget *> windows)
{
    for (QWidget *window : windows) {
        if (window)
            window->close();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
