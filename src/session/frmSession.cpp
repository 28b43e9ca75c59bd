#include "session/frmSession.h"

#include "session/RequestTableModel.h"
#include "session/SessionLog.h"
#include "session/SessionSettings.h"
#include "session/SessionTableModel.h"
#include "session/SessionTarget.h"
#include "session/SessionText.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

#include <unistd.h>

namespace {

QPointer<frmSession> &sessionWindowSlot()
{
    static QPointer<frmSession> window;
    return window;
}

// The resident set of this process, from /proc; 0 where there is none.
std::uint64_t residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    if (fields.size() < 2)
        return 0;
    return fields[1].toULongLong() * std::uint64_t(sysconf(_SC_PAGESIZE));
}

QString megabytes(std::uint64_t bytes)
{
    return QString::number(double(bytes) / (1024.0 * 1024.0), 'f', 1) + QStringLiteral(" MB");
}

QTableView *figureTable(QWidget *parent, const QString &name, const QString &accessibleName,
                        QAbstractItemModel *model, std::initializer_list<int> widths)
{
    auto *table = new QTableView(parent);
    table->setObjectName(name);
    table->setAccessibleName(accessibleName);
    table->setModel(model);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    table->horizontalHeader()->setStretchLastSection(true);
    table->horizontalHeader()->setMinimumSectionSize(48);
    table->setWordWrap(false);
    // No narrower than its heading, whatever the font.
    const QFontMetrics heading(table->horizontalHeader()->font());
    int column = 0;
    for (const int width : widths) {
        const QString text = model->headerData(column, Qt::Horizontal).toString();
        table->setColumnWidth(column++, std::max(width, heading.horizontalAdvance(text) + 24));
    }
    return table;
}

// "Get of Orders, waiting 1.20 s", with how many wait when more than one does.
QString outstandingText(const SessionLog &log, std::int64_t now)
{
    const SessionLog::Outstanding open = log.outstanding();
    if (open.count == 0)
        return QStringLiteral("Outstanding: none");
    const QString oldest =
        QStringLiteral("%1 of %2, waiting %3")
            .arg(log.requestRow(open.requestRow).name, log.client(open.client).title,
                 SessionText::duration(std::uint64_t(std::max<std::int64_t>(0, now - open.since))));
    if (open.count == 1)
        return QStringLiteral("Outstanding: ") + oldest;
    return QStringLiteral("Outstanding: %1 requests; the oldest, %2")
        .arg(SessionText::count(std::uint64_t(open.count)), oldest);
}

} // namespace

frmSession::frmSession(Tracked<SessionTarget> target)
    : RememberedDialog(QStringLiteral("frmSession"), QStringLiteral("Session"), 12300, 7200,
                       QSize(7200, 4800))
    , mTarget(target)
{
    auto *layout = new QVBoxLayout(this);
    lblFigures = new QLabel(this);
    lblSince = new QLabel(this);
    lblOutstanding = new QLabel(this);
    for (QLabel *label : {lblFigures, lblSince, lblOutstanding}) {
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        layout->addWidget(label);
    }

    mModel = new SessionTableModel(Session(), this);
    grdClients = figureTable(this, QStringLiteral("grdClients"), QStringLiteral("Clients"), mModel,
                             {150, 156, 64, 60, 74, 64, 64, 64});
    connect(grdClients, &QTableView::doubleClicked, this,
            [this](const QModelIndex &index) { GoToNewestOf(index.row()); });
    connect(grdClients, &QTableView::activated, this,
            [this](const QModelIndex &index) { GoToNewestOf(index.row()); });
    grdClients->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto *onlyThis = new QAction(QStringLiteral("Show only this client"), grdClients);
    connect(onlyThis, &QAction::triggered, this, [this] {
        const QModelIndex index = grdClients->currentIndex();
        if (mTarget && index.isValid())
            mTarget->showOnlyClient(index.row());
    });
    auto *all = new QAction(QStringLiteral("Show all clients"), grdClients);
    connect(all, &QAction::triggered, this, [this] {
        if (mTarget)
            mTarget->showAllClients();
    });
    grdClients->addActions({onlyThis, all});

    mRequests = new RequestTableModel(Session(), this);
    mSortedRequests = new QSortFilterProxyModel(this);
    mSortedRequests->setSourceModel(mRequests);
    mSortedRequests->setSortRole(RequestTableModel::SortRole);
    mSortedRequests->setDynamicSortFilter(true);
    grdRequests = figureTable(this, QStringLiteral("grdRequests"), QStringLiteral("Requests"),
                              mSortedRequests, {150, 150, 64, 74, 64, 64, 64, 64});
    grdRequests->setSortingEnabled(true);
    grdRequests->sortByColumn(RequestTableModel::P95, Qt::DescendingOrder);
    connect(grdRequests, &QTableView::doubleClicked, this,
            [this](const QModelIndex &index) { GoToNewestRequest(index.row()); });
    connect(grdRequests, &QTableView::activated, this,
            [this](const QModelIndex &index) { GoToNewestRequest(index.row()); });

    auto *tables = new QSplitter(Qt::Vertical, this);
    tables->setChildrenCollapsible(false);
    tables->addWidget(grdClients);
    tables->addWidget(grdRequests);
    layout->addWidget(tables, 1);

    auto *buttons = new QHBoxLayout;
    chkTimeGutter = new QCheckBox(QStringLiteral("&Time gutter"), this);
    chkTimeGutter->setChecked(SessionSettings::timeGutter());
    connect(chkTimeGutter, &QCheckBox::toggled, this, [this](bool on) {
        if (!SessionSettings::setTimeGutter(on))
            lblStatus->setText(QStringLiteral("The setting could not be saved."));
        if (mTarget)
            mTarget->showTimeGutter(on);
    });
    cmdSlowest = new QPushButton(QStringLiteral("&Slowest"), this);
    connect(cmdSlowest, &QPushButton::clicked, this, &frmSession::GoToSlowest);
    cmdNextUnanswered = new QPushButton(QStringLiteral("&Next unanswered"), this);
    connect(cmdNextUnanswered, &QPushButton::clicked, this, &frmSession::GoToNextUnanswered);
    lblStatus = new QLabel(this);
    cmdClose = new QPushButton(QStringLiteral("Close"), this);
    connect(cmdClose, &QPushButton::clicked, this, &frmSession::close);
    for (QPushButton *button : {cmdSlowest, cmdNextUnanswered, cmdClose})
        button->setAutoDefault(false);
    buttons->addWidget(chkTimeGutter);
    buttons->addWidget(cmdSlowest);
    buttons->addWidget(cmdNextUnanswered);
    buttons->addWidget(lblStatus, 1);
    buttons->addWidget(cmdClose);
    layout->addLayout(buttons);

    mTimer.setInterval(RefreshIntervalMs);
    connect(&mTimer, &QTimer::timeout, this, &frmSession::Refresh);
    Refresh();

    sessionWindowSlot() = this;
    loadPlace(nullptr);
}

