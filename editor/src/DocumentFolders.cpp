#include "editor/DocumentFolders.h"

#include <QDir>
#include <QFileInfo>

#include <utility>

namespace editor {

DocumentFolders::DocumentFolders(QString documentsDir) : m_documentsDir(std::move(documentsDir)) {}

QString DocumentFolders::folder() const
{
    for (const QString& candidate : {m_lastFolder, m_documentsDir}) {
        if (!candidate.isEmpty() && QFileInfo(candidate).isDir())
            return candidate;
    }
    return QDir::homePath();
}

QString DocumentFolders::openStart() const
{
    return folder();
}

QString DocumentFolders::saveStart(const QString& documentFile) const
{
    if (!documentFile.isEmpty() && QFileInfo(documentFile).absoluteDir().exists())
        return documentFile;
    return folder();
}

void DocumentFolders::used(const QString& file)
{
    if (!file.isEmpty())
        m_lastFolder = QFileInfo(file).absolutePath();
}

} // namespace editor
