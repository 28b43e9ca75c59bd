// The toolbar and the rule that enables the commands.
#include "display/DisplayGrid.h"
#include "display/LineText.h"
#include "display/SaveToolButton.h"
#include "display/frmMain.h"
#include "find/ClassFind.h"
#include "help/frmHelp.h"
#include "platform/ToolIcons.h"
#include "preferences/ClassPreferences.h"
#include "preferences/frmPreferences.h"

#include <QMenu>
#include <QToolBar>
#include <QToolButton>

namespace {

struct ToolLayout {
    const char *name;
    const char *caption;
    bool startsGroup;
};

constexpr ToolLayout kMainTools[] = {
    {"tbrFirst", "First", true}, {"tbrUp", "Up", false},       {"tbrDown", "Down", false},
    {"tbrLast", "Last", false},  {"tbrFind", "Find", true},    {"tbrCopy", "Copy", false},
    {"tbrSave", "Save", false},  {"tbrClear", "Clear", false}, {"tbrSettings", "Settings", true},
    {"tbrHelp", "Help", false},
};

constexpr ToolLayout kPopupSaveTools[] = {
    {"tbrSaveAll", "Save All", false},
    {"tbrSaveCurrent", "Save Current", false},
    {"tbrSaveSelection", "Save Selection", false},
};

} // namespace

void frmMain::createToolbar()
{
    tbr = new QToolBar(QStringLiteral("Main"), this);
    tbr->setObjectName(QStringLiteral("tbrMain"));
    tbr->setMovable(false);
    tbr->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    addToolBar(tbr);

    tbrPopupSave = new QMenu(QStringLiteral("PopupSave"), this);
    tbrPopupSave->setObjectName(QStringLiteral("tbrPopupSave"));
    for (const ToolLayout &entry : kPopupSaveTools) {
        QAction *tool = tbrPopupSave->addAction(QLatin1String(entry.caption));
        tool->setObjectName(QLatin1String(entry.name));
        tool->setCheckable(true);
        // The check mark shows the Save button's default and changes only with it, never
        // because the entry was chosen.
        connect(tool, &QAction::triggered, tool,
                [tool](bool checked) { tool->setChecked(!checked); });
        mTools.insert(tool->objectName(), tool);
    }

    bool first = true;
    for (const ToolLayout &entry : kMainTools) {
        const QString name = QLatin1String(entry.name);
        if (entry.startsGroup && !first)
            tbr->addSeparator();
        first = false;
        auto *tool = new QAction(ToolIcons::icon(name), QLatin1String(entry.caption), this);
        tool->setObjectName(name);
        mTools.insert(name, tool);
        if (name == QLatin1String("tbrSave")) {
            tbrSaveButton = new SaveToolButton(tbr);
            tbrSaveButton->setObjectName(QStringLiteral("tbrSaveButton"));
            tbrSaveButton->setDefaultAction(tool);
            tbrSaveButton->setMenu(tbrPopupSave);
            tbrSaveButton->setPopupMode(QToolButton::MenuButtonPopup);
            tbrSaveButton->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
            tbr->addWidget(tbrSaveButton);
        } else {
            tbr->addAction(tool);
        }
    }
    for (const char *name : {"tbrClear", "tbrCopy", "tbrSave", "tbrFind", "tbrSaveAll",
                             "tbrSaveCurrent", "tbrSaveSelection"})
        mLineCommands << Tool(QLatin1String(name));
    mBackCommands = {Tool(QStringLiteral("tbrFirst")), Tool(QStringLiteral("tbrUp"))};
    mForwardCommands = {Tool(QStringLiteral("tbrDown")), Tool(QStringLiteral("tbrLast"))};
    // Until the first update of the command state, only the commands that need no lines
    // can be used.
    for (QAction *tool : std::as_const(mTools)) {
        const QString name = tool->objectName();
        tool->setEnabled(name == QLatin1String("tbrSettings") || name == QLatin1String("tbrHelp"));
        connect(tool, &QAction::triggered, this, [this, name] { ToolClick(name); });
    }
}

void frmMain::ToolClick(const QString &name)
{
    IsNavigating = true;
    if (name == QLatin1String("tbrFirst")) {
        GoToFirstEntry();
    } else if (name == QLatin1String("tbrUp")) {
        GoToPreviousEntry();
    } else if (name == QLatin1String("tbrDown")) {
        GoToNextEntry();
    } else if (name == QLatin1String("tbrLast")) {
        GoToLastEntry();
    } else if (name == QLatin1String("tbrClear")) {
        ClearDisplay();
    } else if (name == QLatin1String("tbrCopy")) {
        CopyLinesToClipboard(LineText::Selection);
    } else if (name == QLatin1String("tbrSave")) {
        SaveLinesToFile(Preferences().SaveText());
    } else if (name == QLatin1String("tbrSaveAll")) {
        SaveLinesToFile(LineText::AllLines);
    } else if (name == QLatin1String("tbrSaveCurrent")) {
        SaveLinesToFile(LineText::CurrentEntry);
    } else if (name == QLatin1String("tbrSaveSelection")) {
        SaveLinesToFile(LineText::Selection);
    } else if (name == QLatin1String("tbrSettings")) {
        auto *dialog = new frmPreferences(this, [this] { ApplyPreferences(); });
        dialog->exec();
    } else if (name == QLatin1String("tbrHelp")) {
        showHelpWindow();
    } else if (name == QLatin1String("tbrFind")) {
        Finder().ShowFindDialog();
    }
    IsNavigating = false;
    UpdateCommandState();
}

void frmMain::UpdateCommandState()
{
    const bool hasLines = mGrid->Rows() > mGrid->FixedRows();
    const bool canGoBack = mEntries.canGoBack(mGrid->Row());
    const bool canGoForward = mEntries.canGoForward();
    for (QAction *command : std::as_const(mLineCommands))
        command->setEnabled(hasLines);
    for (QAction *command : std::as_const(mBackCommands))
        command->setEnabled(canGoBack);
    for (QAction *command : std::as_const(mForwardCommands))
        command->setEnabled(canGoForward);
}

void frmMain::MarkDefaultSaveTool(int SaveText)
{
    const char *checked = nullptr;
    switch (SaveText) {
    case LineText::Selection:
        checked = "tbrSaveSelection";
        break;
    case LineText::CurrentEntry:
        checked = "tbrSaveCurrent";
        break;
    case LineText::AllLines:
        checked = "tbrSaveAll";
        break;
    default:
        return;
    }
    for (const ToolLayout &entry : kPopupSaveTools)
        Tool(QLatin1String(entry.name))->setChecked(qstrcmp(entry.name, checked) == 0);
}
