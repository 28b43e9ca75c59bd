#include "display/frmMain.h"

#include "display/DisplayGrid.h"
#include "display/GridValues.h"
#include "find/ClassFind.h"
#include "platform/PrimaryScreen.h"
#include "platform/Rounding.h"
#include "platform/Twips.h"
#include "platform/WindowState.h"
#include "platform/WindowTwips.h"
#include "preferences/ClassPreferences.h"
#include "session/SessionLog.h"
#include "session/SessionSettings.h"
#include "session/SessionText.h"

#include <QCloseEvent>
#include <QEvent>
#include <QFontMetricsF>
#include <QToolBar>

namespace {

constexpr double kGridMarginTwips = 120;
// The smallest outer window size, in pixels.
constexpr int kMinimumWidthPixels = 240;
constexpr int kMinimumHeightPixels = 130;
// How long the window manager may take between the events of one change.
constexpr int kWindowSettleMs = 100;

// The formatter's lines go to the end of the grid; an entry's first line is marked and bold.
// Painting stops before the first line, so a call that adds nothing leaves it alone; the
// caller resumes it.
class GridLines final : public EntrySink {
public:
    explicit GridLines(DisplayGrid &grid)
        : mGrid(grid)
    {
    }
    void appendLine(QStringView text) override
    {
        if (mGrid.Redraw() != flexRDNone)
            mGrid.setRedraw(flexRDNone);
        mGrid.AddItem(text);
    }
    void startEntry() override { mGrid.markStoredEntry(mGrid.store().size() - 1); }

private:
    DisplayGrid &mGrid;
};

} // namespace

frmMain::frmMain(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("HELIX Debug Display"));
    auto *client = new QWidget(this);
    setCentralWidget(client);
    mGrid = new DisplayGrid(client);
    mGrid->setObjectName(QStringLiteral("vsf"));
    mGrid->setFontName(QStringLiteral("Courier New"));
    mGrid->setLeft(kGridMarginTwips);
    mGrid->setTop(kGridMarginTwips);
    client->installEventFilter(this);
    connect(mGrid, &DisplayGrid::RowColChange, this, &frmMain::SyncEntryRows);
    connect(mGrid, &DisplayGrid::KeyDown, this, &frmMain::vsf_KeyDown);
    connect(mGrid, &DisplayGrid::MouseUp, this, &frmMain::vsf_MouseUp);
    mWindowSettle.setSingleShot(true);
    mWindowSettle.setInterval(kWindowSettleMs);
    connect(&mWindowSettle, &QTimer::timeout, this, &frmMain::windowChanged);
    createToolbar();
    createRightClickMenu();
    createViewBar();
    Finder().setDisplay(mGrid, this);
    const TwipsScale scale = primaryTwipsScale();
    resize(scale.xToPixels(3495), scale.yToPixels(1335) + tbr->sizeHint().height());
    Form_Load();
}

frmMain::~frmMain()
{
    Session().setUnansweredListener({});
}

void frmMain::Form_Load()
{
    mbLoaded = true;
    const TwipsScale scale = primaryTwipsScale();
    miMinWidthTwips = qint16(scale.xToTwips(kMinimumWidthPixels));
    miMinHeightTwips = qint16(scale.yToTwips(kMinimumHeightPixels));
    // The minimum is an outer size: once the frame is known, it comes off the client area.
    setMinimumSize(kMinimumWidthPixels, kMinimumHeightPixels);
    WindowTwips::whenFramed(this, [this](const QMargins &frame) {
        setMinimumSize(kMinimumWidthPixels - frame.left() - frame.right(),
                       kMinimumHeightPixels - frame.top() - frame.bottom());
    });
    if (!Preferences().RestoreFormPosition(this))
        move(0, 0);
    mPlacement.record(WindowTwips::outerRect(this));
    mEntries.clear();
    ApplyPreferences();
    // A new window holds no entries, so none of the earlier timings apply.
    Session().clearEntries(Session().now());
    showTimeGutter(SessionSettings::timeGutter());
}

void frmMain::setOuterTwips(int top, int left, int height, int width)
{
    WindowTwips::setOuterRect(this, QRect(left, top, width, height));
}

