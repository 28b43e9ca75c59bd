#include "view/frmHighlights.h"

#include "view/RowHighlights.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

// A swatch of a palette colour as it shows on this window's base.
QIcon swatch(int colour, const QPalette &palette)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(QColor::fromRgb(
        HighlightPalette::tint(colour, palette.color(QPalette::Base).rgb() & 0xFFFFFF)));
    QPainter painter(&pixmap);
    painter.setPen(palette.color(QPalette::Text));
    painter.drawRect(0, 0, 15, 15);
    return QIcon(pixmap);
}

} // namespace

frmHighlights::frmHighlights(const std::vector<HighlightRule> &rules, QWidget *owner)
    : QDialog(owner)
    , mRules(rules)
{
    setObjectName(QStringLiteral("frmHighlights"));
    setWindowTitle(QStringLiteral("Highlights"));

    lstRules = new QListWidget(this);
    lstRules->setObjectName(QStringLiteral("lstRules"));
    lstRules->setAccessibleName(QStringLiteral("Rules"));
    const auto button = [this](const QString &text, const char *name) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(QLatin1StringView(name));
        b->setAutoDefault(false);
        return b;
    };
    cmdAdd = button(QStringLiteral("&Add"), "cmdAdd");
    cmdRemove = button(QStringLiteral("&Remove"), "cmdRemove");
    cmdUp = button(QStringLiteral("Move &up"), "cmdUp");
    cmdDown = button(QStringLiteral("Move do&wn"), "cmdDown");
    auto *buttons = new QVBoxLayout;
    for (QPushButton *b : {cmdAdd, cmdRemove, cmdUp, cmdDown})
        buttons->addWidget(b);
    buttons->addStretch();
    auto *list = new QHBoxLayout;
    list->addWidget(lstRules, 1);
    list->addLayout(buttons);

    txtText = new QLineEdit(this);
    txtText->setObjectName(QStringLiteral("txtText"));
    txtText->setAccessibleName(QStringLiteral("Text"));
    chkMatchCase = new QCheckBox(QStringLiteral("Match &case"), this);
    chkMatchCase->setObjectName(QStringLiteral("chkMatchCase"));
    chkNotZero = new QCheckBox(QStringLiteral("Only where the rest of the line is &not 0"), this);
    chkNotZero->setObjectName(QStringLiteral("chkNotZero"));
    cboColour = new QComboBox(this);
    cboColour->setObjectName(QStringLiteral("cboColour"));
    cboColour->setAccessibleName(QStringLiteral("Colour"));
    for (std::size_t i = 0; i < HighlightPalette::kColours.size(); ++i)
        cboColour->addItem(swatch(int(i), palette()),
                           QLatin1StringView(HighlightPalette::kColours[i].name));
    cboScope = new QComboBox(this);
    cboScope->setObjectName(QStringLiteral("cboScope"));
    cboScope->setAccessibleName(QStringLiteral("Paints"));
    cboScope->addItems({QStringLiteral("the line"), QStringLiteral("the whole entry")});
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("&Text:"), txtText);
    form->addRow(QString(), chkMatchCase);
    form->addRow(QString(), chkNotZero);
    form->addRow(QStringLiteral("C&olour:"), cboColour);
    form->addRow(QStringLiteral("&Paints:"), cboScope);

    auto *ok = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(list);
    layout->addLayout(form);
    layout->addWidget(ok);

    for (std::size_t i = 0; i < mRules.size(); ++i)
        appendItem();
    connect(lstRules, &QListWidget::currentRowChanged, this, &frmHighlights::showRule);
    connect(lstRules, &QListWidget::itemChanged, this, [this](QListWidgetItem *item) {
        const int row = lstRules->row(item);
        if (!mShowing && row >= 0)
            mRules[std::size_t(row)].on = item->checkState() == Qt::Checked;
    });
    connect(cmdAdd, &QPushButton::clicked, this, &frmHighlights::addRule);
    connect(cmdRemove, &QPushButton::clicked, this, &frmHighlights::removeRule);
    connect(cmdUp, &QPushButton::clicked, this, [this] { moveRule(-1); });
    connect(cmdDown, &QPushButton::clicked, this, [this] { moveRule(1); });
    connect(txtText, &QLineEdit::textEdited, this, &frmHighlights::ruleEdited);
    for (QCheckBox *box : {chkMatchCase, chkNotZero})
        connect(box, &QCheckBox::toggled, this, &frmHighlights::ruleEdited);
    for (QComboBox *box : {cboColour, cboScope})
        connect(box, &QComboBox::activated, this, &frmHighlights::ruleEdited);
    connect(ok, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(ok, &QDialogButtonBox::rejected, this, &QDialog::reject);
    lstRules->setCurrentRow(mRules.empty() ? -1 : 0);
    showRule();
}

