#include "find/frmFind.h"

#include "find/ClassFind.h"
#include "platform/CheckValue.h"
#include "platform/DialogLayout.h"
#include "preferences/ClassPreferences.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>

namespace {

QPointer<frmFind> &findDialogSlot()
{
    static QPointer<frmFind> dialog;
    return dialog;
}

} // namespace

frmFind *loadedFindDialog()
{
    frmFind *dialog = findDialogSlot().data();
    return dialog && dialog->mbLoaded ? dialog : nullptr;
}

frmFind::frmFind(QWidget *mainWindow)
    : RememberedDialog(QStringLiteral("frmFind"), QStringLiteral("Find"), 6975, 1335)
{

    lblText =
        DialogLayout::placed(new QLabel(QStringLiteral("Fi&nd What:"), this), 120, 120, 855, 255);
    vsf = DialogLayout::placed(new QLineEdit(this), 1080, 120, 4455, 330);
    vsf->setObjectName(QStringLiteral("vsf"));
    chkWhole = DialogLayout::placed(new QCheckBox(QStringLiteral("Match &Whole Word Only"), this),
                                    1080, 600, 2175, 255);
    chkCase = DialogLayout::placed(new QCheckBox(QStringLiteral("Match C&ase"), this), 1080, 900,
                                   2175, 255);
    fra = DialogLayout::placed(new QGroupBox(QStringLiteral("Direction"), this), 3480, 480, 2055,
                               735);
    opt[kFindUp] =
        DialogLayout::placed(new QRadioButton(QStringLiteral("&Up"), fra), 240, 360, 735, 255);
    opt[kFindDown] =
        DialogLayout::placed(new QRadioButton(QStringLiteral("&Down"), fra), 1080, 360, 735, 255);
    auto *direction = new QButtonGroup(this);
    direction->addButton(opt[kFindUp], kFindUp);
    direction->addButton(opt[kFindDown], kFindDown);
    cmdFind = DialogLayout::placed(new QPushButton(QStringLiteral("&Find Next"), this), 5760, 120,
                                   1095, 375);
    cmdCancel = DialogLayout::placed(new QPushButton(QStringLiteral("&Cancel"), this), 5760, 600,
                                     1095, 375);

    lblText->setBuddy(vsf);
    cmdFind->setDefault(true);
    DialogLayout::tabOrder(
        {vsf, chkWhole, chkCase, opt[kFindUp], opt[kFindDown], cmdFind, cmdCancel});
    connect(cmdFind, &QPushButton::clicked, this, &frmFind::cmdFind_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QWidget::close);
    Form_Load(mainWindow);
}

void frmFind::Form_Load(QWidget *mainWindow)
{
    findDialogSlot() = this;
    // The text to find shows in the display's font.
    QFont font = vsf->font();
    font.setFamily(Preferences().FontName());
    vsf->setFont(font);
    loadPlace(mainWindow);
    vsf->setFocus();
}

void frmFind::InitFindDialog(const QString &text, bool wholeWord, bool matchCase, int direction)
{
    vsf->setText(text);
    chkWhole->setChecked(CheckValueFromBoolean(wholeWord) == vbChecked);
    chkCase->setChecked(CheckValueFromBoolean(matchCase) == vbChecked);
    if (direction == kFindUp || direction == kFindDown)
        opt[direction]->setChecked(true);
}

void frmFind::cmdFind_Click()
{
    const QString text = vsf->text();
    if (text.isEmpty()) {
        close();
        return;
    }
    const int direction =
        opt[kFindUp]->isChecked() ? kFindUp : (opt[kFindDown]->isChecked() ? kFindDown : kFindUp);
    const bool wholeWord = BooleanFromCheckValue(chkWhole->isChecked() ? vbChecked : vbUnchecked);
    const bool matchCase = BooleanFromCheckValue(chkCase->isChecked() ? vbChecked : vbUnchecked);
    Finder().SetFindOptions(text, wholeWord, matchCase, direction);
    Finder().FindNext(kFindStored);
}
