#include "frmMain.h"

#include "BufferCutter.h"
#include "ClassPreferences.h"
#include "DisplayGrid.h"
#include "Twips.h"

#include <QCloseEvent>
#include <QEvent>

namespace {

constexpr double kGridMarginTwips = 120;

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
    hide();
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
    UpdateCommandState();
}

std::optional<HelixError> frmMain::FormatReceiveBuffer(QStringView HELIXBuffer)
{
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
    UpdateCommandState();
    return std::nullopt;
}

void frmMain::FormatText(const QString &AppName, const QString &Text)
{
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
    UpdateCommandState();
}

void frmMain::UpdateCommandState()
{
    mCommandState.hasLines = mGrid->Rows() > mGrid->FixedRows();
    mCommandState.canGoBack = mGrid->Row() > CurrentEntryRow || PreviousEntryRow != -1;
    mCommandState.canGoForward = NextEntryRow != -1;
}
