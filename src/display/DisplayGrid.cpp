#include "display/DisplayGrid.h"

#include "display/DisplayGridAccessible.h"
#include "display/KeyCodes.h"
#include "display/VisibleText.h"
#include "platform/PrimaryScreen.h"
#include "platform/Twips.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextLayout>

#include <algorithm>
#include <malloc.h>
#include <utility>

namespace {

constexpr int kPadding = 3;
// Wide lines are measured and drawn in slices so a long line costs what is on screen.
constexpr qsizetype kSlice = 256;
// Heights of wrapped rows are remembered for the rows painted lately; beyond this the cache is
// simply dropped and refilled from what is on screen.
constexpr int kWrappedHeightCacheLimit = 4096;

QFont boldOf(const QFont &font)
{
    QFont bold(font);
    bold.setBold(true);
    return bold;
}

void layoutWrapped(QTextLayout &layout, qreal width)
{
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    qreal y = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    layout.endLayout();
}

// The part of a long unwrapped line that falls inside [from, from + width) pixels: its first
// and past-the-end characters and the x at which the first one starts.
struct Slice {
    qsizetype begin = 0;
    qsizetype end = 0;
    int x = 0;
};

Slice visibleSlice(const QString &text, const QFontMetrics &metrics, int from, int width)
{
    if (text.size() <= kSlice)
        return {0, text.size(), 0};
    Slice slice;
    int x = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype n = std::min(kSlice, text.size() - i);
        const int w = metrics.horizontalAdvance(text.mid(i, n));
        if (x + w > from)
            break;
        x += w;
        i += n;
    }
    slice.begin = i;
    slice.x = x;
    while (i < text.size() && x < from + width) {
        const qsizetype n = std::min(kSlice, text.size() - i);
        x += metrics.horizontalAdvance(text.mid(i, n));
        i += n;
    }
    slice.end = i;
    return slice;
}

// The time gutter's surface: the grid paints it, beside the viewport.
class GutterArea : public QWidget {
public:
    GutterArea(QWidget *parent, std::function<void(QWidget *)> paint)
        : QWidget(parent)
        , mPaint(std::move(paint))
    {
        setAutoFillBackground(true);
        setBackgroundRole(QPalette::AlternateBase);
    }

protected:
    void paintEvent(QPaintEvent *) override { mPaint(this); }

private:
    std::function<void(QWidget *)> mPaint;
};

// The stored lines, shown or not, as the highlight rules read them.
class StoredLines final : public LineSource {
public:
    explicit StoredLines(const LineStore &store)
        : mStore(store)
    {
    }
    int lineCount() const override { return mStore.size(); }
    LineView line(int row) const override { return mStore.view(row); }

private:
    const LineStore &mStore;
};

QColor tinted(int colour, const QColor &base)
{
    return QColor::fromRgb(HighlightPalette::tint(colour, base.rgb() & 0xFFFFFF));
}

} // namespace

DisplayGrid::DisplayGrid(QWidget *parent)
    : QAbstractScrollArea(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_KeyCompression, false);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    verticalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setSingleStep(20);
    DisplayGridAccessible::install();
    mRefreshTimer.setSingleShot(true);
    connect(&mRefreshTimer, &QTimer::timeout, this, &DisplayGrid::refreshNow);
    fontChanged();
}

void DisplayGrid::AddItem(QStringView text)
{
    mLines.append(text);
    if (mShown.all())
        contentChanged();
}

int DisplayGrid::FindRow(int value, int startRow) const
{
    if (mShown.all())
        return mLines.findRowData(value, startRow);
    if (startRow >= Rows())
        return -1;
    // Rows show by whole entries, so the first shown row at or after a hidden entry's start
    // starts an entry too.
    for (int store = stored(std::max(startRow, 0));;) {
        const int found = mLines.findRowData(value, store);
        if (found < 0)
            return -1;
        const int shown = mShown.shownAtOrAfter(found);
        if (shown >= Rows())
            return -1;
        if (mLines.rowData(stored(shown)) == value)
            return shown;
        store = stored(shown);
    }
}

