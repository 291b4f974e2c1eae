#pragma once

#include <QString>

namespace editor {

// Where the editor's file dialogs start: in the folder last used, at first
// the documents folder. A folder that is not there (the documents folder of
// a fresh account, one removed since) gives way to the home folder, since a
// file dialog takes a missing folder's last part for a file name.
class DocumentFolders {
public:
    explicit DocumentFolders(QString documentsDir);

    // The folder the open dialogs show.
    QString openStart() const;
    // The save dialog: the document's own file when it has one, else the
    // start folder with no name offered.
    QString saveStart(const QString& documentFile) const;
    // A file was chosen: its folder is where the next dialog starts.
    void used(const QString& file);

private:
    QString folder() const;

    QString m_documentsDir;
    QString m_lastFolder;
};

} // namespace editor
