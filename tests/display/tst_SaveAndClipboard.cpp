// Saving and copying as the operator does; what files hold is proved on TextWriter.
#include "DialogDriver.h"
#include "FakeLines.h"
#include "display/DisplayGrid.h"
#include "display/frmMain.h"
#include "preferences/ClassPreferences.h"
#include "preferences/frmPreferences.h"

#include <QAction>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>

using namespace Qt::Literals::StringLiterals;

// What another X client gets for a clipboard target, while this process keeps serving it.
static QByteArray clipboardAs(const QString &target)
{
    QProcess xclip;
    xclip.start(u"xclip"_s, {u"-selection"_s, u"clipboard"_s, u"-o"_s, u"-t"_s, target});
    const bool done = QTest::qWaitFor([&] { return xclip.state() == QProcess::NotRunning; }, 10000);
    return done ? xclip.readAllStandardOutput() : QByteArray("timeout");
}

class tst_SaveAndClipboard : public QObject {
    Q_OBJECT
    QTemporaryDir mDir;
private Q_SLOTS:
    void init() { Preferences().setSaveText(0); }

    // The Copy tool copies the selection; UTF-8 for those who ask for it, Latin-1 with "?" for
    // the rest.
    void clipboardOffersBothTexts()
    {
        frmMain window;
        window.FormatText(u"A"_s, u"a"_s);
        window.FormatText(u"A"_s, u"é €"_s);
        QTest::keyClick(window.vsf(), Qt::Key_A, Qt::ControlModifier);
        window.Tool(u"tbrCopy"_s)->trigger();
        QCOMPARE(clipboardAs(u"UTF8_STRING"_s), "[A]  a\r\n[A]  \xc3\xa9 \xe2\x82\xac\r\n");
        QCOMPARE(clipboardAs(u"STRING"_s), "[A]  a\r\n[A]  \xe9 ?\r\n");
    }

    // OK in Settings applies at once (the window was made with another SaveText): the Save
    // button's mark and face follow. The next save proposes that file; cancel writes nothing.
    void settingsReachTheSaveButton()
    {
        const QString path = mDir.filePath(u"out.txt"_s);
        frmMain window;
        window.FormatText(u"A"_s, u"one"_s);
        window.FormatText(u"B"_s, u"two"_s);
        whenShown<frmPreferences>([](frmPreferences *dialog) {
            dialog->optSave[2]->setChecked(true);
            dialog->cmdOK->click();
        });
        window.ToolClick(u"tbrSettings"_s);
        QVERIFY(window.Tool(u"tbrSaveAll"_s)->isChecked());
        whenShown<QFileDialog>([&](QFileDialog *dialog) { acceptTyped(dialog, path); });
        window.ToolClick(u"tbrSave"_s);
        QString offered;
        whenShown<QFileDialog>([&offered](QFileDialog *dialog) {
            offered = dialog->findChild<QLineEdit *>(u"fileNameEdit"_s)->text();
            dialog->reject();
        });
        window.ToolClick(u"tbrSaveAll"_s);
        QCOMPARE(offered, u"out.txt"_s);
        QCOMPARE(readAll(path), "[A]  one\r\n[B]  two\r\n\r\n");
    }

    // Under a filter, copy all, save all and copy marked lines take the shown entries only; new
    // traffic that matches shows at once, the rest is counted.
    void filterNarrowsCopyAndSave()
    {
        const QString path = mDir.filePath(u"shown.txt"_s);
        frmMain window;
        for (const QString &line : {u"keep one"_s, u"drop"_s, u"keep two"_s})
            window.FormatText(line.startsWith(u'd') ? u"B"_s : u"A"_s, line);
        window.vsf()->toggleMark(0);
        window.vsf()->toggleMark(1);
        window.txtFilter->setText(u"KEEP"_s);
        QTRY_COMPARE(window.lblShown->text(), u"2 of 3 entries"_s);
        window.FormatText(u"B"_s, u"keep three"_s);
        window.FormatText(u"B"_s, u"nope"_s);
        QTRY_COMPARE(window.lblShown->text(), u"3 of 5 entries"_s);
        window.mnuCopyAll->trigger();
        const QString shown = u"[A]  keep one\r\n[A]  keep two\r\n[B]  keep three\r\n"_s;
        QTRY_COMPARE(QGuiApplication::clipboard()->text(), shown);
        whenShown<QFileDialog>([&](QFileDialog *dialog) { acceptTyped(dialog, path); });
        window.ToolClick(u"tbrSaveAll"_s);
        QCOMPARE(QString::fromLatin1(readAll(path)), shown + u"\r\n"_s);
        // So do the marked lines: the mark on "drop" stays, hidden.
        window.vsf()->toggleMark(2);
        window.mnuCopyMarked->trigger();
        QTRY_COMPARE(QGuiApplication::clipboard()->text(),
                     u"[A]  keep one\r\n[B]  keep three\r\n"_s);
        QCOMPARE(window.vsf()->marks().size(), 3);
    }

    // Copying and saving block the window while they work; afterwards the grid takes the
    // operator's keys at once, without a click into it.
    void keysWorkAfterCopyAndSave()
    {
        const QString path = mDir.filePath(u"keys.txt"_s);
        frmMain window;
        for (const QString &line : {u"zero"_s, u"one"_s, u"two"_s, u"three"_s, u"four"_s})
            window.FormatText(u"A"_s, line);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        DisplayGrid *grid = window.vsf();
        grid->setFocus();
        QTRY_VERIFY(grid->hasFocus());
        for (const QWidget *tool : window.tbr->findChildren<QWidget *>()) // Tab stays here
            QVERIFY2(!(tool->focusPolicy() & Qt::TabFocus), qPrintable(tool->objectName()));
        grid->setRow(1);
        QTest::mouseClick(grid->viewport(), Qt::RightButton, {}, grid->rowRect(1).center());
        QTRY_VERIFY(window.mnuPopup->isVisible());
        QTest::keySequence(window.mnuPopup, QKeySequence(u"Down, Right"_s)); // Copy
        QTRY_VERIFY(window.mnuCopy->isVisible());
        QTest::keySequence(window.mnuCopy, QKeySequence(u"Down, Return"_s)); // Copy Selected
        QTRY_COMPARE(QGuiApplication::clipboard()->text(), u"[A]  one\r\n"_s);
        QTest::keySequence(window.windowHandle(), QKeySequence(u"Down, Shift+Down, Ctrl+C"_s));
        QTRY_COMPARE(QGuiApplication::clipboard()->text(), u"[A]  two\r\n[A]  three\r\n"_s);
        // The face of the Save button saves the selection (SaveText 0).
        whenShown<QFileDialog>([&](QFileDialog *dialog) { acceptTyped(dialog, path); });
        QToolButton *button = window.tbrSaveButton;
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(4, button->height() / 2));
        QCOMPARE(readAll(path), "[A]  two\r\n[A]  three\r\n\r\n");
        QTest::keySequence(window.windowHandle(), QKeySequence(u"Down, Shift+Down, Ctrl+C"_s));
        QTRY_COMPARE(QGuiApplication::clipboard()->text(), u"[A]  three\r\n[A]  four\r\n"_s);
    }
};

QTEST_MAIN(tst_SaveAndClipboard)
#include "tst_SaveAndClipboard.moc"