int DisplayGrid::markedRow(int index) const
{
    const int row = mLines.markedRow(index);
    return row < 0 ? -1 : mShown.shownRow(row);
}

void DisplayGrid::markStoredEntry(int storeRow)
{
    mLines.setRowData(storeRow, kEntryMark);
    mLines.setBold(storeRow, true);
    const int row = mShown.shownRow(storeRow);
    if (row >= 0) {
        mWrappedHeights.remove(row);
        scheduleRefresh();
    }
}

void DisplayGrid::shownChanged(bool onlyAtTheEnd)
{
    if (!onlyAtTheEnd) {
        mAutoSizedRows = 0;
        mContentWidth = 0;
        mWrappedHeights.clear();
        if (auto *accessible =
                dynamic_cast<DisplayGridAccessible *>(QAccessible::queryAccessibleInterface(this)))
            accessible->forgetRows();
    }
    contentChanged();
}

void DisplayGrid::setShownRows(ShownRows rows, int current)
{
    mShown = std::move(rows);
    mRow = current >= 0 && current < Rows() ? current : -1;
    mRowSel = mRow;
    mTopRow = 0;
    mRowToShow = mRow;
    shownChanged(false);
    updateScrollBars();
    viewport()->update();
    Q_EMIT RowColChange();
}

void DisplayGrid::showStoredTail(int first)
{
    if (mShown.all())
        return;
    const int before = Rows();
    mShown.hideFrom(first);
    const bool shrank = Rows() < before;
    mShown.showTail(first, mLines.size() - first);
    shownChanged(!shrank);
}

void DisplayGrid::hideStoredFrom(int first)
{
    if (mShown.all())
        return;
    const int before = Rows();
    mShown.hideFrom(first);
    if (Rows() == before)
        return;
    if (mRow >= Rows() || mRowSel >= Rows()) {
        mRow = std::min(mRow, Rows() - 1);
        mRowSel = mRow;
    }
    shownChanged(false);
}

void DisplayGrid::showStoredRows(int first, int count)
{
    if (mShown.all() || count <= 0)
        return;
    const int at = mShown.shownAtOrAfter(first);
    mShown.insert(first, count);
    if (mRow >= at)
        mRow += count;
    if (mRowSel >= at)
        mRowSel += count;
    if (mTopRow > at)
        mTopRow += count;
    shownChanged(false);
}

void DisplayGrid::clearRows()
{
    const bool rowChanged = mRow != -1;
    if (auto *accessible =
            dynamic_cast<DisplayGridAccessible *>(QAccessible::queryAccessibleInterface(this)))
        accessible->forgetRows();
    mLines.clear();
    mMarks.clear();
    mHighlights.forgetEntries();
    placeGutter();
    if (!mShown.all())
        mShown.showNone();
    // The blocks were large; hand the freed pages back to the system, not just to the heap.
    malloc_trim(0);
    mRow = -1;
    mRowSel = -1;
    mAutoSizedRows = 0;
    mContentWidth = 0;
    mWrappedHeights.clear();
    mTopRow = 0;
    mRowToShow = -1;
    horizontalScrollBar()->setValue(0);
    updateScrollBars();
    viewport()->update();
    if (rowChanged)
        Q_EMIT RowColChange();
}

void DisplayGrid::setRow(int row)
{
    if (row < 0 || row >= Rows())
        return;
    mRow = row;
    mRowSel = row;
    scheduleRefresh();
    if (QAccessible::isActive()) {
        QAccessibleEvent event(this, QAccessible::Focus);
        event.setChild(row);
        QAccessible::updateAccessibility(&event);
    }
    Q_EMIT RowColChange();
}

