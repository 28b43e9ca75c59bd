#include "frmMain.h"

#include "BufferCutter.h"
#include "ClassFind.h"
#include "ClassPreferences.h"
#include "DisplayGrid.h"
#include "Rounding.h"
#include "SessionLog.h"
#include "SessionSettings.h"
#include "SessionText.h"
#include "Twips.h"
#include "WindowTwips.h"
#include "frmFind.h"
#include "frmHelp.h"
#include "frmSession.h"

#include <QCloseEvent>
#include <QEvent>
#include <QFontMetricsF>
#include <QToolBar>

#include <utility>

namespace {

constexpr double kGridMarginTwips = 120;
// The smallest outer window size, in pixels.
constexpr int kMinimumWidthPixels = 240;
constexpr int kMinimumHeightPixels = 130;
// How long the window manager may take between the events of one change.
constexpr int kWindowSettleMs = 100;

QString entryLine(const QString &appName, const QString &text)
{
    return QLatin1Char('[') + appName + QStringLiteral("]  ") + text;
}

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
    Finder().setDisplay(mGrid, this);
    // The toolbar cannot be hidden: there would be no way to bring it back.
    setContextMenuPolicy(Qt::NoContextMenu);
    const TwipsScale scale = TwipsScale::primary();
    resize(scale.xToPixels(3495), scale.yToPixels(1335) + tbr->sizeHint().height());
    Form_Load();
}

frmMain::~frmMain()
{
    // A later window gets the search; until then it has nothing to search.
    Finder().forgetDisplay(mGrid);
    if (frmSession *session = loadedSessionWindow())
        session->forgetTarget(this);
}

void frmMain::Form_Load()
{
    mbLoaded = true;
    const TwipsScale scale = TwipsScale::primary();
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
    recordNormalGeometry();
    PreviousEntryRow = -1;
    CurrentEntryRow = -1;
    NextEntryRow = -1;
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
    const double twipsPerPixel = TwipsScale::primary().perPixelX;
    const double w1 =
        roundHalfEven(metrics.horizontalAdvance(QStringLiteral("GetTag ")) * twipsPerPixel);
    const double w2 = metrics.horizontalAdvance(QLatin1Char(' ')) * twipsPerPixel;
    const int spaces = w2 > 0 ? int(roundHalfEven(w1 / w2)) : 7;
    ContinuationIndent = QString(std::max(0, spaces), QLatin1Char(' '));
    mGrid->setFontName(fontName);
    mGrid->setFontSize(fontSize);
    mGrid->setWordWrap(settings.WordWrap());
    mGrid->AutoSize(0);
    mGrid->Refresh();
    MarkDefaultSaveTool(settings.SaveText());
}

int frmMain::windowStateValue() const
{
    if (isMinimized())
        return 1;
    if (isMaximized())
        return 2;
    return 0;
}

// The window manager reports one change in several events, and not always in one go: a
// maximize as the new geometry and then the new state, a restore to maximized as normal first
// and maximized a moment later. What it reports is taken together once it has been quiet for
// a moment, so a geometry on the way to another state is never taken as the normal one and
// Form_Resize runs once per change. A geometry the program sets itself belongs to no change
// of state and counts at once. Each rectangle is read whole, never pieced together from a
// resize and a move.
void frmMain::geometryArrived(bool fromWindowSystem)
{
    if (fromWindowSystem)
        windowChangeArrived(false);
    else if (windowStateValue() == 0)
        recordNormalGeometry();
}

void frmMain::windowChangeArrived(bool resized)
{
    mResizeArrived = mResizeArrived || resized;
    mWindowSettle.start();
}

void frmMain::windowChanged()
{
    if (windowStateValue() == 0)
        recordNormalGeometry();
    if (std::exchange(mResizeArrived, false))
        Form_Resize();
}

void frmMain::recordNormalGeometry()
{
    const QRect now = WindowTwips::outerRect(this);
    NormalTop = now.y();
    NormalLeft = now.x();
    NormalHeight = now.height();
    NormalWidth = now.width();
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
    windowChangeArrived(true);
}

void frmMain::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        windowChangeArrived(true);
}

void frmMain::Form_Resize()
{
    const int state = windowStateValue();
    // A resize while minimized or maximized (the geometry that follows a new state on X11)
    // is no change of state and saves nothing.
    if (state != LastWindowState &&
        ((state == 1 && LastWindowState != 2) || (state == 2 && LastWindowState != 1)))
        Preferences().SaveFormPosition(this, NormalTop, NormalLeft, NormalHeight, NormalWidth);
    LastWindowState = qint16(state);
    if (state != 1)
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
    if (windowStateValue() == 0) {
        const QRect outer = WindowTwips::outerRect(this);
        Preferences().SaveFormPosition(this, outer.y(), outer.x(), outer.height(), outer.width());
    }
    hide();
    if (frmFind *find = loadedFindDialog())
        find->close();
    if (frmHelp *help = loadedHelpWindow())
        help->close();
    if (frmSession *session = loadedSessionWindow())
        session->closeWithDisplay();
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
    const TwipsScale scale = TwipsScale::primary();
    const QWidget *client = centralWidget();
    mGrid->setWidth(client->width() * scale.perPixelX - 2 * mGrid->Left());
    mGrid->setHeight(client->height() * scale.perPixelY - 2 * mGrid->Top());
}

