// Marks on rows and the highlight rules: the View bar's Marks and Highlights tools.
#include "display/DisplayGrid.h"
#include "display/LineText.h"
#include "display/frmMain.h"
#include "platform/SettingsStore.h"
#include "view/HighlightSettings.h"
#include "view/frmHighlights.h"

#include <QMenu>
#include <QMessageBox>
#include <QToolBar>
#include <QToolButton>

namespace {

// The marked rows that show, as lines to copy.
class MarkedLines final : public LineSource {
public:
    explicit MarkedLines(const DisplayGrid &grid)
        : mGrid(grid)
    {
        for (const int store : grid.marks().rows()) {
            if (const int row = grid.shownRows().shownRow(store); row >= 0)
                mRows.push_back(row);
        }
    }
    int lineCount() const override { return int(mRows.size()); }
    LineView line(int row) const override { return mGrid.line(mRows[std::size_t(row)]); }

private:
    const DisplayGrid &mGrid;
    std::vector<int> mRows;
};

} // namespace

void frmMain::createMarkTools()
{
    tbrMarks = new QToolButton(tbrView);
    tbrMarks->setObjectName(QStringLiteral("tbrMarks"));
    tbrMarks->setText(QStringLiteral("Marks"));
    tbrMarks->setAccessibleName(QStringLiteral("Marks"));
    tbrMarks->setPopupMode(QToolButton::InstantPopup);
    tbrMarks->setFocusPolicy(Qt::NoFocus);
    auto *menu = new QMenu(tbrMarks);
    tbrMarks->setMenu(menu);
    // The keys are the display's own, as F3 is: the menu only names them.
    mnuNextMark =
        menu->addAction(QStringLiteral("Next mark\tF2"), this, [this] { GoToMark(true); });
    mnuPreviousMark = menu->addAction(QStringLiteral("Previous mark\tShift+F2"), this,
                                      [this] { GoToMark(false); });
    mnuCopyMarked =
        menu->addAction(QStringLiteral("Copy marked lines"), this, &frmMain::CopyMarkedLines);
    mnuClearMarks = menu->addAction(QStringLiteral("Clear marks"), this, &frmMain::ClearMarks);
    connect(menu, &QMenu::aboutToShow, this, [this] {
        const bool any = !mGrid->marks().empty();
        for (QAction *item : {mnuNextMark, mnuPreviousMark, mnuCopyMarked, mnuClearMarks})
            item->setEnabled(any);
    });
    tbrView->addWidget(tbrMarks);

    tbrHighlights = tbrView->addAction(QStringLiteral("Highlights…"));
    tbrHighlights->setObjectName(QStringLiteral("tbrHighlights"));
    connect(tbrHighlights, &QAction::triggered, this, &frmMain::EditHighlights);
    mGrid->setHighlightRules(HighlightSettings::load());
}

void frmMain::ToggleMark()
{
    mGrid->toggleMark(mGrid->Row());
}

void frmMain::GoToMark(bool forward)
{
    const int row = forward ? mGrid->nextMark(mGrid->Row()) : mGrid->previousMark(mGrid->Row());
    if (row < 0)
        return;
    mGrid->setRow(row);
    mGrid->ShowCell(row, 0);
}

void frmMain::CopyMarkedLines()
{
    const MarkedLines lines(*mGrid);
    if (lines.lineCount() == 0)
        return;
    putOnClipboard(LineText::BuildLinesText(lines, 0, lines.lineCount() - 1));
}

void frmMain::ClearMarks()
{
    mGrid->clearMarks();
}

void frmMain::EditHighlights()
{
    auto *dialog = new frmHighlights(mGrid->highlightRules(), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        const std::vector<HighlightRule> rules = dialog->rules();
        mGrid->setHighlightRules(rules);
        if (!HighlightSettings::save(rules))
            QMessageBox::warning(this, QStringLiteral("HELIX Debug Display"),
                                 QStringLiteral("The highlight rules apply now, but could not be "
                                                "saved to %1.")
                                     .arg(SettingsStore::fileName()));
    });
    dialog->open();
}
