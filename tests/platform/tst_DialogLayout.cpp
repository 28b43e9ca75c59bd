// The designed dialogs in the desktop's face, at its size and at 1.25 times it: no control runs
// into another or out of its frame, and every caption fits its control.
#include "find/frmFind.h"
#include "help/frmHelp.h"
#include "platform/DialogUnits.h"
#include "preferences/frmPreferences.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStyleOptionGroupBox>
#include <QTest>

#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

QString nameOf(const QWidget *widget)
{
    const auto *label = qobject_cast<const QLabel *>(widget);
    const auto *button = qobject_cast<const QAbstractButton *>(widget);
    const QString text = label ? label->text() : button ? button->text() : QString();
    return QLatin1String(widget->metaObject()->className()) +
           (text.isEmpty() ? QString() : u" \""_s + text + u'"');
}

QString geometryOf(const QRect &r)
{
    return u" [%1,%2 %3x%4]"_s.arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
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

// A button's caption with the style's margins on both sides; a check box's or option button's
// with its indicator.
int neededWidth(const QWidget *child)
{
    const auto *button = qobject_cast<const QPushButton *>(child);
    if (!button)
        return child->sizeHint().width();
    return button->fontMetrics().horizontalAdvance(QString(button->text()).remove(u'&')) +
           2 * button->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button);
}

// What a control shows: a one-line label its text where its alignment puts it, anything else
// all of its rectangle.
QRect inkOf(const QWidget *child)
{
    const auto *label = qobject_cast<const QLabel *>(child);
    if (label && !label->pixmap().isNull())
        return QStyle::alignedRect(label->layoutDirection(), label->alignment(),
                                   label->pixmap().deviceIndependentSize().toSize(),
                                   label->geometry());
    if (!label || label->wordWrap())
        return child->geometry();
    const QFontMetrics metrics = label->fontMetrics();
    const QSize text(metrics.horizontalAdvance(QString(label->text()).remove(u'&')),
                     metrics.height());
    return QStyle::alignedRect(label->layoutDirection(), label->alignment(), text,
                               label->geometry());
}

// What does not fit, one problem a line.
QStringList problems(const QWidget *parent)
{
    QStringList found;
    const QList<QWidget *> children = parent->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    for (int i = 0; i < children.size(); ++i) {
        const QWidget *child = children[i];
        if (!roomOf(parent).contains(inkOf(child)))
            found << nameOf(child) + u" leaves "_s + nameOf(parent) + geometryOf(inkOf(child)) +
                         geometryOf(roomOf(parent));
        for (int j = i + 1; j < children.size(); ++j) {
            if (inkOf(child).intersects(inkOf(children[j])))
                found << nameOf(child) + u" runs into "_s + nameOf(children[j]) +
                             geometryOf(inkOf(child)) + geometryOf(inkOf(children[j]));
        }
        const auto *label = qobject_cast<const QLabel *>(child);
        const bool cut =
            label ? (label->wordWrap()
                         ? label->heightForWidth(child->width()) > child->height()
                         : !child->rect().contains(inkOf(child).translated(-child->pos())))
                  : neededWidth(child) > child->width();
        if (cut)
            found << nameOf(child) + u" is cut"_s;
        found << problems(child);
    }
    return found;
}

} // namespace

class tst_DialogLayout : public QObject {
    Q_OBJECT

    const QFont mDesktop = QApplication::font();

private Q_SLOTS:
    void faces_data()
    {
        QTest::addColumn<int>("alphabet"); // width of A..Za..z in pixels
        QTest::addColumn<int>("height");
        QTest::addColumn<double>("dpi");
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("y");
        QTest::newRow("the designed face") << 312 << 13 << 96.0 << 1.0 << 1.0;
        QTest::newRow("half a pixel wider") << 338 << 13 << 96.0 << 6.5 / 6 << 1.0;
        QTest::newRow("twice as tall") << 312 << 26 << 96.0 << 1.0 << 2.0;
        QTest::newRow("the designed face at 120 dpi") << 390 << 16 << 120.0 << 1.0 << 16 / 16.25;
    }

    void faces()
    {
        QFETCH(int, alphabet);
        QFETCH(int, height);
        QFETCH(double, dpi);
        const DialogScale scale =
            DialogScale::forFace(alphabet, height, TwipsScale::fromDpi(dpi, dpi));
        QTEST(scale.x, "x");
        QTEST(scale.y, "y");
    }

    void dialogs_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<double>("size");
        for (const char *dialog : {"Preferences", "Find", "Help"}) {
            QTest::addRow("%s, desktop face", dialog) << QString::fromLatin1(dialog) << 1.0;
            QTest::addRow("%s, 1.25 times", dialog) << QString::fromLatin1(dialog) << 1.25;
        }
    }

    void dialogs()
    {
        QFETCH(QString, dialog);
        QFETCH(double, size);
        QFont face = mDesktop;
        face.setPointSizeF(mDesktop.pointSizeF() * size);
        QApplication::setFont(face);
        std::unique_ptr<QWidget> shown;
        if (dialog == u"Preferences")
            shown = std::make_unique<frmPreferences>(nullptr, [] {});
        else if (dialog == u"Find")
            shown = std::make_unique<frmFind>(nullptr);
        else
            shown = std::make_unique<frmHelp>();
        shown->show();
        const QStringList found = problems(shown.get());
        QApplication::setFont(mDesktop);
        QVERIFY2(found.isEmpty(), qPrintable(found.join(u'\n')));
    }
};

QTEST_MAIN(tst_DialogLayout)
#include "tst_DialogLayout.moc"
