// The postal-code window's own command: loading the post's complete list.

#include "directories/CodeDirectoryForm.h"

#include "CodeDirectoryTexts.h"
#include "PostalColumnsDialog.h"

#include "platform/Platform.h"
#include "widgets/ErrorReport.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QToolButton>

namespace directories {

namespace {

// The post's list is about 2 MB; anything far larger is not such a list.
constexpr qint64 kLargestFileMb = 64;

// Shows the wait cursor while a long step runs, whatever way it ends.
struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// The file's bytes; an error box and nullopt when it cannot be read.
std::optional<QByteArray> readImportFile(const QString& path)
{
    const QFileInfo info(path);
    const QString name = info.fileName();
    platform::Dialogs& dialogs = *platform::services().dialogs;
    if (info.exists() && !info.isFile()) {
        dialogs.errorBox(texts::kNotAFile.arg(path));
        return std::nullopt;
    }
    if (info.size() > kLargestFileMb * 1024 * 1024) {
        dialogs.errorBox(texts::kTooLarge.arg(name).arg(kLargestFileMb));
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        dialogs.errorBox(texts::kCannotRead.arg(name, file.errorString()));
        return std::nullopt;
    }
    QByteArray bytes = file.read(kLargestFileMb * 1024 * 1024 + 1);
    if (file.error() != QFileDevice::NoError) {
        dialogs.errorBox(texts::kCannotRead.arg(name, file.errorString()));
        return std::nullopt;
    }
    return bytes;
}

} // namespace

TPscForm::TPscForm(store::Database& database)
    : CodeDirectoryForm(database, postalCodeSettings()), m_chooseColumns(askForPostalColumns)
{
    auto* load = new QToolButton(this);
    load->setObjectName(QStringLiteral("SpeedButtonNacist"));
    load->setText(texts::kNacist);
    load->setToolTip(texts::kHintNacist);
    load->setStatusTip(texts::kHintNacist);
    load->setFocusPolicy(Qt::NoFocus);
    connect(load, &QToolButton::clicked, this, [this] { SpeedButtonNacistClick(); });
    addToFirstRow(load);
}

void TPscForm::SpeedButtonNacistClick()
{
    if (!endEditing())
        return;
    const platform::Paths* paths = platform::services().paths;
    const std::optional<QString> path = platform::services().dialogs->openFileName(
        texts::kOpenCaption, paths ? paths->documentsDir() : QString(), texts::kOpenFilter);
    if (!path || path->isEmpty())
        return;
    widgets::guarded([&] { importFile(*path); });
}

void TPscForm::importFile(const QString& path)
{
    platform::Dialogs& dialogs = *platform::services().dialogs;
    const QString name = QFileInfo(path).fileName();
    const std::optional<QByteArray> bytes = readImportFile(path);
    if (!bytes)
        return;
    try {
        std::optional<CsvDocument> document;
        PostalColumns columns;
        std::vector<StoredPlace> stored;
        {
            WaitCursor wait;
            document = readCsv(*bytes);
            columns = recognisePostalColumns(document->header);
        }
        if (!columns.complete()) {
            const std::optional<PostalColumns> chosen = m_chooseColumns(*document, columns);
            if (!chosen)
                return;
            columns = *chosen;
        }
        PostalImportPlan plan;
        {
            WaitCursor wait;
            stored = readStoredPlaces(Table());
            plan = planPostalImport(*document, columns, stored);
        }
        if (!plan.hasWork()) {
            dialogs.information(texts::kNothingNew.arg(name).arg(plan.unchanged));
            return;
        }
        if (!dialogs.confirm(importPreviewText(plan, *document, name)))
            return;
        {
            WaitCursor wait;
            applyPostalImport(Table(), plan);
        }
        refreshRecordCount();
        // The search field's text still says where the user was.
        EditHledChange();
        dialogs.information(importResultText(plan));
    } catch (const CsvError& error) {
        dialogs.errorBox(texts::kBadFile.arg(name, error.message()));
    }
}

} // namespace directories
