// The designed dialogs in the desktop's face, at its size and at 1.25 times it: no control runs
// into another or out of its frame, and every caption fits its control.
#include "find/frmFind.h"
#include "help/frmHelp.h"
#include "preferences/frmPreferences.h"

#include <QApplication>
#include <QDebug>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStyleOptionGroupBox>
#include <QTest>

#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

// What a control shows: a one-line label or a picture where its alignment puts it, anything
// else all of its rectangle.
QRect inkOf(const QWidget *child)
{
    const auto *label = qobject_cast<const QLabel *>(child);
    if (!label || label->wordWrap())
        return child->geometry();
    const QSize ink =
        label->pixmap().isNull()
            ? QSize(label->fontMetrics().horizontalAdvance(QString(label->text()).remove(u'&')),
                    label->fontMetrics().height())
            : label->pixmap().deviceIndependentSize().toSize();
    return QStyle::alignedRect(label->layoutDirection(), label->alignment(), ink,
                               child->geometry());
}

QString nameOf(const QWidget *widget)
{
    const auto *label = qobject_cast<const QLabel *>(widget);
    const auto *button = qobject_cast<const QAbstractButton *>(widget);
    const QRect r = inkOf(widget);
    return QDebug::toString(widget) +
           (label    ? label->text()
            : button ? button->text()
                     : QString()) +
           QDebug::toString(r);
}

// Where a control's children may go: the dialog's client area, or inside a frame's border.
QRect roomOf(const QWidget *parent)
{
    const auto *box = qobject_cast<const QGroupBox *>(parent);
    if (!box)
        return parent->rect();
    QStyleOptionGroupBox option;
    option.initFrom(box);
    option.text = box->title();
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    return box->style()
        ->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxFrame, box)
        .adjusted(1, 1, -1, -1);
}

bool isCut(const QWidget *child)
{
    if (const auto *label = qobject_cast<const QLabel *>(child))
        return label->wordWrap() ? label->heightForWidth(child->width()) > child->height()
                                 : !child->geometry().contains(inkOf(child));
    const auto *button = qobject_cast<const QPushButton *>(child); // its caption and margins
    return (button ? button->fontMetrics().horizontalAdvance(QString(button->text()).remove(u'&')) +
                         2 * button->style()->pixelMetric(QStyle::PM_ButtonMargin)
                   : child->sizeHint().width()) > child->width();
}

QStringList problems(const QWidget *parent)
{
    QStringList found;
    const QList<QWidget *> children = parent->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    for (int i = 0; i < children.size(); ++i) {
        if (!roomOf(parent).contains(inkOf(children[i])))
            found << nameOf(children[i]) + u" leaves "_s + nameOf(parent);
        for (int j = i + 1; j < children.size(); ++j) {
            if (inkOf(children[i]).intersects(inkOf(children[j])))
                found << nameOf(children[i]) + u" runs into "_s + nameOf(children[j]);
        }
        if (isCut(children[i]))
            found << nameOf(children[i]) + u" is cut"_s;
        found << problems(children[i]);
    }
    return found;
}

} // namespace

class tst_DialogLayout : public QObject {
    Q_OBJECT

    const QFont mDesktop = QApplication::font();

private Q_SLOTS:
    void dialogs_data()
    {
        QTest::addColumn<int>("dialog");
        QTest::addColumn<double>("size");
        const char *names[] = {"Preferences", "Find", "Help"};
        for (int dialog = 0; dialog < 3; ++dialog) {
            QTest::addRow("%s, desktop face", names[dialog]) << dialog << 1.0;
            QTest::addRow("%s, 1.25 times", names[dialog]) << dialog << 1.25;
        }
    }

    void dialogs()
    {
        QFETCH(int, dialog);
        QFETCH(double, size);
        QFont face = mDesktop;
        face.setPointSizeF(mDesktop.pointSizeF() * size);
        QApplication::setFont(face);
        const std::unique_ptr<QWidget> shown(dialog == 0 ? new frmPreferences(nullptr, [] {})
                                             : dialog == 1
                                                 ? static_cast<QWidget *>(new frmFind(nullptr))
                                                 : new frmHelp);
        shown->show();
        const QStringList found = problems(shown.get());
        QApplication::setFont(mDesktop);
        QVERIFY2(found.isEmpty(), qPrintable(found.join(u'\n')));
    }
};

QTEST_MAIN(tst_DialogLayout)
#include "tst_DialogLayout.moc"
