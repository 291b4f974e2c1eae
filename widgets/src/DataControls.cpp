#include "widgets/DataControls.h"

#include "CursorFollower.h"
#include "widgets/ErrorReport.h"
#include "widgets/FieldLength.h"
#include "widgets/GridModel.h"

#include "richtext/Rtf.h"
#include "store/Cursor.h"
#include "store/Errors.h"

#include <QKeyEvent>
#include <QLocale>
#include <QMimeData>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <utility>

namespace widgets {

FieldBinding::FieldBinding(std::function<void()> refresh) : m_refresh(std::move(refresh)) {}

FieldBinding::~FieldBinding()
{
    if (m_dataSet)
        m_dataSet->removeObserver(this);
}

void FieldBinding::setDataSet(store::DataSet* dataSet)
{
    if (dataSet != m_dataSet) {
        if (m_dataSet)
            m_dataSet->removeObserver(this);
        m_dataSet = dataSet;
        if (m_dataSet)
            m_dataSet->addObserver(this);
    }
    m_refresh();
}

void FieldBinding::setField(const QString& field)
{
    m_field = field;
    m_refresh();
}

QString FieldBinding::text() const
{
    if (!m_dataSet || m_field.isEmpty() || !m_dataSet->isActive() || m_dataSet->rowCountSoFar() == 0)
        return {};
    try {
        return QString::fromStdString(m_dataSet->text(m_field.toStdString()));
    } catch (const store::StoreError&) {
        return {}; // a field the data set does not have shows nothing
    }
}

const store::FieldDef* FieldBinding::fieldDef() const
{
    if (!m_dataSet || m_field.isEmpty() || !m_dataSet->isActive())
        return nullptr;
    try {
        const int index = m_dataSet->fieldIndex(m_field.toStdString());
        return &m_dataSet->fields()[static_cast<std::size_t>(index)];
    } catch (const store::StoreError&) {
        return nullptr; // a field the data set does not have
    }
}

bool FieldBinding::accepts(const QString& text) const
{
    // Without a known field the write says what is wrong.
    const store::FieldDef* def = fieldDef();
    return !def || store::fieldAcceptsText(*def, text.toStdString());
}

int FieldBinding::width() const
{
    const store::FieldDef* def = fieldDef();
    return def && def->kind == store::FieldKind::Text ? def->width : 0;
}

bool FieldBinding::canModify() const
{
    return m_dataSet && m_dataSet->canModify() && !m_field.isEmpty();
}

bool FieldBinding::write(const QString& text)
{
    auto* cursor = dynamic_cast<store::Cursor*>(m_dataSet);
    if (!cursor || m_field.isEmpty())
        return false;
    m_writing = true;
    const bool ok = guarded([&] {
        const std::string field = m_field.toStdString();
        if (cursor->state() == store::CursorState::Browse)
            cursor->edit();
        cursor->setText(field, text.toStdString());
    });
    m_writing = false;
    return ok;
}

void FieldBinding::displayChanged(store::DisplayChange)
{
    // The control already shows what is being written into the record.
    if (m_writing || (m_dataSet && m_dataSet->controlsDisabled()))
        return;
    m_refresh();
}

// --- DBText

DBText::DBText(QWidget* parent) : QLabel(parent), m_binding([this] { refresh(); }) {}

void DBText::setDataSet(store::DataSet* dataSet)
{
    m_binding.setDataSet(dataSet);
}
void DBText::setDataField(const QString& field)
{
    m_binding.setField(field);
}

void DBText::refresh()
{
    const QString value = m_binding.text();
    if (text() != value)
        setText(value);
}

// --- DBEdit

DBEdit::DBEdit(QWidget* parent)
    : QLineEdit(parent), m_binding([this] { refresh(); }),
      m_limit(new FieldLengthValidator(0, true, this))
{
    setValidator(m_limit);
    connect(this, &QLineEdit::textEdited, this, &DBEdit::userEdited);
    connect(this, &QLineEdit::editingFinished, this, &DBEdit::editingDone);
}

void DBEdit::setDataSet(store::DataSet* dataSet)
{
    m_binding.setDataSet(dataSet);
}
void DBEdit::setDataField(const QString& field)
{
    m_binding.setField(field);
}

void DBEdit::refresh()
{
    setReadOnly(!m_binding.canModify());
    const QString value = m_binding.text();
    // A stored value longer than the width is shown whole, not cut.
    m_limit->setWidth(m_binding.width());
    m_limit->setStoredText(value);
    if (text() != value)
        setText(value);
}

void DBEdit::userEdited(const QString& text)
{
    // A value longer than the field (from an older file) may only shrink,
    // and is written once it fits; a date, time or number once it is whole.
    // Leaving the edit before then writes it, so the store says why it
    // cannot be kept.
    m_limit->setStoredText(text);
    if (!m_limit->fits(text) || !m_binding.accepts(text))
        return;
    if (!m_binding.write(text))
        refresh(); // what could not be written must not stay on screen
}

void DBEdit::editingDone()
{
    if (isReadOnly() || !m_binding.canModify() || text() == m_binding.text())
        return;
    if (!m_binding.write(text()))
        refresh();
}

// --- TextLimit

int TextLimit::room(const QTextCursor& cursor) const
{
    const QTextDocument* document = cursor.document();
    const int length = document ? document->characterCount() - 1 : 0;
    const int selected = cursor.selectionEnd() - cursor.selectionStart();
    return m_maxLength - (length - selected);
}

bool TextLimit::allowsKey(const QKeyEvent& event, const QTextCursor& cursor) const
{
    if (m_maxLength <= 0)
        return true;
    const bool types = event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter ||
                       (!event.text().isEmpty() && event.text().at(0).isPrint());
    return !types || room(cursor) > 0;
}

QString TextLimit::fitting(const QString& text, const QTextCursor& cursor) const
{
    if (m_maxLength <= 0)
        return text;
    // Never half a character: an emoji is two units of the text.
    QString fitting = text.left(std::max(0, room(cursor)));
    if (!fitting.isEmpty() && fitting.back().isHighSurrogate())
        fitting.chop(1);
    return fitting;
}

// --- DBMemo

DBMemo::DBMemo(QWidget* parent) : QPlainTextEdit(parent), m_binding([this] { refresh(); })
{
    connect(document(), &QTextDocument::contentsChange, this,
            [this](int position, int, int added) { m_insertEnd = position + added; });
    connect(this, &QPlainTextEdit::textChanged, this, &DBMemo::userEdited);
}

void DBMemo::setDataSet(store::DataSet* dataSet)
{
    m_binding.setDataSet(dataSet);
}
void DBMemo::setDataField(const QString& field)
{
    m_binding.setField(field);
}

void DBMemo::setMaxLength(int length)
{
    m_maxLength = length;
    refresh();
}

int DBMemo::limit() const
{
    return m_maxLength > 0 ? m_maxLength : m_binding.width();
}

void DBMemo::refresh()
{
    setReadOnly(!m_binding.canModify());
    const QString value = m_binding.text();
    m_allowed = std::max(limit(), characterCount(value));
    if (toPlainText() == value)
        return;
    m_updating = true;
    setPlainText(value);
    m_updating = false;
}

// Typing, pasting or dropping past the limit: what does not fit of the
// insertion goes again, whichever way it came in.
void DBMemo::keepWithinLimit()
{
    if (limit() <= 0)
        return;
    const QString text = toPlainText();
    if (characterCount(text) <= m_allowed)
        return;
    const FittedText fitted = fitInserted(text, m_insertEnd, m_allowed);
    QTextCursor cut(document());
    cut.setPosition(fitted.cursor);
    cut.setPosition(fitted.cursor + static_cast<int>(text.size() - fitted.text.size()),
                    QTextCursor::KeepAnchor);
    m_updating = true;
    cut.removeSelectedText();
    m_updating = false;
    setTextCursor(cut);
}

void DBMemo::userEdited()
{
    if (m_updating)
        return;
    keepWithinLimit();
    // A value longer than the limit (from an older file) may only shrink,
    // and is written once it fits, or when the memo is left.
    const QString text = toPlainText();
    m_allowed = std::max(limit(), characterCount(text));
    if (limit() > 0 && characterCount(text) > limit())
        return;
    if (!m_binding.write(text))
        refresh();
}

void DBMemo::focusOutEvent(QFocusEvent* event)
{
    QPlainTextEdit::focusOutEvent(event);
    if (isReadOnly() || !m_binding.canModify() || toPlainText() == m_binding.text())
        return;
    if (!m_binding.write(toPlainText()))
        refresh();
}

// --- DBRichEdit

DBRichEdit::DBRichEdit(QWidget* parent)
    : QTextEdit(parent), m_binding([this] { refresh(); }),
      m_fromStored([](QTextEdit& edit, const QString& stored) {
          return richtext::setStoredText(*edit.document(), stored);
      }),
      m_toStored([](const QTextEdit& edit) { return richtext::storedText(*edit.document()); })
{
    setAcceptRichText(true);
    connect(this, &QTextEdit::textChanged, this, &DBRichEdit::userEdited);
}

void DBRichEdit::keyPressEvent(QKeyEvent* event)
{
    if (!m_limit.allowsKey(*event, textCursor())) {
        event->accept(); // refused: the text is full
        return;
    }
    QTextEdit::keyPressEvent(event);
}

void DBRichEdit::insertFromMimeData(const QMimeData* source)
{
    // Formatting comes along only when the whole of it fits.
    const QString plain = source->text();
    if (m_limit.maxLength() <= 0 || m_limit.fitting(plain, textCursor()) == plain) {
        QTextEdit::insertFromMimeData(source);
        return;
    }
    textCursor().insertText(m_limit.fitting(plain, textCursor()));
}

void DBRichEdit::setDataSet(store::DataSet* dataSet)
{
    m_binding.setDataSet(dataSet);
}
void DBRichEdit::setDataField(const QString& field)
{
    m_binding.setField(field);
}

void DBRichEdit::setConversion(FromStored fromStored, ToStored toStored)
{
    m_fromStored = std::move(fromStored);
    m_toStored = std::move(toStored);
    refresh();
}

void DBRichEdit::refresh()
{
    const QString stored = m_binding.text();
    if (m_refused == stored)
        return;
    if (!m_refused && m_toStored(*this) == stored) {
        setReadOnly(!m_binding.canModify());
        return;
    }
    m_updating = true;
    m_refused.reset();
    if (!m_fromStored(*this, stored)) {
        m_refused = stored;
        setPlainText(QStringLiteral("Text tohoto záznamu je příliš rozsáhlý (%1 kB), zde ho nelze zobrazit ani "
                                    "upravit. Uložený text zůstává beze změny.")
                         .arg(QLocale(QLocale::Czech).toString((stored.size() + 1023) / 1024)));
    }
    setReadOnly(m_refused || !m_binding.canModify());
    m_updating = false;
}

void DBRichEdit::userEdited()
{
    if (m_updating || m_refused)
        return;
    if (!m_binding.write(m_toStored(*this)))
        refresh();
}

// --- DBLookupList

DBLookupList::DBLookupList(QWidget* parent)
    : QListView(parent), m_model(new GridModel(this)),
      m_follower(std::make_unique<CursorFollower>(*this, *m_model))
{
    setModel(m_model);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true); // a million records must not be measured one by one
    connect(m_model, &GridModel::cursorRowChanged, this, [this] { m_follower->followCursor(true); });
}