QString DisplayGrid::TextMatrix(int row, int col) const
{
    if (col != 0 || row < 0 || row >= Rows())
        return {};
    return mLines.text(stored(row));
}

void DisplayGrid::setCellFontBold(int row, bool bold)
{
    if (row < 0 || row >= Rows())
        return;
    mLines.setBold(stored(row), bold);
    mWrappedHeights.remove(row);
    scheduleRefresh();
}

void DisplayGrid::ShowCell(int row, int col)
{
    if (col != 0 || row < 0 || row >= Rows())
        return;
    ensureVisible(row);
}

void DisplayGrid::setRedraw(int redraw)
{
    mRedraw = redraw;
    if (mRedraw) {
        mScrollBarsDirty = true;
        scheduleRefresh();
    }
}

// With word wrap every line fits the view's width and the widest line matters to nobody, so
// measuring waits until wrapping is switched off.
void DisplayGrid::AutoSize(int col)
{
    if (col != 0)
        return;
    if (!mWordWrap)
        measureNewRows();
    mScrollBarsDirty = true;
    scheduleRefresh();
}

void DisplayGrid::measureNewRows()
{
    const QFontMetrics metrics(font());
    const QFontMetrics boldMetrics(boldOf(font()));
    const qint64 widestChar = std::max(metrics.maxWidth(), boldMetrics.maxWidth());
    for (int row = mAutoSizedRows; row < Rows(); ++row) {
        // A line cannot be wider than its length in the widest glyph: most lines are ruled
        // out without being measured.
        const qint64 length =
            std::min<qint64>(mLines.view(stored(row)).length, VisibleText::PaintLimit);
        if (length * widestChar <= mContentWidth)
            continue;
        mContentWidth = std::max(mContentWidth, textWidth(row));
    }
    mAutoSizedRows = Rows();
}

void DisplayGrid::setFontName(const QString &name)
{
    QFont f(font());
    f.setFamily(name);
    setFont(f);
}

void DisplayGrid::setFontSize(double points)
{
    if (points <= 0)
        return;
    QFont f(font());
    f.setPointSizeF(points);
    setFont(f);
}

void DisplayGrid::setWordWrap(bool wrap)
{
    if (wrap == mWordWrap)
        return;
    mWordWrap = wrap;
    if (!wrap)
        measureNewRows();
    mWrappedHeights.clear();
    horizontalScrollBar()->setValue(0);
    updateScrollBars();
    viewport()->update();
}

void DisplayGrid::Refresh()
{
    viewport()->update();
}

double DisplayGrid::Left() const
{
    return x() * primaryTwipsScale().perPixelX;
}

double DisplayGrid::Top() const
{
    return y() * primaryTwipsScale().perPixelY;
}

void DisplayGrid::setLeft(double twips)
{
    move(primaryTwipsScale().xToPixels(twips), y());
}

void DisplayGrid::setTop(double twips)
{
    move(x(), primaryTwipsScale().yToPixels(twips));
}

void DisplayGrid::setWidth(double twips)
{
    resize(std::max(0, primaryTwipsScale().xToPixels(twips)), height());
}

void DisplayGrid::setHeight(double twips)
{
    resize(width(), std::max(0, primaryTwipsScale().yToPixels(twips)));
}

void DisplayGrid::setTopRow(int row)
{
    mRowToShow = -1;
    if (row == mTopRow)
        return;
    mTopRow = row;
    mScrollBarsDirty = true;
    scheduleRefresh();
}

void DisplayGrid::scrollContentsBy(int, int)
{
    if (!mSyncingScrollBars) {
        mRowToShow = -1;
        mTopRow = verticalScrollBar()->value();
    }
    viewport()->update();
}

QRect DisplayGrid::rowRect(int row) const
{
    int y = 0;
    for (int r = topRow(); r < Rows() && y < viewport()->height(); ++r) {
        const int h = rowHeight(r);
        if (r == row)
            return {0, y, viewport()->width(), h};
        y += h;
    }
    return {};
}

