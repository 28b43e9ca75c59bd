#pragma once

#include "ClientSet.h"
#include "HelixError.h"

#include <QMainWindow>

#include <memory>
#include <optional>

class DisplayGrid;

// The display window: the grid of trace lines and the formatters that turn each traced call
// into lines, with the entry bookkeeping that navigation and the commands rely on.
class frmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit frmMain(QWidget *parent = nullptr);

    DisplayGrid *vsf() const { return mGrid; }

    // True from the window's creation until it has finished closing.
    bool mbLoaded = true;
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
    int PreviousEntryRow = -1;
    int CurrentEntryRow = -1;
    int NextEntryRow = -1;
    // True while the window itself moves the grid's current row.
    bool IsNavigating = false;

    QString ContinuationIndent = QStringLiteral("       ");

    // What the commands may do, recomputed from the grid and the entry rows on every call.
    struct CommandState {
        bool hasLines = false;
        bool canGoBack = false;
        bool canGoForward = false;
    };
    void UpdateCommandState();
    CommandState commandState() const { return mCommandState; }

Q_SIGNALS:
    // The window has closed: it is no longer loaded and holds no client-interface object.
    void unloaded();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void startEntry(int row);
    void appendLine(QStringView prefix, QStringView body);
    void layoutGrid();

    DisplayGrid *mGrid = nullptr;
    CommandState mCommandState;
    // Reused for every line built, so formatting a buffer allocates nothing per line.
    QString mLine;
};