DBLookupList::~DBLookupList() = default;

store::DataSet* DBLookupList::dataSet() const
{
    return m_model->dataSet();
}

void DBLookupList::setDataSet(store::DataSet* dataSet)
{
    m_model->setDataSet(dataSet);
    m_follower->followCursor(true);
}

void DBLookupList::setDataField(const QString& field)
{
    m_field = field;
    m_model->setColumns({GridColumn{field, field, -1}});
    m_follower->followCursor(true);
}

void DBLookupList::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QListView::currentChanged(current, previous);
    // Choosing an item makes its record current; when the pending record
    // cannot be saved, the list goes back to the current one.
    m_follower->currentChanged(current, previous);
}

void DBLookupList::keyPressEvent(QKeyEvent* event)
{
    QListView::keyPressEvent(event);
    m_follower->followCursor(false);
}

void DBLookupList::mousePressEvent(QMouseEvent* event)
{
    QListView::mousePressEvent(event);
    m_follower->followCursor(false);
}

void DBLookupList::mouseMoveEvent(QMouseEvent* event)
{
    QListView::mouseMoveEvent(event);
    m_follower->followCursor(false);
}

void DBLookupList::mouseReleaseEvent(QMouseEvent* event)
{
    QListView::mouseReleaseEvent(event);
    m_follower->followCursor(false);
}

} // namespace widgets