void frmMain::ApplyPreferences()
{
    const ClassPreferences &settings = Preferences();
    const QString fontName = settings.FontName();
    const int fontSize = settings.FontSize();
    // The indent is measured in a font of its own: the window's font would spread to every
    // child, the toolbar included.
    QFont measured(fontName);
    if (fontSize > 0)
        measured.setPointSizeF(fontSize);
    const QFontMetricsF metrics(measured);
    const double twipsPerPixel = primaryTwipsScale().perPixelX;
    const double w1 =
        roundHalfEven(metrics.horizontalAdvance(QStringLiteral("GetTag ")) * twipsPerPixel);
    const double w2 = metrics.horizontalAdvance(QLatin1Char(' ')) * twipsPerPixel;
    const int spaces = w2 > 0 ? int(roundHalfEven(w1 / w2)) : 7;
    ContinuationIndent = QString(std::max(0, spaces), QLatin1Char(' '));
    mGrid->setFontName(fontName);
    mGrid->setFontSize(fontSize);
    mGrid->setWordWrap(settings.WordWrap());
    mGrid->AutoSize(kTextColumn);
    mGrid->Refresh();
    MarkDefaultSaveTool(settings.SaveText());
}

int frmMain::windowStateValue() const
{
    if (isMinimized())
        return vbMinimized;
    if (isMaximized())
        return vbMaximized;
    return vbNormal;
}

void frmMain::geometryArrived(bool fromWindowSystem)
{
    if (mPlacement.geometryArrived(fromWindowSystem, windowStateValue(),
                                   WindowTwips::outerRect(this)))
        mWindowSettle.start();
}

void frmMain::windowChangeArrived()
{
    mPlacement.resizeArrived();
    mWindowSettle.start();
}

void frmMain::windowChanged()
{
    if (mPlacement.settled(windowStateValue(), WindowTwips::outerRect(this)))
        Form_Resize();
}

void frmMain::moveEvent(QMoveEvent *event)
{
    QMainWindow::moveEvent(event);
    geometryArrived(event->spontaneous());
}

void frmMain::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    geometryArrived(event->spontaneous());
    windowChangeArrived();
}

void frmMain::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        windowChangeArrived();
}

void frmMain::Form_Resize()
{
    const int state = windowStateValue();
    if (mPlacement.stateSeen(state))
        Preferences().SaveFormPosition(this, NormalTop, NormalLeft, NormalHeight, NormalWidth);
    if (state != vbMinimized)
        layoutGrid();
}

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == centralWidget() && event->type() == QEvent::Resize)
        layoutGrid();
    return QMainWindow::eventFilter(watched, event);
}

// Closing is never refused. The window leaves the screen first, so clients that are slow to
// answer their shutdown call never keep a dead window in view.
void frmMain::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (windowStateValue() == vbNormal) {
        const QRect outer = WindowTwips::outerRect(this);
        Preferences().SaveFormPosition(this, outer.y(), outer.x(), outer.height(), outer.width());
    }
    hide();
    Q_EMIT closing();
    if (mclsMessage) {
        // The call drops our hold; this copy keeps the object alive until it returns.
        const std::shared_ptr<ClientSet> held = mclsMessage;
        held->ShutDownClients();
    }
    mbLoaded = false;
    Q_EMIT unloaded();
}

// The grid keeps its left and top margin on the right and at the bottom as well.
void frmMain::layoutGrid()
{
    const TwipsScale scale = primaryTwipsScale();
    const QWidget *client = centralWidget();
    mGrid->setWidth(client->width() * scale.perPixelX - 2 * mGrid->Left());
    mGrid->setHeight(client->height() * scale.perPixelY - 2 * mGrid->Top());
}

// The entry starting at `row` becomes current; painting resumes and brings it into view. Not
// following, the operator's place stays as it is.
void frmMain::entryStarted(int row)
{
    if (!Following()) {
        ++mUnseenEntries;
        if (mGrid->Row() >= 0)
            mEntries.sync(*mGrid, mGrid->Row(), mGrid->FixedRows());
        if (Preferences().WordWrap())
            mGrid->AutoSize(kTextColumn);
        mGrid->setRedraw(flexRDBuffered);
        scheduleViewTexts();
        return;
    }
    mGrid->setRow(row);
    mEntries.entryAdded(row);
    if (Preferences().WordWrap())
        mGrid->AutoSize(kTextColumn);
    mGrid->setRedraw(flexRDBuffered);
    mGrid->ShowCell(row, kTextColumn);
}

