#pragma once

#include "platform/Tracked.h"
#include "preferences/RememberedDialog.h"
#include "session/SessionTarget.h"

#include <QTimer>

class QCheckBox;
class QLabel;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;
class RequestTableModel;
class SessionTableModel;

// The Session window: live figures of the traffic, a row per client title and one per title
// and request name, and ways from them to the entries. It opens modeless, once, and remembers
// where it was and its size.
class frmSession : public RememberedDialog {
    Q_OBJECT
public:
    // The figures are read again at most this often.
    static constexpr int RefreshIntervalMs = 250;

    explicit frmSession(Tracked<SessionTarget> target);

    QLabel *lblFigures;
    QLabel *lblSince;
    QLabel *lblOutstanding;
    QTableView *grdClients;
    QTableView *grdRequests;
    QCheckBox *chkTimeGutter;
    QPushButton *cmdSlowest;
    QPushButton *cmdNextUnanswered;
    QLabel *lblStatus;
    QPushButton *cmdClose;

    // Reads the figures now.
    void Refresh();
    void GoToSlowest();
    void GoToNextUnanswered();
    void GoToNewestOf(int client);
    // `row` as the Requests table shows it, sorted.
    void GoToNewestRequest(int row);

    // The display is closing: the window goes with it, and opens with it next time.
    void closeWithDisplay();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void goTo(int entry, const QString &none);

    Tracked<SessionTarget> mTarget;
    SessionTableModel *mModel;
    RequestTableModel *mRequests;
    QSortFilterProxyModel *mSortedRequests;
    QTimer mTimer;
    bool mClosingWithDisplay = false;
};

// Shows the Session window over `target`, creating it when it is not loaded, else bringing
// it to the front.
void showSessionWindow(Tracked<SessionTarget> target);

// The Session window while it is loaded, else null.
frmSession *loadedSessionWindow();
