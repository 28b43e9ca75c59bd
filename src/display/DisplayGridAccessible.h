#pragma once

#include <QAccessibleWidget>
#include <QHash>

class DisplayGrid;

// Lets screen readers read the display: the grid is a list whose items are its rows, each
// named by its line. Row items are made when asked for and kept until the rows are cleared.
class DisplayGridAccessible : public QAccessibleWidget {
public:
    explicit DisplayGridAccessible(QWidget *widget);
    ~DisplayGridAccessible() override;

    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *focusChild() const override;
    QAccessibleInterface *childAt(int x, int y) const override;

    DisplayGrid *grid() const;
    // Forgets every row item; the grid calls this when it drops its rows.
    void forgetRows();

    // Installs the factory that gives every DisplayGrid this interface.
    static void install();

private:
    mutable QHash<int, QAccessible::Id> mRows;
};
