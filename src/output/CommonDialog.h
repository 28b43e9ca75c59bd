#pragma once

#include <QString>

class QWidget;

// The Open and Save As dialogs, set up through properties and shown modally. The dialog is
// Qt's own widget dialog, never the desktop's, so it looks and behaves the same everywhere
// and can be driven from tests.
class CommonDialog {
public:
    // Flags bits. Only OverwritePrompt changes the dialog: the chosen file's folder must exist
    // whatever the flags say, and Qt's dialog has no read-only box to hide.
    enum Flag {
        OverwritePrompt = 0x2,
        HideReadOnly = 0x4,
        PathMustExist = 0x800,
    };

    void setDialogTitle(const QString &value) { msDialogTitle = value; }

    // Pairs of description and pattern separated by "|", e.g. "Text Files (*.txt)|*.txt".
    // Stored with the separators turned into U+0000; Filter() gives the stored form.
    void setFilter(const QString &value);
    QString Filter() const { return msFilter; }

    // Added to a chosen name that has no suffix of its own ("txt").
    void setDefaultExt(const QString &value) { msDefaultExt = value; }

    // The full path of the chosen file; "" after a cancelled dialog.
    QString FileName() const { return msFileName; }
    void setFileName(const QString &value) { msFileName = value; }

    // The chosen file's name without its folder.
    QString FileTitle() const { return msFileTitle; }

    void setFlags(int value) { miFlags = value; }

    // The folder the dialog starts in; without it, FileName's folder if it names one.
    void setInitDir(const QString &value) { msInitDir = value; }

    void ShowSave(QWidget *owner);
    void ShowOpen(QWidget *owner);

private:
    void Show(QWidget *owner, bool save);

    QString msDialogTitle;
    QString msFilter;
    QString msDefaultExt;
    QString msFileName;
    QString msFileTitle;
    int miFlags = 0;
    QString msInitDir;
};