void DisplayGrid::setGutter(GutterLabel label, const QString &widest)
{
    mGutterLabel = std::move(label);
    mGutterWidest = widest;
    placeGutter();
}

int DisplayGrid::markerWidth() const
{
    return mMarks.empty() ? 0 : mLineHeight;
}

// The gutter holds the marks' margin while there are marks, and the labels while there is a
// label; the lines are narrower or wider when it changes.
void DisplayGrid::placeGutter()
{
    const int labels =
        mGutterLabel ? QFontMetrics(font()).horizontalAdvance(mGutterWidest) + 2 * kPadding : 0;
    const int width = markerWidth() + labels;
    if (width > 0 && !mGutter) {
        mGutter = new GutterArea(this, [this](QWidget *gutter) { paintGutter(gutter); });
        mGutter->setObjectName(QStringLiteral("gutter"));
    }
    if (mGutter)
        mGutter->setVisible(width > 0);
    if (viewportMargins().left() != width) {
        setViewportMargins(width, 0, 0, 0);
        mWrappedHeights.clear();
        updateScrollBars();
        viewport()->update();
    }
    if (width == 0)
        return;
    const QRect area = viewport()->geometry();
    mGutter->setGeometry(area.left() - width, area.top(), width, area.height());
    mGutter->update();
}

void DisplayGrid::paintGutter(QWidget *gutter)
{
    QPainter painter(gutter);
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::PlaceholderText));
    painter.setRenderHint(QPainter::Antialiasing);
    const QFontMetrics metrics(font());
    const int height = gutter->height();
    const int markers = markerWidth();
    const int room = gutter->width() - markers - 2 * kPadding;
    const QColor marker = palette().color(QPalette::Highlight);
    int y = 0;
    for (int row = topRow(); row < Rows() && y < height; ++row) {
        if (markers > 0 && isMarked(row)) {
            const int size = std::max(4, std::min(markers, mLineHeight) - 2 * kPadding);
            painter.setBrush(marker);
            painter.setPen(Qt::NoPen);
            painter.drawEllipse(
                QRect((markers - size) / 2, y + (mLineHeight - size) / 2, size, size));
            painter.setPen(palette().color(QPalette::PlaceholderText));
        }
        const QString label = mGutterLabel ? mGutterLabel(row) : QString();
        if (!label.isEmpty())
            painter.drawText(markers + kPadding, y + 1 + metrics.ascent(),
                             metrics.elidedText(label, Qt::ElideRight, room));
        y += rowHeight(row);
    }
}

void DisplayGrid::toggleMark(int row)
{
    if (row < 0 || row >= Rows())
        return;
    mMarks.toggle(stored(row));
    placeGutter();
    descriptionsChanged(row, row);
}

void DisplayGrid::clearMarks()
{
    mMarks.clear();
    placeGutter();
    descriptionsChanged(topRow(), Rows() - 1);
}

void DisplayGrid::setHighlightRules(std::vector<HighlightRule> rules)
{
    mHighlights.setRules(std::move(rules));
    viewport()->update();
    descriptionsChanged(topRow(), Rows() - 1);
}

// Screen readers hear of marks and highlights as the rows' descriptions change; rows off screen
// are read afresh when they come into view.
void DisplayGrid::descriptionsChanged(int first, int last)
{
    if (!QAccessible::isActive())
        return;
    const int height = viewport()->height();
    for (int row = first, y = 0; row <= last && y < height; ++row) {
        QAccessibleEvent event(this, QAccessible::DescriptionChanged);
        event.setChild(row);
        QAccessible::updateAccessibility(&event);
        y += rowHeight(row);
    }
}

