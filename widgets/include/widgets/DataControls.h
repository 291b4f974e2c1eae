#pragma once

#include "store/DataSet.h"

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QString>
#include <QTextEdit>

#include <functional>
#include <memory>
#include <optional>

class QKeyEvent;
class QMimeData;
class QTextCursor;

namespace widgets {

class CursorFollower;
class FieldLengthValidator;
class GridModel;

// Ties one field of a data set's current record to a control: repaints it
// when the record changes (never while the display is suspended) and writes
// what the user types into the pending record, starting the edit first.
class FieldBinding : public store::DisplayObserver {
public:
    explicit FieldBinding(std::function<void()> refresh);
    ~FieldBinding() override;
    FieldBinding(const FieldBinding&) = delete;
    FieldBinding& operator=(const FieldBinding&) = delete;

    void setDataSet(store::DataSet* dataSet);
    store::DataSet* dataSet() const { return m_dataSet; }
    void setField(const QString& field);
    const QString& field() const { return m_field; }

    // The field's text in the current record; empty without a record or field.
    QString text() const;
    // The field's width in characters; 0 for fields of other kinds than text.
    int width() const;
    // Whether the text is already a value of the field's kind: "5.3." is on
    // its way to a date, so it is written only when the typing ends.
    bool accepts(const QString& text) const;
    bool canModify() const;
    // Starts the edit when browsing and sets the field; errors are reported.
    // Returns false when the text could not be written.
    bool write(const QString& text);
    bool writing() const { return m_writing; }

    void displayChanged(store::DisplayChange change) override;

private:
    // The bound field's definition; null without an open data set or such a field.
    const store::FieldDef* fieldDef() const;

    std::function<void()> m_refresh;
    store::DataSet* m_dataSet = nullptr;
    QString m_field;
    bool m_writing = false;
};

// A label showing one field of the current record.
class DBText : public QLabel {
    Q_OBJECT
public:
    explicit DBText(QWidget* parent = nullptr);
    void setDataSet(store::DataSet* dataSet);
    store::DataSet* dataSet() const { return m_binding.dataSet(); }
    void setDataField(const QString& field);
    QString dataField() const { return m_binding.field(); }

private:
    void refresh();
    FieldBinding m_binding;
};

// A one-line edit of one field; typing starts the edit of the record. It
// takes at most the field's width in characters and no line breaks.
class DBEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit DBEdit(QWidget* parent = nullptr);
    void setDataSet(store::DataSet* dataSet);
    store::DataSet* dataSet() const { return m_binding.dataSet(); }
    void setDataField(const QString& field);
    QString dataField() const { return m_binding.field(); }

private:
    void refresh();
    void userEdited(const QString& text);
    void editingDone();
    FieldBinding m_binding;
    FieldLengthValidator* m_limit = nullptr;
};

// The longest text a memo or rich-text control takes from the keyboard and
// the clipboard (0: no limit). A longer text already stored is shown whole.
class TextLimit {
public:
    void setMaxLength(int length) { m_maxLength = length; }
    int maxLength() const { return m_maxLength; }
    // Whether a key that types text may go in; false once the text is full.
    bool allowsKey(const QKeyEvent& event, const QTextCursor& cursor) const;
    // The part of a pasted or dropped text that fits.
    QString fitting(const QString& text, const QTextCursor& cursor) const;

private:
    int room(const QTextCursor& cursor) const;
    int m_maxLength = 0;
};

// A plain multi-line text of one field. It takes at most the limit set here,
// else the field's width, in characters (never half a letter, whether typed,
// pasted or dropped); a longer stored text is shown whole and cannot grow.
class DBMemo : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit DBMemo(QWidget* parent = nullptr);
    void setDataSet(store::DataSet* dataSet);
    store::DataSet* dataSet() const { return m_binding.dataSet(); }
    void setDataField(const QString& field);
    QString dataField() const { return m_binding.field(); }
    void setMaxLength(int length);

protected:
    void focusOutEvent(QFocusEvent* event) override;

private:
    void refresh();
    void userEdited();
    void keepWithinLimit();
    int limit() const;
    FieldBinding m_binding;
    bool m_updating = false;
    int m_maxLength = 0;
    // The most characters the text may hold: the limit, or a longer stored value.
    int m_allowed = 0;
    // Where the last insertion ended, in the document.
    int m_insertEnd = 0;
};

// A rich-text area over a formatted-memo field, which keeps the text as RTF
// (a field holding plain text shows it as such). The conversion is a pair of
// hooks that a window may replace.
class DBRichEdit : public QTextEdit {
    Q_OBJECT
public:
    // False when the stored text is too large to show: the area then says so,
    // is read-only, and never writes over what is stored.
    using FromStored = std::function<bool(QTextEdit& edit, const QString& stored)>;
    using ToStored = std::function<QString(const QTextEdit& edit)>;

    explicit DBRichEdit(QWidget* parent = nullptr);
    void setDataSet(store::DataSet* dataSet);
    store::DataSet* dataSet() const { return m_binding.dataSet(); }
    void setDataField(const QString& field);
    QString dataField() const { return m_binding.field(); }
    void setConversion(FromStored fromStored, ToStored toStored);
    void setMaxLength(int length) { m_limit.setMaxLength(length); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    void refresh();
    void userEdited();
    TextLimit m_limit;
    FieldBinding m_binding;
    FromStored m_fromStored;
    ToStored m_toStored;
    bool m_updating = false;
    // The stored text shown only as a remark, because it was too large.
    std::optional<QString> m_refused;
};

// A list of one field of every record, in the order of the current index;
// choosing an item makes its record current.
class DBLookupList : public QListView {
    Q_OBJECT
public:
    explicit DBLookupList(QWidget* parent = nullptr);
    ~DBLookupList() override;
    void setDataSet(store::DataSet* dataSet);
    store::DataSet* dataSet() const;
    void setDataField(const QString& field);
    QString dataField() const { return m_field; }
    GridModel* listModel() const { return m_model; }

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    GridModel* m_model = nullptr;
    std::unique_ptr<CursorFollower> m_follower;
    QString m_field;
};

} // namespace widgets