void frmSession::Refresh()
{
    const SessionLog &log = Session();
    const std::int64_t now = log.now();
    const int lines = mTarget ? mTarget->heldLines() : 0;
    const int entries = mTarget ? mTarget->heldEntries() : 0;
    lblFigures->setText(
        QStringLiteral("Lines held: %1    Entries: %2    Lines per second (last 5 s): %3    "
                       "Memory: %4")
            .arg(SessionText::count(std::uint64_t(lines)),
                 SessionText::count(std::uint64_t(entries)),
                 SessionText::count(std::uint64_t(log.linesPerSecond(now) + 0.5)),
                 megabytes(residentBytes())));
    QString since =
        QStringLiteral("Client figures since %1").arg(SessionText::clockTime(log.wallMs(0)));
    if (log.clearedAt() >= 0)
        since += QStringLiteral("; entries since %1, when the display was cleared")
                     .arg(SessionText::clockTime(log.wallMs(log.clearedAt())));
    lblSince->setText(since);
    lblOutstanding->setText(outstandingText(log, now));
    mModel->refresh();
    mRequests->refresh();
}

void frmSession::goTo(int entry, const QString &none)
{
    if (!mTarget || entry < 0 || entry >= mTarget->heldEntries()) {
        lblStatus->setText(none);
        return;
    }
    lblStatus->clear();
    if (!mTarget->goToEntry(entry))
        lblStatus->setText(QStringLiteral("That entry is hidden by the View bar's filter."));
}

void frmSession::GoToSlowest()
{
    goTo(Session().slowestEntry(), QStringLiteral("No answered request is held."));
}

void frmSession::GoToNextUnanswered()
{
    const int from = mTarget ? mTarget->currentEntry() : -1;
    goTo(Session().nextUnanswered(from), QStringLiteral("No unanswered request is held."));
}

void frmSession::GoToNewestOf(int client)
{
    if (client < 0 || client >= Session().clientCount())
        return;
    const SessionLog::Client &c = Session().client(client);
    goTo(c.newestEntry, QStringLiteral("No entry of %1 is held.").arg(c.title));
}

void frmSession::GoToNewestRequest(int row)
{
    const QModelIndex source = mSortedRequests->mapToSource(mSortedRequests->index(row, 0));
    if (!source.isValid())
        return;
    const SessionLog::RequestRow &r = Session().requestRow(source.row());
    goTo(r.newestEntry, QStringLiteral("No %1 of %2 is held.").arg(r.name, r.title));
}

void frmSession::closeWithDisplay()
{
    mClosingWithDisplay = true;
    mTarget = {};
    close();
}

void frmSession::showEvent(QShowEvent *event)
{
    RememberedDialog::showEvent(event);
    Refresh();
    mTimer.start();
}

void frmSession::hideEvent(QHideEvent *event)
{
    mTimer.stop();
    RememberedDialog::hideEvent(event);
}

void frmSession::closeEvent(QCloseEvent *event)
{
    mTimer.stop();
    SessionSettings::setWindowOpen(mClosingWithDisplay);
    RememberedDialog::closeEvent(event);
}

frmSession *loadedSessionWindow()
{
    frmSession *window = sessionWindowSlot().data();
    return window && window->mbLoaded ? window : nullptr;
}

void showSessionWindow(Tracked<SessionTarget> target)
{
    frmSession *window = loadedSessionWindow();
    if (!window)
        window = new frmSession(target);
    window->show();
    window->raise();
    window->activateWindow();
}