const HighlightRule *DisplayGrid::highlightOf(int row) const
{
    if (!mHighlights.active() || row < 0 || row >= Rows())
        return nullptr;
    const int store = stored(row);
    const int entry = mLines.markedIndexAtOrAbove(store);
    const int first = entry < 0 ? 0 : mLines.markedRow(entry);
    const int next = mLines.markedRow(entry + 1);
    const int rule =
        mHighlights.ruleOf(StoredLines(mLines), store, first, next < 0 ? mLines.size() : next);
    return rule < 0 ? nullptr : &mHighlights.rules()[std::size_t(rule)];
}

void DisplayGrid::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        fontChanged();
    QAbstractScrollArea::changeEvent(event);
}

void DisplayGrid::fontChanged()
{
    mLineHeight =
        std::max(QFontMetrics(font()).lineSpacing(), QFontMetrics(boldOf(font())).lineSpacing()) +
        2;
    mAutoSizedRows = 0;
    mContentWidth = 0;
    mWrappedHeights.clear();
    placeGutter();
    updateScrollBars();
    viewport()->update();
}

void DisplayGrid::contentChanged()
{
    mScrollBarsDirty = true;
    scheduleRefresh();
}

// A busy client changes the grid thousands of times a second; the screen follows at most once
// per refresh interval, and the scroll bars with it, so serving a call costs no painting.
void DisplayGrid::scheduleRefresh()
{
    if (!mRedraw || mRefreshTimer.isActive())
        return;
    const qint64 sincePaint = mLastPaint.isValid() ? mLastPaint.elapsed() : RefreshIntervalMs;
    mRefreshTimer.start(int(std::max<qint64>(0, RefreshIntervalMs - sincePaint)));
}

void DisplayGrid::refreshNow()
{
    if (mScrollBarsDirty)
        updateScrollBars();
    viewport()->update();
}

void DisplayGrid::updateScrollBars()
{
    // The first row is settled first: settling it marks the scroll bars out of date. It never
    // leaves empty rows below while lines are hidden above, as it would once the window grew.
    const int rows = Rows();
    const int lastTop = rows == 0 ? 0 : rows - rowsFittingAbove(rows - 1);
    const int top = std::min(topRow(), std::max(0, lastTop));
    mTopRow = top;
    mScrollBarsDirty = false;
    mSyncingScrollBars = true;
    QScrollBar *vertical = verticalScrollBar();
    vertical->setRange(0, std::max(0, lastTop));
    vertical->setPageStep(std::max(1, pageRows()));
    vertical->setValue(top);

    QScrollBar *horizontal = horizontalScrollBar();
    if (mWordWrap) {
        horizontal->setRange(0, 0);
    } else {
        horizontal->setRange(0, std::max(0, mContentWidth + 2 * kPadding - viewport()->width()));
        horizontal->setPageStep(std::max(1, viewport()->width()));
    }
    mSyncingScrollBars = false;
}

int DisplayGrid::textWidth(int row) const
{
    const QFontMetrics metrics(mLines.bold(stored(row)) ? boldOf(font()) : font());
    const QString text = VisibleText::forPainting(mLines.view(stored(row)));
    int width = 0;
    for (qsizetype i = 0; i < text.size(); i += kSlice)
        width += metrics.horizontalAdvance(text.mid(i, kSlice));
    return width;
}

int DisplayGrid::rowHeight(int row) const
{
    if (!mWordWrap)
        return mLineHeight;
    const auto cached = mWrappedHeights.constFind(row);
    if (cached != mWrappedHeights.constEnd())
        return cached.value();
    QTextLayout layout(VisibleText::forPainting(mLines.view(stored(row))),
                       mLines.bold(stored(row)) ? boldOf(font()) : font());
    layoutWrapped(layout, std::max(1, viewport()->width() - 2 * kPadding));
    const int height = std::max(mLineHeight, int(std::ceil(layout.boundingRect().height())) + 2);
    if (mWrappedHeights.size() >= kWrappedHeightCacheLimit)
        mWrappedHeights.clear();
    mWrappedHeights.insert(row, height);
    return height;
}

