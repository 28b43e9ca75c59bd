#pragma once

#include "output/CommonDialog.h"

#include <QString>

#include <functional>
#include <memory>

class LineSource;
class QWidget;

// Saving display lines to text files: asking for the file name and appending the lines. A
// failed save keeps its error here until the next save and tells the operator in a message
// box.
class ClassFileSystem {
public:
    using Reporter = std::function<void(const QString &text)>;

    ClassFileSystem();

    // The file name the operator chose in the Save dialog, "" when cancelled. An empty
    // `defaultName` offers "*.txt".
    QString AskSaveFileName(const QString &defaultName, QWidget *owner);

    // Appends rows firstRow to lastRow of `grid` and one empty line, in UTF-16LE when `unicode`
    // and Latin-1 otherwise. Does nothing without a file name or grid.
    void WriteLinesToFile(const LineSource *grid, int firstRow, int lastRow,
                          const QString &fileName, bool unicode);

    void ClearFileError();

    // Tells the operator of the last error, if there is one.
    void ReportFileError(const QString &fileName);

    // Where ReportFileError sends its text; a warning message box unless replaced.
    void setReporter(Reporter reporter) { mReporter = std::move(reporter); }

    int ErrorNumber = 0;
    QString ErrorDescription;
    // Created by the first AskSaveFileName, then reused so it keeps its state.
    std::unique_ptr<CommonDialog> FileDialog;

private:
    Reporter mReporter;
};

// The process-wide file system object, created on first use.
ClassFileSystem &FileSystem();
