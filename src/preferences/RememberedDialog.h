#pragma once

#include "platform/PositionedForm.h"

#include <QDialog>

// A modeless dialog that remembers where it was. It is loaded from its making until it closes;
// it keeps the size it is made with, or, made resizable, remembers its size too; closing it (its
// button, Enter, Esc or the title bar) saves its outer rectangle and unloads it for good, so the
// next opening makes a fresh one.
class RememberedDialog : public QDialog, public PositionedForm {
    Q_OBJECT
public:
    bool mbLoaded = false;
    qint16 miMinWidthTwips = 0;
    qint16 miMinHeightTwips = 0;

    QString Name() const override { return objectName(); }
    int MinWidthTwips() const override { return miMinWidthTwips; }
    int MinHeightTwips() const override { return miMinHeightTwips; }
    void setOuterTwips(int top, int left, int height, int width) override;

    void reject() override;

protected:
    // A dialog without an owner, laid out in twips: of a fixed size, or, given a smallest size,
    // one the operator can resize.
    RememberedDialog(const QString &name, const QString &caption, int widthTwips, int heightTwips,
                     QSize smallestTwips = {});

    // Marks the dialog loaded and puts it where it was saved; a dialog with no usable saved
    // place is centred over `owner`, or on the screen when there is none.
    void loadPlace(QWidget *owner);

    void closeEvent(QCloseEvent *event) override;

private:
    // Takes the dialog's size with `frame` around it as its smallest; whether that changed it.
    bool takeMinimum(const QMargins &frame);
    void placeAsSaved(QWidget *owner);
};