std::vector<HighlightRule> frmHighlights::rules() const
{
    std::vector<HighlightRule> kept;
    for (const HighlightRule &rule : mRules) {
        if (!rule.text.isEmpty())
            kept.push_back(rule);
    }
    return kept;
}

// An item for the last rule; making it checkable says nothing about whether the rule is on.
void frmHighlights::appendItem()
{
    const bool showing = std::exchange(mShowing, true);
    auto *item = new QListWidgetItem(lstRules);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    mShowing = showing;
    refreshItem(lstRules->count() - 1);
}

void frmHighlights::refreshItem(int row)
{
    const HighlightRule &rule = mRules[std::size_t(row)];
    QListWidgetItem *item = lstRules->item(row);
    const bool showing = std::exchange(mShowing, true);
    item->setText(rule.text.isEmpty() ? QStringLiteral("(no text)") : rule.description());
    item->setIcon(swatch(rule.colour, palette()));
    item->setCheckState(rule.on ? Qt::Checked : Qt::Unchecked);
    mShowing = showing;
}

void frmHighlights::showRule()
{
    const int row = lstRules->currentRow();
    const bool has = row >= 0;
    const HighlightRule rule = has ? mRules[std::size_t(row)] : HighlightRule{};
    mShowing = true;
    txtText->setText(rule.text);
    chkMatchCase->setChecked(rule.matchCase);
    chkNotZero->setChecked(rule.notZero);
    cboColour->setCurrentIndex(rule.colour);
    cboScope->setCurrentIndex(rule.scope == HighlightRule::Entry ? 1 : 0);
    mShowing = false;
    for (QWidget *field :
         std::initializer_list<QWidget *>{txtText, chkMatchCase, chkNotZero, cboColour, cboScope})
        field->setEnabled(has);
    updateButtons();
}

void frmHighlights::ruleEdited()
{
    const int row = lstRules->currentRow();
    if (mShowing || row < 0)
        return;
    HighlightRule &rule = mRules[std::size_t(row)];
    rule.text = txtText->text();
    rule.matchCase = chkMatchCase->isChecked();
    rule.notZero = chkNotZero->isChecked();
    rule.colour = cboColour->currentIndex();
    rule.scope = cboScope->currentIndex() == 1 ? HighlightRule::Entry : HighlightRule::Line;
    refreshItem(row);
}

void frmHighlights::addRule()
{
    HighlightRule rule;
    // A new rule takes the next colour, so that rules added in a row tell apart.
    rule.colour = int(mRules.size() % HighlightPalette::kColours.size());
    mRules.push_back(rule);
    appendItem();
    lstRules->setCurrentRow(int(mRules.size()) - 1);
    txtText->setFocus();
}

void frmHighlights::removeRule()
{
    const int row = lstRules->currentRow();
    if (row < 0)
        return;
    {
        // Taking the item moves the current row while the rules and the items disagree.
        const QSignalBlocker quiet(lstRules);
        delete lstRules->takeItem(row);
    }
    mRules.erase(mRules.begin() + row);
    lstRules->setCurrentRow(std::min(row, int(mRules.size()) - 1));
    showRule();
}

void frmHighlights::moveRule(int by)
{
    const int row = lstRules->currentRow();
    const int to = row + by;
    if (row < 0 || to < 0 || to >= int(mRules.size()))
        return;
    std::swap(mRules[std::size_t(row)], mRules[std::size_t(to)]);
    refreshItem(row);
    refreshItem(to);
    lstRules->setCurrentRow(to);
}

void frmHighlights::updateButtons()
{
    const int row = lstRules->currentRow();
    cmdAdd->setEnabled(int(mRules.size()) < RowHighlights::kMaxRules);
    cmdRemove->setEnabled(row >= 0);
    cmdUp->setEnabled(row > 0);
    cmdDown->setEnabled(row >= 0 && row + 1 < int(mRules.size()));
}
