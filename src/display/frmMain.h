#pragma once

#include "display/ClientSet.h"
#include "display/EntryFormatter.h"
#include "display/EntryNavigation.h"
#include "platform/HelixError.h"
#include "platform/NormalPlacement.h"
#include "platform/PositionedForm.h"
#include "session/SessionTarget.h"
#include "view/EntryFacts.h"
#include "view/ViewFilter.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include <memory>
#include <optional>

class DisplayGrid;
class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QToolBar;
class QToolButton;

// The display window: the grid of trace lines, its toolbar and menus. The rules live in
// EntryFormatter, EntryNavigation and NormalPlacement; the window calls them and brings the
// grid up to date.
class frmMain : public QMainWindow, public PositionedForm, public SessionTarget {
    Q_OBJECT
    // The rules the members below delegate to.
    EntryFormatter mFormatter;
    EntryNavigation mEntries;
    NormalPlacement mPlacement;

public:
    // Creating the window loads it: minimum size, saved or top-left position, preferences.
    explicit frmMain(QWidget *parent = nullptr);
    ~frmMain() override;

    // The smallest outer size, in twips (240 x 130 pixels).
    qint16 miMinWidthTwips = 0;
    qint16 miMinHeightTwips = 0;

    DisplayGrid *vsf() const { return mGrid; }

    // True from the window's creation until it has finished closing.
    bool mbLoaded = false;
    // The client-interface object whose clients are told to stop tracing when the window
    // closes; empty until a client initializes, and again after each close.
    std::shared_ptr<ClientSet> mclsMessage;

    void FormatSendBuffer(const QString &AppName, const QString &HELIXRequest,
                          QStringView HELIXBuffer);
    // Fails with the invalid-argument error when the return-code field has no closing
    // separator; the lines appended before that stay.
    std::optional<HelixError> FormatReceiveBuffer(QStringView HELIXBuffer);
    void FormatText(const QString &AppName, const QString &Text);

    // Entry rows: first rows of the previous, current and next entry, -1 for none.
    int &PreviousEntryRow = mEntries.previous;
    int &CurrentEntryRow = mEntries.current;
    int &NextEntryRow = mEntries.next;
    // True while the window itself moves the grid's current row.
    bool IsNavigating = false;

    QString &ContinuationIndent = mFormatter.indent;

    // The one place that enables and disables the commands, from the grid and the entry rows.
    void UpdateCommandState();

    // The toolbar: band "tbrMain" and the Save button's drop-down band "tbrPopupSave".
    QToolBar *tbr = nullptr;
    QMenu *tbrPopupSave = nullptr;
    QToolButton *tbrSaveButton = nullptr;
    // A tool of either band by its name ("tbrFirst", "tbrSaveAll", ...), or null.
    QAction *Tool(const QString &name) const { return mTools.value(name); }
    // Runs the command of the tool clicked.
    void ToolClick(const QString &name);
    // Checks the drop-down entry that the Save button's face runs.
    void MarkDefaultSaveTool(int SaveText);

    // The View bar, hidden unless shown by Ctrl+L or the toolbars' menu: Follow, and the
    // conditions that narrow the rows shown to whole entries.
    QToolBar *tbrView = nullptr;
    QAction *tbrFollow = nullptr;
    QLineEdit *txtFilter = nullptr;
    QLineEdit *txtExclude = nullptr;
    QToolButton *tbrClients = nullptr;
    QAction *tbrErrors = nullptr;
    QAction *tbrUnanswered = nullptr;
    QLabel *lblShown = nullptr;
    // Marks (Ctrl+F2 toggles one on the current row, F2 and Shift+F2 go to the next and the
    // previous) and the highlight rules.
    QToolButton *tbrMarks = nullptr;
    QAction *mnuNextMark = nullptr;
    QAction *mnuPreviousMark = nullptr;
    QAction *mnuCopyMarked = nullptr;
    QAction *mnuClearMarks = nullptr;
    QAction *tbrHighlights = nullptr;
    void ToggleMark();
    void GoToMark(bool forward);
    void CopyMarkedLines();
    void ClearMarks();
    // Opens the rules' dialog; OK applies the rules and keeps them in the settings file.
    void EditHighlights();
    // Unchecked, new entries are added without moving the current row or the view.
    bool Following() const;
    void setFollowing(bool follow);
    // The conditions as the View bar sets them, and applying them now.
    ViewConditions viewConditions() const;
    void ApplyFilter();
    // Whether a filter is being applied, a slice at a time.
    bool filtering() const { return mFilterRun.has_value(); }
    int shownEntries() const;