void frmMain::startEntry(int row)
{
    mGrid->setRowData(row, 1);
    mGrid->setRow(row);
    mGrid->setCellFontBold(row, true);
}

void frmMain::appendLine(QStringView prefix, QStringView body)
{
    mLine.resize(0);
    mLine.append(prefix);
    mLine.append(body);
    mGrid->AddItem(mLine);
}

void frmMain::FormatSendBuffer(const QString &AppName, const QString &HELIXRequest,
                               QStringView HELIXBuffer)
{
    const std::int64_t arrived = Session().now();
    const int rowsBefore = mGrid->Rows();
    IsNavigating = true;
    mGrid->AddItem(entryLine(AppName, HELIXRequest + QStringLiteral(" Request")));
    const int row = mGrid->Rows() - 1;
    startEntry(row);
    mGrid->ShowCell(row, 0);
    mGrid->setRedraw(0);
    if (CurrentEntryRow != -1)
        PreviousEntryRow = CurrentEntryRow;
    CurrentEntryRow = row;
    NextEntryRow = -1;

    if (!HELIXBuffer.isEmpty()) {
        const BufferCutter::SendBuffer cut = BufferCutter::cutSend(HELIXBuffer);
        if (cut.hasHeader && Preferences().DisplayHeader()) {
            mLine.resize(0);
            mLine.append(ContinuationIndent);
            BufferCutter::appendHeaderText(mLine, cut.header);
            mGrid->AddItem(mLine);
        }
        const QString firstLabel = ContinuationIndent + QStringLiteral("PutTag ");
        const QString nextLabel = ContinuationIndent + ContinuationIndent;
        const QString *label = &firstLabel;
        BufferCutter::forEachField(cut.data, [&](QStringView field) {
            if (field.isEmpty())
                return;
            appendLine(*label, field);
            label = &nextLabel;
        });
    }

    if (Preferences().WordWrap())
        mGrid->AutoSize(0);
    mGrid->setRedraw(2);
    IsNavigating = false;
    Session().request(arrived, AppName, mGrid->Rows() - rowsBefore);
    UpdateCommandState();
}

std::optional<HelixError> frmMain::FormatReceiveBuffer(QStringView HELIXBuffer)
{
    const std::int64_t arrived = Session().now();
    const int rowsBefore = mGrid->Rows();
    const BufferCutter::ReceiveBuffer cut = BufferCutter::cutReceive(HELIXBuffer);
    if (!cut.hasReturnCode) {
        UpdateCommandState();
        return std::nullopt;
    }
    if (Preferences().DisplayHeader()) {
        mLine.resize(0);
        mLine.append(ContinuationIndent);
        BufferCutter::appendHeaderText(mLine, cut.header);
        mGrid->AddItem(mLine);
    }
    mGrid->setRedraw(0);
    if (!cut.returnCodeClosed) {
        // The call fails here; painting is switched back on so the display stays live.
        mGrid->setRedraw(2);
        Session().otherLines(arrived, mGrid->Rows() - rowsBefore);
        return HelixError::invalidArgument();
    }
    mLine.resize(0);
    mLine.append(ContinuationIndent);
    mLine.append(u"GetTag ");
    mLine.append(cut.returnCode);
    mGrid->AddItem(mLine);

    const QString label = ContinuationIndent + ContinuationIndent;
    BufferCutter::forEachField(cut.data, [&](QStringView field) {
        if (field.size() >= 2)
            appendLine(label, field);
    });

    if (Preferences().WordWrap())
        mGrid->AutoSize(0);
    mGrid->setRedraw(2);
    Session().reply(arrived, cut.returnCode, mGrid->Rows() - rowsBefore);
    UpdateCommandState();
    return std::nullopt;
}

void frmMain::FormatText(const QString &AppName, const QString &Text)
{
    const std::int64_t arrived = Session().now();
    IsNavigating = true;
    mGrid->setRedraw(0);
    mGrid->AddItem(entryLine(AppName, Text));
    const int row = mGrid->Rows() - 1;
    startEntry(row);
    if (CurrentEntryRow != -1)
        PreviousEntryRow = CurrentEntryRow;
    CurrentEntryRow = mGrid->Row();
    NextEntryRow = -1;
    if (Preferences().WordWrap())
        mGrid->AutoSize(0);
    mGrid->setRedraw(2);
    mGrid->ShowCell(row, 0);
    IsNavigating = false;
    Session().note(arrived, AppName, 1);
    UpdateCommandState();
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

void frmMain::goToEntry(int entry)
{
    const int row = mGrid->markedRow(entry);
    if (row < 0)
        return;
    mGrid->setRow(row);
    mGrid->ShowCell(row, 0);
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
            const int entry = mGrid->markedIndex(row);
            if (entry < 0 || entry >= log.entries().size())
                return QString();
            const EntryTimings::Entry timing = log.entries().at(entry);
            QString label = SessionText::clockTime(log.wallMs(timing.arrivalMicros));
            if (timing.latency <= EntryTimings::kLongest)
                label += QLatin1Char(' ') + SessionText::gutterLatency(timing.latency);
            return label;
        },
        QStringLiteral("00:00:00.000 +9999 ms"));
}