int DisplayGrid::rowsFittingAbove(int lastRow) const
{
    const int available = viewport()->height();
    if (!mWordWrap)
        return std::max(1, std::min(lastRow + 1, available / mLineHeight));
    int used = 0;
    int count = 0;
    for (int row = lastRow; row >= 0; --row) {
        used += rowHeight(row);
        if (used > available)
            break;
        ++count;
    }
    return std::max(1, count);
}

int DisplayGrid::pageRows() const
{
    const int available = viewport()->height();
    if (!mWordWrap)
        return std::max(1, available / mLineHeight);
    int used = 0;
    int count = 0;
    for (int row = topRow(); row < Rows(); ++row) {
        used += rowHeight(row);
        if (used > available)
            break;
        ++count;
    }
    return std::max(1, count);
}

int DisplayGrid::rowAt(int y) const
{
    if (y < 0)
        return -1;
    int top = 0;
    for (int row = topRow(); row < Rows(); ++row) {
        top += rowHeight(row);
        if (y < top)
            return row;
        if (top > viewport()->height())
            break;
    }
    return -1;
}

// With word wrap, bringing a row into view means laying out the rows above it, and a busy
// client asks for it with every entry. Only the latest request for a later row counts (the
// first row on screen only grows with the row shown), so the grid keeps that one and lays out
// a single screen when the first row is next needed.
void DisplayGrid::ensureVisible(int row)
{
    if (mRowToShow >= 0 && row >= mRowToShow) {
        mRowToShow = row;
        return;
    }
    if (row < topRow()) {
        setTopRow(row);
        return;
    }
    mRowToShow = row;
    mScrollBarsDirty = true;
    scheduleRefresh();
}

int DisplayGrid::topRow() const
{
    if (mRowToShow < 0)
        return mTopRow;
    const int row = std::exchange(mRowToShow, -1);
    const int firstTop = row - rowsFittingAbove(row) + 1;
    if (firstTop > mTopRow) {
        mTopRow = firstTop;
        mScrollBarsDirty = true;
    }
    return mTopRow;
}

void DisplayGrid::moveCursor(int row, bool extend)
{
    if (Rows() == 0)
        return;
    row = std::clamp(row, 0, Rows() - 1);
    if (extend && mRow >= 0) {
        mRowSel = row;
        viewport()->update();
    } else {
        setRow(row);
    }
    ensureVisible(row);
}

void DisplayGrid::keyPressEvent(QKeyEvent *event)
{
    Q_EMIT KeyDown(KeyCodes::virtualKey(event->key()), KeyCodes::shiftBits(event->modifiers()));
    const bool extend = event->modifiers() & Qt::ShiftModifier;
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const int from = extend && mRowSel >= 0 ? mRowSel : mRow;
    QScrollBar *horizontal = horizontalScrollBar();
    switch (event->key()) {
    case Qt::Key_Up:
        moveCursor(from < 0 ? 0 : from - 1, extend);
        break;
    case Qt::Key_Down:
        moveCursor(from + 1, extend);
        break;
    case Qt::Key_PageUp:
        moveCursor(std::max(0, from) - pageRows(), extend);
        break;
    case Qt::Key_PageDown:
        moveCursor(std::max(0, from) + pageRows(), extend);
        break;
    case Qt::Key_Home:
        if (ctrl)
            moveCursor(0, extend);
        else
            horizontal->setValue(horizontal->minimum());
        break;
    case Qt::Key_End:
        if (ctrl)
            moveCursor(Rows() - 1, extend);
        else
            horizontal->setValue(horizontal->maximum());
        break;
    case Qt::Key_Left:
        horizontal->triggerAction(QAbstractSlider::SliderSingleStepSub);
        break;
    case Qt::Key_Right:
        horizontal->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        break;
    case Qt::Key_A:
        if (ctrl && Rows() > 0) {
            setRow(0);
            mRowSel = Rows() - 1;
            viewport()->update();
            break;
        }
        event->ignore();
        return;
    default:
        event->ignore();
        return;
    }
    event->accept();
}

