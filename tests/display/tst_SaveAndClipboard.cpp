// Saving and copying from the display window as the operator does it: through the toolbar, the
// save dialog and the real X clipboard.
#include "DialogDriver.h"
#include "FakeLines.h"
#include "display/DisplayGrid.h"
#include "display/frmMain.h"
#include "output/ClassFileSystem.h"
#include "preferences/ClassPreferences.h"
#include "preferences/frmPreferences.h"

#include <QAccessible>
#include <QAction>
#include <QClipboard>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace {

// Saves with the given tool, typing `name` into the save dialog (empty: cancel it).
void saveWith(frmMain &window, const QString &tool, const QString &name)
{
    whenShown<QFileDialog>([name](QFileDialog *dialog) {
        if (name.isEmpty())
            dialog->reject();
        else
            acceptTyped(dialog, name);
    });
    window.ToolClick(tool);
}

// What another X client gets for a clipboard target, while this process keeps serving it.
QByteArray clipboardAs(const char *target)
{
    QProcess xclip;
    xclip.start(QStringLiteral("xclip"),
                {QStringLiteral("-selection"), QStringLiteral("clipboard"), QStringLiteral("-o"),
                 QStringLiteral("-t"), QLatin1String(target)});
    if (!QTest::qWaitFor([&] { return xclip.state() == QProcess::NotRunning; }, 10000))
        return "timeout";
    return xclip.readAllStandardOutput();
}

} // namespace

class tst_SaveAndClipboard : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { Preferences().setSaveText(0); }
    void clipboardOffersBothTexts_data();
    void clipboardOffersBothTexts();
    void saveFollowsTheSettingAtTheClick();
    void cancelWritesNothingAndKeepsTheProposal();
    void unwritableFileIsReportedAndKept();
    void settingsIsModalHelpIsNot();
    void keysWorkAfterCopyAndSave_data();
    void keysWorkAfterCopyAndSave();
    void toolsPressFromAssistiveTechnology();
};

void tst_SaveAndClipboard::clipboardOffersBothTexts_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QByteArray>("utf8");
    QTest::addColumn<QByteArray>("latin1");
    QTest::newRow("a and b") << QStringList{u"a"_qs, u"b"_qs} << QByteArray("[A]  a\r\n[A]  b\r\n")
                             << QByteArray("[A]  a\r\n[A]  b\r\n");
    QTest::newRow("beyond latin-1 becomes ? in the 8-bit text")
        << QStringList{u"é €"_qs} << QByteArray("[A]  \xc3\xa9 \xe2\x82\xac\r\n")
        << QByteArray("[A]  \xe9 ?\r\n");
}

void tst_SaveAndClipboard::clipboardOffersBothTexts()
{
    QFETCH(QStringList, lines);
    QFETCH(QByteArray, utf8);
    QFETCH(QByteArray, latin1);
    frmMain window;
    for (const QString &line : lines)
        window.FormatText(u"A"_qs, line);
    window.CopyLinesToClipboard(2);
    QCOMPARE(clipboardAs("UTF8_STRING"), utf8);
    QCOMPARE(clipboardAs("STRING"), latin1);
}

// The face of the Save button saves what the setting says at the moment of the click; the
// selection it saved before is saved by keysWorkAfterCopyAndSave.
void tst_SaveAndClipboard::saveFollowsTheSettingAtTheClick()
{
    QTemporaryDir dir;
    frmMain window;
    window.FormatText(u"A"_qs, u"one"_qs);
    window.FormatText(u"B"_qs, u"two"_qs);
    window.vsf()->setRow(0);
    Preferences().setSaveText(2);
    const QString path = dir.filePath(u"out.txt"_qs);
    saveWith(window, u"tbrSave"_qs, path);
    QCOMPARE(readAll(path), QByteArray("[A]  one\r\n[B]  two\r\n\r\n"));
}

void tst_SaveAndClipboard::cancelWritesNothingAndKeepsTheProposal()
{
    QTemporaryDir dir;
    frmMain window;
    window.FormatText(u"A"_qs, u"x"_qs);
    const QString path = dir.filePath(u"kept.txt"_qs);
    saveWith(window, u"tbrSaveAll"_qs, path);
    const QByteArray before = readAll(path);
    QString offered;
    whenShown<QFileDialog>([&offered](QFileDialog *dialog) {
        offered = fileNameEdit(dialog)->text();
        dialog->reject();
    });
    window.ToolClick(u"tbrSaveAll"_qs);
    QCOMPARE(offered, u"kept.txt"_qs); // the last file is proposed again
    QCOMPARE(readAll(path), before);
}

// A file that may not be written (immutable even for root) is named in the report with the
// number for "Permission denied", and keeps what it held.
void tst_SaveAndClipboard::unwritableFileIsReportedAndKept()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"locked.txt"_qs);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("earlier save\r\n\r\n");
    file.close();
    if (QProcess::execute(u"chattr"_qs, {u"+i"_qs, path}) != 0)
        QSKIP("this file system cannot make a file immutable");
    const auto report = std::make_shared<QString>();
    FileSystem().setReporter([report](const QString &text) { *report = text; });
    frmMain window;
    window.FormatText(u"A"_qs, u"x"_qs);
    saveWith(window, u"tbrSaveAll"_qs, path);
    QProcess::execute(u"chattr"_qs, {u"-i"_qs, path});
    QCOMPARE(*report, u"Quarto could not open the file \""_qs + path +
                          u"\"\r\n\r\nError #70: Permission denied"_qs);
    QCOMPARE(readAll(path), QByteArray("earlier save\r\n\r\n"));
}