void frmMain::FormatSendBuffer(const QString &AppName, const QString &HELIXRequest,
                               QStringView HELIXBuffer)
{
    const std::int64_t arrived = Session().now();
    IsNavigating = true;
    const int first = mGrid->store().size();
    GridLines lines(*mGrid);
    mFormatter.showHeader = Preferences().DisplayHeader();
    const int added = mFormatter.formatSend(lines, AppName, HELIXRequest, HELIXBuffer);
    // The new entry's facts exist before the log closes an older request through this one.
    mFacts.append(0, first);
    Session().request(arrived, AppName, HELIXRequest, added);
    entryStored(first);
    IsNavigating = false;
    UpdateCommandState();
}

std::optional<HelixError> frmMain::FormatReceiveBuffer(QStringView HELIXBuffer)
{
    const std::int64_t arrived = Session().now();
    GridLines lines(*mGrid);
    mFormatter.showHeader = Preferences().DisplayHeader();
    const EntryFormatter::Received received = mFormatter.formatReceive(lines, HELIXBuffer);
    if (received.outcome == EntryFormatter::Reply::NoReturnCode) {
        UpdateCommandState();
        return std::nullopt;
    }
    const bool formatted = received.outcome == EntryFormatter::Reply::Formatted;
    if (formatted && Preferences().WordWrap())
        mGrid->AutoSize(kTextColumn);
    mGrid->setRedraw(flexRDBuffered);
    if (received.outcome == EntryFormatter::Reply::Unclosed) {
        Session().otherLines(arrived, received.lines);
        newestEntryChanged(false);
        return HelixError::invalidArgument();
    }
    Session().reply(arrived, received.returnCode, received.lines);
    if (SessionLog::isErrorCode(received.returnCode))
        mFacts.set(mFacts.size() - 1, EntryFacts::kError);
    newestEntryChanged(false);
    UpdateCommandState();
    return std::nullopt;
}

void frmMain::FormatText(const QString &AppName, const QString &Text)
{
    const std::int64_t arrived = Session().now();
    IsNavigating = true;
    const int first = mGrid->store().size();
    GridLines lines(*mGrid);
    const int added = mFormatter.formatText(lines, AppName, Text);
    mFacts.append(0, first);
    Session().note(arrived, AppName, added);
    entryStored(first);
    IsNavigating = false;
    UpdateCommandState();
}

// The entry stored from row `first` on is complete: it shows, and becomes current, when the
// view's conditions let it.
void frmMain::entryStored(int first)
{
    const EntryTimings &timings = Session().entries();
    if (timings.size() == mFacts.size())
        mFacts.setClient(mFacts.size() - 1, timings.at(timings.size() - 1).client);
    newestEntryChanged(true);
    const int row = mGrid->shownRows().shownRow(first);
    if (row >= 0)
        entryStarted(row);
    else
        mGrid->setRedraw(flexRDBuffered);
}

int frmMain::heldLines() const
{
    return mGrid->Rows();
}

int frmMain::heldEntries() const
{
    return mGrid->markedCount();
}

int frmMain::currentEntry() const
{
    return mGrid->markedIndex(CurrentEntryRow);
}

bool frmMain::goToEntry(int entry)
{
    const int row = mGrid->markedRow(entry);
    if (row < 0)
        return false;
    mGrid->setRow(row);
    mGrid->ShowCell(row, kTextColumn);
    return true;
}

void frmMain::showTimeGutter(bool on)
{
    if (!on) {
        mGrid->setGutter({}, {});
        return;
    }
    mGrid->setGutter(
        [this](int row) {
            const SessionLog &log = Session();
            const int entry = mGrid->markedIndexAtOrAbove(row);
            if (entry < 0 || entry >= log.entries().size())
                return QString();
            const EntryTimings::Entry timing = log.entries().at(entry);
            const int within = row - mGrid->markedRow(entry);
            if (within == 0) {
                QString label = SessionText::clockTime(log.wallMs(timing.arrivalMicros));
                if (timing.latency <= EntryTimings::kLongest)
                    label += QLatin1Char(' ') + SessionText::gutterLatency(timing.latency);
                return label;
            }
            // Replies join the newest entry whoever's it is; the timing pairs them by object.
            if (timing.replyTo != 0 && within == timing.replyRow)
                return QStringLiteral("\u21b3 reply to ") + log.client(timing.replyTo - 1).title;
            return QString();
        },
        QStringLiteral("00:00:00.000 +9999 ms"));
}
