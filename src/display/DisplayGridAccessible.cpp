#include "display/DisplayGridAccessible.h"

#include "display/DisplayGrid.h"
#include "display/VisibleText.h"

namespace {

class RowAccessible : public QAccessibleInterface {
public:
    RowAccessible(DisplayGridAccessible *list, int row)
        : mList(list)
        , mRow(row)
    {
    }

    bool isValid() const override { return mList->isValid() && mRow < mList->grid()->Rows(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return mList->window(); }
    QAccessibleInterface *parent() const override { return mList; }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString &) override {}
    QAccessible::Role role() const override { return QAccessible::ListItem; }

    // The row's line as its name; whether it is marked and the rule colouring it, if any, as
    // its description.
    QString text(QAccessible::Text t) const override
    {
        if (!isValid())
            return {};
        const DisplayGrid *grid = mList->grid();
        if (t == QAccessible::Name)
            return VisibleText::forPainting(grid->line(mRow));
        if (t != QAccessible::Description)
            return {};
        QStringList parts;
        if (grid->isMarked(mRow))
            parts << QStringLiteral("marked");
        if (const HighlightRule *rule = grid->highlightOf(mRow))
            parts << rule->description();
        return parts.join(QStringLiteral(", "));
    }

    QRect rect() const override
    {
        if (!isValid())
            return {};
        const DisplayGrid *grid = mList->grid();
        const QRect local = grid->rowRect(mRow);
        if (local.isEmpty())
            return {};
        return QRect(grid->viewport()->mapToGlobal(local.topLeft()), local.size());
    }

    QAccessible::State state() const override
    {
        QAccessible::State s;
        s.selectable = true;
        s.focusable = true;
        if (!isValid())
            return s;
        const DisplayGrid *grid = mList->grid();
        const int first = std::min(grid->Row(), grid->RowSel());
        const int last = std::max(grid->Row(), grid->RowSel());
        s.selected = first >= 0 && mRow >= first && mRow <= last;
        s.focused = grid->hasFocus() && mRow == grid->Row();
        s.invisible = grid->rowRect(mRow).isEmpty();
        s.offscreen = s.invisible;
        return s;
    }

    int row() const { return mRow; }

private:
    DisplayGridAccessible *mList;
    int mRow;
};

QAccessibleInterface *factory(const QString &className, QObject *object)
{
    if (className == QLatin1String("DisplayGrid") && object && object->isWidgetType())
        return new DisplayGridAccessible(static_cast<QWidget *>(object));
    return nullptr;
}

} // namespace

DisplayGridAccessible::DisplayGridAccessible(QWidget *widget)
    : QAccessibleWidget(widget, QAccessible::List)
{
}

DisplayGridAccessible::~DisplayGridAccessible()
{
    forgetRows();
}

DisplayGrid *DisplayGridAccessible::grid() const
{
    return static_cast<DisplayGrid *>(widget());
}

void DisplayGridAccessible::forgetRows()
{
    for (const QAccessible::Id id : std::as_const(mRows))
        QAccessible::deleteAccessibleInterface(id);
    mRows.clear();
}

int DisplayGridAccessible::childCount() const
{
    return grid()->Rows();
}

QAccessibleInterface *DisplayGridAccessible::child(int index) const
{
    if (index < 0 || index >= grid()->Rows())
        return nullptr;
    const auto known = mRows.constFind(index);
    if (known != mRows.constEnd())
        return QAccessible::accessibleInterface(known.value());
    auto *row = new RowAccessible(const_cast<DisplayGridAccessible *>(this), index);
    mRows.insert(index, QAccessible::registerAccessibleInterface(row));
    return row;
}

int DisplayGridAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    if (!child || child->parent() != this || child->role() != QAccessible::ListItem)
        return -1;
    return static_cast<const RowAccessible *>(child)->row();
}

QAccessibleInterface *DisplayGridAccessible::focusChild() const
{
    return grid()->hasFocus() ? child(grid()->Row()) : nullptr;
}

QAccessibleInterface *DisplayGridAccessible::childAt(int x, int y) const
{
    const DisplayGrid *g = grid();
    const QPoint local = g->viewport()->mapFromGlobal(QPoint(x, y));
    for (int row = g->topRow(); row < g->Rows(); ++row) {
        const QRect r = g->rowRect(row);
        if (r.isEmpty())
            break;
        if (r.contains(local))
            return child(row);
    }
    return nullptr;
}

void DisplayGridAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    Q_UNUSED(installed);
}
