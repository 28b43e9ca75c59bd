#include "output/CommonDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace {

// Qt's dialog takes every chosen path as given. This one turns away a path whose folder is
// not there, since writing to it could only fail later, and a pattern such as the "*.txt"
// offered as a hint, which would otherwise become a file of that name.
class FileDialog : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

    void accept() override
    {
        const QStringList files = selectedFiles();
        if (!files.isEmpty()) {
            const QFileInfo chosen(files.constFirst());
            if (!chosen.absoluteDir().exists())
                return refuse(QStringLiteral("The folder \"%1\" does not exist.")
                                  .arg(QDir::toNativeSeparators(chosen.absolutePath())));
            const QString name = chosen.fileName();
            if (name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?')))
                return refuse(QStringLiteral("\"%1\" is a pattern, not a file name.").arg(name));
        }
        QFileDialog::accept();
    }

private:
    void refuse(const QString &why) { QMessageBox::warning(this, windowTitle(), why); }
};

// Qt reads a filter's patterns from the parentheses that end its text, where the pairs keep
// description and patterns ("*.txt;*.log") apart. "*.*" means every file, but would only
// match names with a dot on Linux, so it becomes "*".
QStringList nameFilters(const QString &stored)
{
    const QStringList parts = stored.split(QChar(0));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString label = parts[i].trimmed();
        const QString &patterns = parts[i + 1];
        const QString shown = QLatin1Char('(') + patterns + QLatin1Char(')');
        if (label.endsWith(shown))
            label = label.chopped(shown.size()).trimmed();
        QStringList globs = patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString &glob : globs) {
            glob = glob.trimmed();
            if (glob == QLatin1String("*.*"))
                glob = QStringLiteral("*");
        }
        filters.append(label + QStringLiteral(" (") + globs.join(QLatin1Char(' ')) +
                       QLatin1Char(')'));
    }
    return filters;
}

} // namespace

void CommonDialog::setFilter(const QString &value)
{
    msFilter = value;
    if (msFilter.contains(QLatin1Char('|')))
        msFilter.replace(QLatin1Char('|'), QChar(0));
}

void CommonDialog::ShowSave(QWidget *owner)
{
    Show(owner, true);
}

void CommonDialog::ShowOpen(QWidget *owner)
{
    Show(owner, false);
}

void CommonDialog::Show(QWidget *owner, bool save)
{
    const QString offered = msFileName;
    msFileName.clear();
    msFileTitle.clear();

    FileDialog dialog(owner, msDialogTitle);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !(miFlags & OverwritePrompt));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    const QStringList filters = nameFilters(msFilter);
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    const qsizetype slash = offered.lastIndexOf(QLatin1Char('/'));
    if (!msInitDir.isEmpty())
        dialog.setDirectory(msInitDir);
    else if (slash >= 0)
        dialog.setDirectory(slash == 0 ? QStringLiteral("/") : offered.left(slash));
    else // the working folder is "/" when the bus started the display
        dialog.setDirectory(QDir::homePath());
    if (save) {
        dialog.setDefaultSuffix(msDefaultExt);
        dialog.selectFile(offered.mid(slash + 1));
    }
    if (owner)
        dialog.setWindowModality(Qt::WindowModal);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty())
        return;
    msFileName = files.constFirst();
    msFileTitle = QFileInfo(msFileName).fileName();
}
