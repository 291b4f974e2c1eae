#include "widgets/SelectOnFocus.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <QTimer>

namespace widgets {

namespace {

class SelectAllOnFocus : public QObject {
public:
    explicit SelectAllOnFocus(QLineEdit* edit) : QObject(edit), m_edit(edit) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != m_edit || event->type() != QEvent::FocusIn)
            return false;
        if (static_cast<QFocusEvent*>(event)->reason() != Qt::MouseFocusReason) {
            m_edit->selectAll();
            return false;
        }
        // After the click: the press that gave the focus would otherwise put
        // the caret where it was clicked.
        QTimer::singleShot(0, m_edit, [edit = m_edit] {
            if (edit->hasFocus())
                edit->selectAll();
        });
        return false;
    }

private:
    QLineEdit* m_edit;
};

} // namespace

void selectAllOnFocus(QLineEdit* edit)
{
    edit->installEventFilter(new SelectAllOnFocus(edit));
}

} // namespace widgets
