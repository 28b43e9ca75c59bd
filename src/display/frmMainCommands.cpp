// Copy and clear, the right-click menu, and the keys the grid hands to the window.
#include "display/DisplayGrid.h"
#include "display/KeyCodes.h"
#include "display/LineText.h"
#include "display/frmMain.h"
#include "find/ClassFind.h"
#include "session/SessionLog.h"
#include "session/frmSession.h"

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QMenu>
#include <QMimeData>

namespace {

LineText::GridPosition positionOf(const DisplayGrid &grid, const frmMain &window)
{
    return {grid.Rows(),   grid.FixedRows(),       grid.Row(),
            grid.RowSel(), window.CurrentEntryRow, window.NextEntryRow};
}

} // namespace

void frmMain::createRightClickMenu()
{
    mnuPopup = new QMenu(QStringLiteral("Popup"), this);
    mnuPopup->setObjectName(QStringLiteral("mnuPopup"));
    mnuCopy = mnuPopup->addMenu(QStringLiteral("Copy"));
    mnuCopy->setObjectName(QStringLiteral("mnuCopy"));
    mnuSave = mnuPopup->addMenu(QStringLiteral("Save"));
    mnuSave->setObjectName(QStringLiteral("mnuSave"));
    const auto item = [this](QMenu *menu, const char *name, const char *caption,
                             void (frmMain::*command)(int), int scope) {
        QAction *action = menu->addAction(QLatin1String(caption));
        action->setObjectName(QLatin1String(name));
        action->setEnabled(false);
        connect(action, &QAction::triggered, this,
                [this, command, scope] { (this->*command)(scope); });
        return action;
    };
    using namespace LineText;
    mnuCopySelected = item(mnuCopy, "mnuCopySelected", "Copy &Selected",
                           &frmMain::CopyLinesToClipboard, Selection);
    mnuCopyCurrent = item(mnuCopy, "mnuCopyCurrent", "Copy &Current",
                          &frmMain::CopyLinesToClipboard, CurrentEntry);
    mnuCopyAll = item(mnuCopy, "mnuCopyAll", "Copy &All", &frmMain::CopyLinesToClipboard, AllLines);
    mnuSaveSelected =
        item(mnuSave, "mnuSaveSelected", "Save &Selected", &frmMain::SaveLinesToFile, Selection);
    mnuSaveCurrent =
        item(mnuSave, "mnuSaveCurrent", "Save &Current", &frmMain::SaveLinesToFile, CurrentEntry);
    mnuSaveAll = item(mnuSave, "mnuSaveAll", "Save &All", &frmMain::SaveLinesToFile, AllLines);
    mLineCommands << mnuCopySelected << mnuCopyCurrent << mnuCopyAll << mnuSaveSelected
                  << mnuSaveCurrent << mnuSaveAll;
}

void frmMain::CopyLinesToClipboard(int Scope)
{
    LineText::Range range;
    if (!LineText::GetLineRange(Scope, positionOf(*mGrid, *this), range))
        return;
    BeginBusy();
    const QByteArray text = LineText::BuildLinesText(*mGrid, range.first, range.last);
    EndBusy();
    if (!text.isEmpty())
        putOnClipboard(text);
}

void frmMain::putOnClipboard(const QByteArray &utf8)
{
    // Plain text is held as UTF-8, as setText would hold it, but built without a UTF-16 copy
    // first. The X11 clipboard offers it in both forms: UTF-8, and ISO-8859-1 with "?" for
    // what that cannot hold.
    auto *data = new QMimeData;
    data->setData(QStringLiteral("text/plain"), utf8);
    QGuiApplication::clipboard()->setMimeData(data);
}

void frmMain::ClearDisplay()
{
    mGrid->clearRows();
    Session().clearEntries(Session().now());
    mEntries.clear();
    mFacts.clear();
    mShownEntries = 0;
    mUnseenEntries = 0;
    mHeldCurrent = -1;
    mNewestScan = {};
    if (mFilterRun)
        mFilterRun.emplace(mFilterRun->filter());
    updateShownLabel();
}

// Disabling the window takes the keyboard focus from it, and enabling it again gives the focus
// to nobody: the widget that had it gets it back, so the operator's next key still works.
void frmMain::BeginBusy()
{
    mFocusBeforeBusy = focusWidget();
    setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void frmMain::EndBusy()
{
    setEnabled(true);
    if (mFocusBeforeBusy)
        mFocusBeforeBusy->setFocus(Qt::OtherFocusReason);
    mFocusBeforeBusy.clear();
    QApplication::restoreOverrideCursor();
}

// The keys act only while the matching tool is enabled, and the grid still handles each key
// itself.
void frmMain::vsf_KeyDown(int KeyCode, int Shift)
{
    using namespace KeyCodes;
    const bool findEnabled = Tool(QStringLiteral("tbrFind"))->isEnabled();
    if (Shift & CtrlMask) {
        if (KeyCode == vbKeyC && Tool(QStringLiteral("tbrCopy"))->isEnabled())
            CopyLinesToClipboard(LineText::Selection);
        else if (KeyCode == vbKeyF && findEnabled)
            Finder().ShowFindDialog();
        else if (KeyCode == vbKeyI)
            showSessionWindow(this);
        else if (KeyCode == vbKeyF2 && Shift == CtrlMask)
            ToggleMark();
    } else if (KeyCode == vbKeyF2 && (Shift & ~ShiftMask) == 0) {
        GoToMark(!(Shift & ShiftMask));
    } else if (KeyCode == vbKeyF3 && findEnabled) {
        Finder().FindNext((Shift & ShiftMask) ? kFindUp : kFindDown);
    } else if (KeyCode == vbKeyScrollLock) {
        setFollowing(!Following());
    }
}

void frmMain::vsf_MouseUp(int Button, int, double, double)
{
    if (Button == KeyCodes::vbRightButton)
        mnuPopup->popup(QCursor::pos());
}