void tst_SaveAndClipboard::settingsIsModalHelpIsNot()
{
    frmMain window;
    window.show();
    bool wasModal = false;
    whenShown<frmPreferences>([&wasModal](frmPreferences *dialog) {
        wasModal = dialog->isModal();
        dialog->optSave[2]->setChecked(true);
        dialog->cmdOK->click();
    });
    window.ToolClick(u"tbrSettings"_qs); // returns only once the dialog is closed
    QVERIFY(wasModal);
    // OK applied at once: Save All is now the Save button's default.
    QVERIFY(window.Tool(u"tbrSaveAll"_qs)->isChecked());
    QVERIFY(!QApplication::activeModalWidget());
    window.ToolClick(u"tbrHelp"_qs); // returns at once, the window stays open
    QVERIFY(!QApplication::activeModalWidget());
    window.close();
}

void tst_SaveAndClipboard::keysWorkAfterCopyAndSave_data()
{
    QTest::addColumn<QString>("route");
    QTest::newRow("Ctrl+C") << u"Ctrl+C"_qs;
    QTest::newRow("Copy tool") << u"tbrCopy"_qs;
    QTest::newRow("Copy Selected from the right-click menu") << u"menu"_qs;
    QTest::newRow("face of the Save button") << u"tbrSave"_qs;
}

// Copying and saving block the window while they work; afterwards the grid takes the
// operator's keys at once, without a click into it.
void tst_SaveAndClipboard::keysWorkAfterCopyAndSave()
{
    QFETCH(QString, route);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"keys.txt"_qs);
    frmMain window;
    for (const char *line : {"zero", "one", "two", "three"})
        window.FormatText(u"A"_qs, QLatin1String(line));
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    DisplayGrid *grid = window.vsf();
    grid->setFocus();
    QTRY_VERIFY(grid->hasFocus());
    grid->setRow(1);
    QGuiApplication::clipboard()->clear();
    QWindow *keys = window.windowHandle();

    if (route == u"Ctrl+C"_qs) {
        QTest::keyClick(keys, Qt::Key_C, Qt::ControlModifier);
    } else if (route == u"menu"_qs) {
        QTest::mouseClick(grid->viewport(), Qt::RightButton, {}, grid->rowRect(1).center());
        QTRY_VERIFY(window.mnuPopup->isVisible());
        QTest::keyClick(window.mnuPopup, Qt::Key_Down); // Copy
        QTest::keyClick(window.mnuPopup, Qt::Key_Right);
        QTRY_VERIFY(window.mnuCopy->isVisible());
        QTest::keyClick(window.mnuCopy, Qt::Key_Down); // Copy Selected
        QTest::keyClick(window.mnuCopy, Qt::Key_Return);
        QTRY_VERIFY(!window.mnuPopup->isVisible());
    } else {
        if (route == u"tbrSave"_qs)
            whenShown<QFileDialog>([path](QFileDialog *dialog) { acceptTyped(dialog, path); });
        QWidget *button = route == u"tbrSave"_qs ? window.tbrSaveButton
                                                 : window.tbr->widgetForAction(window.Tool(route));
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(4, button->height() / 2));
    }
    if (route == u"tbrSave"_qs)
        QCOMPARE(readAll(path), QByteArray("[A]  one\r\n\r\n"));
    else
        QTRY_COMPARE(QGuiApplication::clipboard()->text(), u"[A]  one\r\n"_qs);

    QTest::keyClick(keys, Qt::Key_Down);
    QTest::keyClick(keys, Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(QList<int>({grid->Row(), grid->RowSel()}), QList<int>({2, 3}));
    QTest::keyClick(keys, Qt::Key_C, Qt::ControlModifier);
    QTRY_COMPARE(QGuiApplication::clipboard()->text(), u"[A]  two\r\n[A]  three\r\n"_qs);
}

// A screen reader presses the enabled tools; the Save tool's press saves what its face saves,
// and its menu stays within reach.
void tst_SaveAndClipboard::toolsPressFromAssistiveTechnology()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"pressed.txt"_qs);
    frmMain window;
    window.FormatText(u"A"_qs, u"one"_qs);
    window.FormatText(u"B"_qs, u"two"_qs);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QString press = QAccessibleActionInterface::pressAction();
    QStringList pressable;
    for (QAction *action : window.tbr->actions()) {
        QWidget *tool = window.tbr->widgetForAction(action);
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(tool);
        if (action->isSeparator() || !tool->isEnabled())
            continue;
        QAccessibleActionInterface *actions = accessible->actionInterface();
        QVERIFY(actions);
        if (actions->actionNames().contains(press))
            pressable << accessible->text(QAccessible::Name);
    }
    QCOMPARE(pressable.join(u' '), u"First Up Find Copy Save Clear Settings Help"_qs);

    QAccessibleActionInterface *save =
        QAccessible::queryAccessibleInterface(window.tbrSaveButton)->actionInterface();
    whenShown<QFileDialog>([path](QFileDialog *dialog) { acceptTyped(dialog, path); });
    save->doAction(press);
    QTRY_COMPARE(readAll(path), QByteArray("[B]  two\r\n\r\n"));

    bool menuShown = false;
    QTimer poll;
    connect(&poll, &QTimer::timeout, &window, [&] {
        if (window.tbrPopupSave->isVisible()) {
            menuShown = true;
            window.tbrPopupSave->close();
        }
    });
    poll.start(10);
    save->doAction(QAccessibleActionInterface::showMenuAction());
    QTRY_VERIFY(menuShown);
}

QTEST_MAIN(tst_SaveAndClipboard)
#include "tst_SaveAndClipboard.moc"