void DisplayGrid::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const int row = rowAt(int(event->position().y()));
    if (row < 0)
        return;
    mSelecting = true;
    moveCursor(row, event->modifiers() & Qt::ShiftModifier);
}

void DisplayGrid::mouseMoveEvent(QMouseEvent *event)
{
    if (!mSelecting || !(event->buttons() & Qt::LeftButton) || mRow < 0)
        return;
    const int y = int(event->position().y());
    int row;
    if (y < 0)
        row = topRow() - 1;
    else if (y >= viewport()->height())
        row = topRow() + pageRows();
    else
        row = rowAt(y) < 0 ? Rows() - 1 : rowAt(y);
    moveCursor(row, true);
}

void DisplayGrid::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        mSelecting = false;
    const TwipsScale scale = primaryTwipsScale();
    Q_EMIT MouseUp(KeyCodes::buttonBits(event->button() | event->buttons()),
                   KeyCodes::shiftBits(event->modifiers()), event->position().x() * scale.perPixelX,
                   event->position().y() * scale.perPixelY);
}

void DisplayGrid::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    placeGutter();
    mWrappedHeights.clear();
    updateScrollBars();
}

void DisplayGrid::paintEvent(QPaintEvent *)
{
    QPainter painter(viewport());
    const QPalette &pal = palette();
    const int width = viewport()->width();
    const int height = viewport()->height();
    const int xOffset = mWordWrap ? 0 : horizontalScrollBar()->value();
    const int selFirst = std::min(mRow, mRowSel);
    const int selLast = std::max(mRow, mRowSel);
    const QFont normal = font();
    const QFont bold = boldOf(normal);
    const QPalette::ColorGroup group = hasFocus() ? QPalette::Active : QPalette::Inactive;
    const bool highlights = mHighlights.active();

    int y = 0;
    int widest = mContentWidth;
    for (int row = topRow(); row < Rows() && y < height; ++row) {
        const int h = rowHeight(row);
        const QRect rowRect(0, y, width, h);
        const bool selected = selFirst >= 0 && row >= selFirst && row <= selLast;
        if (selected) {
            painter.fillRect(rowRect, pal.brush(group, QPalette::Highlight));
        } else if (highlights) {
            if (const HighlightRule *rule = highlightOf(row))
                painter.fillRect(rowRect, tinted(rule->colour, pal.color(group, QPalette::Base)));
        }
        painter.setPen(pal.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
        const bool isBold = mLines.bold(stored(row));
        painter.setFont(isBold ? bold : normal);
        const QString text = VisibleText::forPainting(mLines.view(stored(row)));
        if (mWordWrap) {
            QTextLayout layout(text, isBold ? bold : normal);
            layoutWrapped(layout, std::max(1, width - 2 * kPadding));
            layout.draw(&painter, QPointF(kPadding, y + 1));
        } else {
            const QFontMetrics metrics(painter.font());
            const Slice slice = visibleSlice(text, metrics, xOffset, width);
            const int baseline = y + 1 + metrics.ascent();
            painter.drawText(kPadding + slice.x - xOffset, baseline,
                             text.mid(slice.begin, slice.end - slice.begin));
            if (text.size() <= kSlice)
                widest = std::max(widest, metrics.horizontalAdvance(text));
        }
        if (row == mRow && hasFocus()) {
            QPen focusPen(pal.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
            focusPen.setStyle(Qt::DotLine);
            painter.setPen(focusPen);
            painter.drawRect(rowRect.adjusted(0, 0, -1, -1));
        }
        y += h;
    }
    mLastPaint.start();
    if (mGutter && mGutter->isVisible())
        mGutter->update();
    if (widest > mContentWidth) {
        mContentWidth = widest;
        mScrollBarsDirty = true;
        scheduleRefresh();
    }
}
