// Saving and copying from the display window as the operator does it: through the toolbar, the
// save dialog and the real X clipboard. What the file holds and how writing fails is proved on
// ClassFileSystem and TextWriter.
#include "DialogDriver.h"
#include "FakeLines.h"
#include "display/DisplayGrid.h"
#include "display/frmMain.h"
#include "preferences/ClassPreferences.h"
#include "preferences/frmPreferences.h"

#include <QAction>
#include <QClipboard>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QToolButton>

using namespace Qt::Literals::StringLiterals;

namespace {

// What another X client gets for a clipboard target, while this process keeps serving it.
QByteArray clipboardAs(const QString &target)
{
    QProcess xclip;
    xclip.start(u"xclip"_s, {u"-selection"_s, u"clipboard"_s, u"-o"_s, u"-t"_s, target});
    if (!QTest::qWaitFor([&] { return xclip.state() == QProcess::NotRunning; }, 10000))
        return "timeout";
    return xclip.readAllStandardOutput();
}

void saveAs(const QString &path)
{
    whenShown<QFileDialog>([path](QFileDialog *dialog) { acceptTyped(dialog, path); });
}

} // namespace

class tst_SaveAndClipboard : public QObject {
    Q_OBJECT
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

    // The face of the Save button saves what the setting says at the moment of the click (the
    // window was made with another). The next save proposes that file; cancelling writes nothing.
    void saveFollowsTheSettingAndCancelKeepsTheFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"out.txt"_s);
        frmMain window;
        window.FormatText(u"A"_s, u"one"_s);
        window.FormatText(u"B"_s, u"two"_s);
        Preferences().setSaveText(2);
        saveAs(path);
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

    // OK in Settings applies at once: the Save button's default follows.
    void settingsApplyAtOnce()
    {
        frmMain window;
        whenShown<frmPreferences>([](frmPreferences *dialog) {
            dialog->optSave[2]->setChecked(true);
            dialog->cmdOK->click();
        });
        window.ToolClick(u"tbrSettings"_s);
        QVERIFY(window.Tool(u"tbrSaveAll"_s)->isChecked());
    }

    void keysWorkAfterCopyAndSave_data()
    {
        QTest::addColumn<bool>("save");
        QTest::newRow("Copy Selected from the right-click menu") << false;
        QTest::newRow("face of the Save button") << true;
    }

    // Copying and saving block the window while they work; afterwards the grid takes the
    // operator's keys at once, without a click into it.
    void keysWorkAfterCopyAndSave()
    {
        QFETCH(bool, save);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"keys.txt"_s);
        frmMain window;
        for (const QString &line : {u"zero"_s, u"one"_s, u"two"_s, u"three"_s})
            window.FormatText(u"A"_s, line);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        DisplayGrid *grid = window.vsf();
        grid->setFocus();
        QTRY_VERIFY(grid->hasFocus());
        grid->setRow(1);
        QGuiApplication::clipboard()->clear();
        if (save) {
            saveAs(path);
            QToolButton *button = window.tbrSaveButton;
            QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(4, button->height() / 2));
            QCOMPARE(readAll(path), "[A]  one\r\n\r\n");
        } else {
            QTest::mouseClick(grid->viewport(), Qt::RightButton, {}, grid->rowRect(1).center());
            QTRY_VERIFY(window.mnuPopup->isVisible());
            QTest::keyClick(window.mnuPopup, Qt::Key_Down); // Copy
            QTest::keyClick(window.mnuPopup, Qt::Key_Right);
            QTRY_VERIFY(window.mnuCopy->isVisible());
            QTest::keyClick(window.mnuCopy, Qt::Key_Down); // Copy Selected
            QTest::keyClick(window.mnuCopy, Qt::Key_Return);
            QTRY_COMPARE(QGuiApplication::clipboard()->text(), u"[A]  one\r\n"_s);
        }
        QWindow *keys = window.windowHandle();
        QTest::keyClick(keys, Qt::Key_Down);
        QTest::keyClick(keys, Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(keys, Qt::Key_C, Qt::ControlModifier);
        QTRY_COMPARE(QGuiApplication::clipboard()->text(), u"[A]  two\r\n[A]  three\r\n"_s);
    }
};

QTEST_MAIN(tst_SaveAndClipboard)
#include "tst_SaveAndClipboard.moc"
