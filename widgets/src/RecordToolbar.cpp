#include "widgets/RecordToolbar.h"

#include "widgets/DBGrid.h"
#include "widgets/ErrorReport.h"
#include "widgets/SpeedButton.h"

#include "platform/Platform.h"
#include "sound/Tones.h"
#include "store/Cursor.h"
#include "store/Errors.h"

#include <QToolButton>

namespace widgets {

namespace {

const QColor kGreen(0, 140, 0);

bool isPending(const store::Cursor& table)
{
    return table.state() == store::CursorState::Insert || table.state() == store::CursorState::Edit;
}

bool isKeyViolation(const std::exception& error)
{
    const auto* storeError = dynamic_cast<const store::StoreError*>(&error);
    return storeError && storeError->kind() == store::StoreError::Kind::KeyViolation;
}

} // namespace

RecordEditors gridEditors(DBGrid* typedInto, QList<DBGrid*> alsoShowing)
{
    alsoShowing.prepend(typedInto);
    RecordEditors editors;
    editors.focusNew = [typedInto] { typedInto->setFocus(); };
    editors.commit = [alsoShowing] {
        for (DBGrid* grid : alsoShowing)
            grid->commitOpenEditor();
        return true;
    };
    editors.drop = [alsoShowing] {
        for (DBGrid* grid : alsoShowing)
            grid->dropOpenEditor();
    };
    // The new record is typed from its first column, wherever the last one ended.
    editors.afterInsert = [typedInto] {
        const QModelIndex current = typedInto->currentIndex();
        if (current.isValid() && current.column() != 0)
            typedInto->setCurrentIndex(typedInto->model()->index(current.row(), 0));
    };
    return editors;
}

RecordToolbar::RecordToolbar(QWidget* window, store::Cursor& table, RecordToolbarSettings settings,
                             RecordEditors editors)
    : m_window(window), m_table(table), m_settings(std::move(settings)), m_editors(std::move(editors))
{
    m_insert = speedButton(window, m_settings.insertName, m_settings.insertHint, QStringLiteral("+"), kGreen);
    m_delete = speedButton(window, m_settings.deleteName, m_settings.deleteHint, QStringLiteral("−"), Qt::red);
    m_save = speedButton(window, m_settings.saveName, m_settings.saveHint, QStringLiteral("✓"), kGreen);
    m_discard = speedButton(window, m_settings.discardName, m_settings.discardHint, QStringLiteral("✗"), Qt::red);
    connect(m_insert, &QToolButton::clicked, this, [this] { insert(); });
    connect(m_delete, &QToolButton::clicked, this, [this] { remove(); });
    connect(m_save, &QToolButton::clicked, this, [this] { save(); });
    connect(m_discard, &QToolButton::clicked, this, [this] { discard(); });
    if (m_settings.editTurnsOn)
        m_afterEdit = m_table.afterEdit.connect([this] { setEditing(true); });
    setEditing(m_settings.startEditing);
}

RecordToolbar::~RecordToolbar()
{
    if (m_afterEdit)
        m_table.afterEdit.disconnect(m_afterEdit);
}

void RecordToolbar::setEditing(bool on)
{
    m_save->setEnabled(on);
    m_discard->setEnabled(on);
}

bool RecordToolbar::editing() const
{
    return m_save->isEnabled();
}

void RecordToolbar::play(Action action)
{
    if (m_settings.sounds == ToolbarSounds::Beeps) {
        sound::beep();
        return;
    }
    switch (action) {
    case Action::Insert:
        sound::toneInsert(m_speaker);
        break;
    case Action::Save:
        sound::toneDone(m_speaker);
        break;
    case Action::Discard:
        sound::playDropped(m_speaker);
        break;
    case Action::Delete:
        sound::toneDeleted(m_speaker);
        break;
    }
}

bool RecordToolbar::finishTyping()
{
    if (m_editors.commit && !m_editors.commit())
        return false;
    // A new record nothing was typed into is no record: saving it would store
    // an empty key, deleting it would name nothing. The cursor is asked, not
    // a grid, which may be showing a selection instead of this table.
    if (m_table.isActive() && m_table.state() == store::CursorState::Insert && !m_table.modified())
        m_table.cancel();
    return true;
}

bool RecordToolbar::hasPending() const
{
    return m_table.isActive() && isPending(m_table) && m_table.modified();
}

bool RecordToolbar::post(bool dropDuplicate)
{
    try {
        m_table.post();
    } catch (const std::exception& error) {
        // A duplicate gets the window's own message, any other failure its
        // real reason; the record stays as typed unless the window drops duplicates.
        if (dropDuplicate && isKeyViolation(error)) {
            m_table.cancel();
            setEditing(false);
        }
        platform::services().dialogs->errorBox(saveFailureMessage(error, m_settings.duplicateMessage));
        return false;
    }
    return true;
}

void RecordToolbar::insert()
{
    guarded([&] {
        play(Action::Insert);
        setEditing(true);
        if (m_editors.focusNew)
            m_editors.focusNew();
        if (m_editors.commit && !m_editors.commit())
            return;
        m_table.insert();
        if (m_editors.afterInsert)
            m_editors.afterInsert();
    });
}

void RecordToolbar::remove()
{
    guarded([&] {
        if (!finishTyping())
            return;
        const QString key = QString::fromStdString(m_table.text(m_settings.keyField));
        const bool yes = platform::services().dialogs->confirm(m_settings.deleteQuestion.arg(key));
        if (yes)
            m_table.remove();
        if (yes || m_settings.deleteToneOnNo)
            play(Action::Delete);
    });
}

void RecordToolbar::save()
{
    guarded([&] {
        play(Action::Save);
        if (m_editors.beforeButtons)
            m_editors.beforeButtons();
        const bool saved = finishTyping() && post(m_settings.dropDuplicate);
        if (saved)
            setEditing(false);
        if (m_editors.afterButtons)
            m_editors.afterButtons(saved);
    });
}

void RecordToolbar::discard()
{
    guarded([&] {
        play(Action::Discard);
        if (m_editors.beforeButtons)
            m_editors.beforeButtons();
        if (m_editors.drop)
            m_editors.drop();
        m_table.cancel();
        setEditing(false);
        if (m_editors.afterButtons)
            m_editors.afterButtons(true);
    });
}

bool RecordToolbar::saveQuietly()
{
    bool saved = false;
    guarded([&] {
        if (!finishTyping())
            return;
        saved = !isPending(m_table) || post(false);
    });
    return saved;
}

bool RecordToolbar::settleBeforeQuit()
{
    bool settled = false;
    guarded([&] {
        if (!finishTyping())
            return; // the typed text was refused and its control said why
        if (!hasPending()) {
            settled = true;
            return;
        }
        const auto save = [this] {
            const bool saved = post(false);
            if (saved)
                setEditing(false);
            return saved;
        };
        const auto drop = [this] {
            if (m_editors.drop)
                m_editors.drop();
            m_table.cancel();
            setEditing(false);
        };
        settled = askAboutPendingRecord(*m_window->window(), save, drop);
    });
    return settled;
}

} // namespace widgets
