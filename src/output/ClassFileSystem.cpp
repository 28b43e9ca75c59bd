#include "output/ClassFileSystem.h"

#include "platform/LineSource.h"
#include "platform/ProcessWide.h"
#include "platform/TextWriter.h"

#include <QMessageBox>

ClassFileSystem::ClassFileSystem()
    : mReporter([](const QString &text) {
        QMessageBox::warning(nullptr, QStringLiteral("HELIX Debug Display"), text);
    })
{
}

QString ClassFileSystem::AskSaveFileName(const QString &defaultName, QWidget *owner)
{
    if (!FileDialog)
        FileDialog = std::make_unique<CommonDialog>();
    FileDialog->setFilter(QStringLiteral("Text Files (*.txt)|*.txt|All Files (*.*)|*.*"));
    FileDialog->setFileName(defaultName.isEmpty() ? QStringLiteral("*.txt") : defaultName);
    FileDialog->setDefaultExt(QStringLiteral("txt"));
    FileDialog->setFlags(CommonDialog::PathMustExist | CommonDialog::HideReadOnly);
    FileDialog->setDialogTitle(QStringLiteral("Save Data to Disk"));
    FileDialog->ShowSave(owner);
    return FileDialog->FileName();
}

void ClassFileSystem::WriteLinesToFile(const LineSource *grid, int firstRow, int lastRow,
                                       const QString &fileName, bool unicode)
{
    if (fileName.isEmpty() || !grid)
        return;
    ClearFileError();
    TextWriter writer;
    FileError error = writer.open(fileName, unicode ? TextWriter::Encoding::Utf16LE
                                                    : TextWriter::Encoding::Latin1);
    // 64-bit so that a last row of INT_MAX still ends the loop.
    for (qint64 row = firstRow; !error && row <= lastRow; ++row)
        error = writer.writeLine(grid->line(int(row)));
    if (!error)
        error = writer.writeLine();
    // Closed after a failure too: what reached the file stays there.
    const FileError closed = writer.close();
    if (!error)
        error = closed;
    if (!error)
        return;
    ErrorNumber = error.number;
    ErrorDescription = error.description;
    ReportFileError(fileName);
}

void ClassFileSystem::ClearFileError()
{
    ErrorNumber = 0;
    ErrorDescription.clear();
}

void ClassFileSystem::ReportFileError(const QString &fileName)
{
    if (ErrorNumber == 0)
        return;
    mReporter(QStringLiteral("Quarto could not open the file \"") + fileName +
              QStringLiteral("\"\r\n\r\nError #") + QString::number(ErrorNumber) +
              QStringLiteral(": ") + ErrorDescription);
}

ClassFileSystem &FileSystem()
{
    return ProcessWide::instance<ClassFileSystem>();
}
