// The View bar: following new entries or holding still, and narrowing the rows shown to whole
// entries by client, text, errors and unanswered requests.
#include "display/DisplayGrid.h"
#include "display/GridValues.h"
#include "display/StoredEntries.h"
#include "display/frmMain.h"
#include "session/SessionLog.h"
#include "view/ViewSettings.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

namespace {

// The text fields apply at most this often while the operator types.
constexpr int kTypingIntervalMs = 150;
// A filter over many lines is applied in slices this long, the window answering in between.
constexpr int kSliceMs = 12;
constexpr int kViewTextsIntervalMs = 100;

} // namespace

void frmMain::createViewBar()
{
    addToolBarBreak();
    tbrView = new QToolBar(QStringLiteral("View"), this);
    tbrView->setObjectName(QStringLiteral("tbrView"));
    tbrView->setAccessibleName(QStringLiteral("View"));
    tbrView->setMovable(false);
    tbrView->setToolButtonStyle(Qt::ToolButtonTextOnly);
    addToolBar(tbrView);
    // The main toolbar stays: without it there would be no way back to the commands.
    tbr->toggleViewAction()->setEnabled(false);
    connect(tbrView->toggleViewAction(), &QAction::triggered, this,
            [](bool shown) { ViewSettings::setShown(shown); });

    tbrFollow = tbrView->addAction(QStringLiteral("Follow"));
    tbrFollow->setObjectName(QStringLiteral("tbrFollow"));
    tbrFollow->setCheckable(true);
    tbrFollow->setChecked(true);
    connect(tbrFollow, &QAction::toggled, this, [this](bool follow) {
        mUnseenEntries = 0;
        scheduleViewTexts();
        if (follow)
            GoToLastEntry();
    });
    tbrView->addSeparator();

    const auto field = [this](const QString &name, const QString &objectName) {
        auto *edit = new QLineEdit(tbrView);
        edit->setObjectName(objectName);
        edit->setAccessibleName(name);
        edit->setPlaceholderText(name);
        edit->setClearButtonEnabled(true);
        edit->setFixedWidth(edit->fontMetrics().averageCharWidth() * 24);
        connect(edit, &QLineEdit::textChanged, this, [this] {
            if (!mFilterTyping.isActive())
                mFilterTyping.start();
        });
        tbrView->addWidget(edit);
        return edit;
    };
    txtFilter = field(QStringLiteral("Filter"), QStringLiteral("txtFilter"));
    txtExclude = field(QStringLiteral("Exclude"), QStringLiteral("txtExclude"));
    mFilterTyping.setSingleShot(true);
    mFilterTyping.setInterval(kTypingIntervalMs);
    connect(&mFilterTyping, &QTimer::timeout, this, &frmMain::ApplyFilter);

    tbrClients = new QToolButton(tbrView);
    tbrClients->setObjectName(QStringLiteral("tbrClients"));
    tbrClients->setText(QStringLiteral("Clients"));
    tbrClients->setAccessibleName(QStringLiteral("Clients"));
    tbrClients->setPopupMode(QToolButton::InstantPopup);
    tbrClients->setFocusPolicy(Qt::NoFocus); // as the toolbars' own tools: the keys stay put
    tbrClients->setMenu(new QMenu(tbrClients));
    connect(tbrClients->menu(), &QMenu::aboutToShow, this, &frmMain::fillClientsMenu);
    tbrView->addWidget(tbrClients);

    const auto toggle = [this](const QString &name, const QString &objectName) {
        QAction *action = tbrView->addAction(name);
        action->setObjectName(objectName);
        action->setCheckable(true);
        connect(action, &QAction::toggled, this, &frmMain::ApplyFilter);
        return action;
    };
    tbrErrors = toggle(QStringLiteral("Errors"), QStringLiteral("tbrErrors"));
    tbrUnanswered = toggle(QStringLiteral("Unanswered"), QStringLiteral("tbrUnanswered"));
    createMarkTools();
    lblShown = new QLabel(tbrView);
    lblShown->setObjectName(QStringLiteral("lblShown"));
    lblShown->setContentsMargins(8, 0, 8, 0);
    tbrView->addWidget(lblShown);

    auto *showBar = new QAction(QStringLiteral("View bar"), this);
    showBar->setShortcut(Qt::CTRL | Qt::Key_L);
    connect(showBar, &QAction::triggered, this, [this] { showViewBar(!tbrView->isVisible()); });
    addAction(showBar);
    tbrView->setVisible(ViewSettings::shown());

    mFilterSlices.setInterval(0);
    connect(&mFilterSlices, &QTimer::timeout, this, &frmMain::filterSlice);
    mViewTexts.setSingleShot(true);
    mViewTexts.setInterval(kViewTextsIntervalMs);
    connect(&mViewTexts, &QTimer::timeout, this, &frmMain::updateShownLabel);
    Session().setUnansweredListener([this](int entry) { entryUnanswered(entry); });
}

void frmMain::showViewBar(bool shown)
{
    tbrView->setVisible(shown);
    ViewSettings::setShown(shown);
}

bool frmMain::Following() const
{
    return tbrFollow->isChecked();
}

void frmMain::setFollowing(bool follow)
{
    tbrFollow->setChecked(follow);
}