    // The right-click menu of the grid and its six commands.
    QMenu *mnuPopup = nullptr;
    QMenu *mnuCopy = nullptr;
    QMenu *mnuSave = nullptr;
    QAction *mnuCopySelected = nullptr;
    QAction *mnuCopyCurrent = nullptr;
    QAction *mnuCopyAll = nullptr;
    QAction *mnuSaveSelected = nullptr;
    QAction *mnuSaveCurrent = nullptr;
    QAction *mnuSaveAll = nullptr;

    void GoToFirstEntry();
    void GoToPreviousEntry();
    void GoToNextEntry();
    void GoToLastEntry();
    // Follows the grid's current row when something other than the window moved it.
    void SyncEntryRows();

    void CopyLinesToClipboard(int Scope);
    void SaveLinesToFile(int Scope);
    void ClearDisplay();
    // The file of the latest save, proposed for the next one.
    QString LastSaveFile;

    // Puts the preferred font and word wrap on the grid and measures the indent in that font.
    void ApplyPreferences();

    // The outer rectangle the window had while it was last in the normal state, in twips.
    int &NormalTop = mPlacement.top;
    int &NormalLeft = mPlacement.left;
    int &NormalHeight = mPlacement.height;
    int &NormalWidth = mPlacement.width;
    // vbNormal, vbMinimized or vbMaximized, as seen by the previous Form_Resize.
    qint16 &LastWindowState = mPlacement.lastState;

    QString Name() const override { return objectName(); }
    int MinWidthTwips() const override { return miMinWidthTwips; }
    int MinHeightTwips() const override { return miMinHeightTwips; }
    void setOuterTwips(int top, int left, int height, int width) override;

    int heldLines() const override;
    int heldEntries() const override;
    int currentEntry() const override;
    bool goToEntry(int entry) override;
    void showTimeGutter(bool on) override;
    void showOnlyClient(int client) override;
    void showAllClients() override;

Q_SIGNALS:
    // The window has left the screen and is about to tell its clients to stop tracing.
    void closing();
    // The window has closed: it is no longer loaded and holds no client-interface object.
    void unloaded();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void createViewBar();
    void showViewBar(bool shown);
    void fillClientsMenu();
    void createMarkTools();
    // Lines built by LineText, in UTF-8, for other programs to paste.
    static void putOnClipboard(const QByteArray &utf8);
    void filterSlice();
    void filterDone();
    int currentStoredRow() const;
    void showRows(ShownRows rows, int shownEntries);
    void newestEntryChanged(bool started);
    void entryUnanswered(int entry);
    void updateShownLabel();
    void scheduleViewTexts();
    void createToolbar();
    void createRightClickMenu();
    void vsf_KeyDown(int KeyCode, int Shift);
    void vsf_MouseUp(int Button, int Shift, double X, double Y);
    void showEntryRow(int row);
    void BeginBusy();
    void EndBusy();
    void Form_Load();
    void Form_Resize();
    int windowStateValue() const;
    void geometryArrived(bool fromWindowSystem);
    void windowChangeArrived();
    void windowChanged();
    void entryStarted(int row);
    void entryStored(int first);
    void layoutGrid();

    DisplayGrid *mGrid = nullptr;
    QHash<QString, QAction *> mTools;
    // The commands each flag of the command state governs, looked up once.
    QList<QAction *> mLineCommands;
    QList<QAction *> mBackCommands;
    QList<QAction *> mForwardCommands;
    QTimer mWindowSettle;
    QPointer<QWidget> mFocusBeforeBusy;
    EntryFacts mFacts;
    ViewFilter mFilter;
    ViewFilter::Scan mNewestScan;
    std::optional<FilterRun> mFilterRun;
    QTimer mFilterSlices;
    QTimer mFilterTyping;
    std::vector<bool> mHiddenClients;
    int mShownEntries = 0;
    int mUnseenEntries = 0;
    int mHeldCurrent = -1; // the stored row current before a filter showed nothing
    QTimer mViewTexts;     // the View bar's counts follow the traffic at most this often
};