// A title per client the session has seen, checked while its entries show.
void frmMain::fillClientsMenu()
{
    QMenu *menu = tbrClients->menu();
    menu->clear();
    const SessionLog &log = Session();
    for (int client = 0; client < log.clientCount(); ++client) {
        QAction *item = menu->addAction(log.client(client).title);
        item->setCheckable(true);
        item->setChecked(std::size_t(client) >= mHiddenClients.size() ||
                         !mHiddenClients[std::size_t(client)]);
        connect(item, &QAction::toggled, this, [this, client](bool shown) {
            if (std::size_t(client) >= mHiddenClients.size())
                mHiddenClients.resize(std::size_t(client) + 1);
            mHiddenClients[std::size_t(client)] = !shown;
            ApplyFilter();
        });
    }
}

void frmMain::showOnlyClient(int client)
{
    mHiddenClients.assign(std::size_t(std::max(Session().clientCount(), client + 1)), true);
    mHiddenClients[std::size_t(client)] = false;
    ApplyFilter();
}

void frmMain::showAllClients()
{
    mHiddenClients.clear();
    ApplyFilter();
}

ViewConditions frmMain::viewConditions() const
{
    return {txtFilter->text(), txtExclude->text(), mHiddenClients, tbrErrors->isChecked(),
            tbrUnanswered->isChecked()};
}

void frmMain::ApplyFilter()
{
    mFilterTyping.stop();
    ViewFilter filter(viewConditions());
    if (filter.active()) {
        mFilterRun.emplace(std::move(filter));
        mFilterSlices.start();
        updateShownLabel();
        return;
    }
    mFilterRun.reset();
    mFilterSlices.stop();
    if (mFilter.active()) {
        mFilter = ViewFilter();
        showRows(ShownRows(), mGrid->markedCount());
    }
    updateShownLabel();
}

// A filter that showed nothing leaves the operator's place to come back to once rows show.
int frmMain::currentStoredRow() const
{
    return mGrid->Row() >= 0 ? mGrid->stored(mGrid->Row()) : mHeldCurrent;
}

void frmMain::showRows(ShownRows rows, int shownEntries)
{
    const int stored = currentStoredRow();
    const int current = currentAfterFiltering(rows, stored, StoredEntries(mGrid->store(), mFacts));
    mHeldCurrent = current < 0 ? stored : -1;
    mShownEntries = shownEntries;
    mNewestScan = {};
    mGrid->setShownRows(std::move(rows), current);
    if (current >= 0)
        mGrid->ShowCell(current, kTextColumn);
}

void frmMain::filterSlice()
{
    const StoredEntries source(mGrid->store(), mFacts);
    if (mFilterRun->advance(source, QDeadlineTimer(kSliceMs)))
        filterDone();
}

// The new rows take over. The current entry stays current when it still shows, else the
// nearest shown entry before it, else the first shown.
void frmMain::filterDone()
{
    mFilterSlices.stop();
    mFilter = mFilterRun->filter();
    const int shown = mFilterRun->shownEntries();
    ShownRows rows = mFilterRun->takeRows();
    mFilterRun.reset();
    showRows(std::move(rows), shown);
    updateShownLabel();
}

// The newest entry was stored or grew: whether it shows may have changed with it.
void frmMain::newestEntryChanged(bool started)
{
    const int newest = mFacts.size() - 1;
    if (!mFilter.active() || newest < 0)
        return;
    const StoredEntries source(mGrid->store(), mFacts);
    const int first = mFacts.row(newest);
    const bool wasShown = !started && mGrid->shownRows().shownRow(first) >= 0;
    const bool shows = mFilter.showsGrowing(source, newest, mNewestScan);
    if (shows)
        mGrid->showStoredTail(first);
    else
        mGrid->hideStoredFrom(first);
    mShownEntries += int(shows) - int(wasShown);
    scheduleViewTexts();
}

void frmMain::entryUnanswered(int entry)
{
    mFacts.set(entry, EntryFacts::kUnanswered);
    if (!mFilter.active() || entry >= mFacts.size())
        return;
    const StoredEntries source(mGrid->store(), mFacts);
    const auto [first, end] = ViewFilter::rowsOf(source, entry);
    if (mGrid->shownRows().shownRow(first) >= 0 || !mFilter.shows(source, entry))
        return;
    mGrid->showStoredRows(first, end - first);
    ++mShownEntries;
    scheduleViewTexts();
}

// The counts on the View bar follow the traffic, a repaint at a time rather than a call.
void frmMain::scheduleViewTexts()
{
    if (!mViewTexts.isActive())
        mViewTexts.start();
}

int frmMain::shownEntries() const
{
    return mFilter.active() ? mShownEntries : mGrid->markedCount();
}

void frmMain::updateShownLabel()
{
    tbrFollow->setText(mUnseenEntries > 0 ? QStringLiteral("Follow (%1 new)").arg(mUnseenEntries)
                                          : QStringLiteral("Follow"));
    if (mFilterRun)
        lblShown->setText(QStringLiteral("filtering\u2026"));
    else if (mFilter.active())
        lblShown->setText(
            QStringLiteral("%1 of %2 entries").arg(mShownEntries).arg(mGrid->markedCount()));
    else
        lblShown->clear();
}
