#include "widgets/DBDateEdit.h"

#include "platform/Platform.h"
#include "store/DateText.h"

#include <QCalendarWidget>
#include <QFrame>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QTextCharFormat>
#include <QToolButton>
#include <QVBoxLayout>

namespace widgets {

namespace {

const QString kNotADate =
    QStringLiteral("„%1“ není platné datum. Zadejte den, měsíc a rok ve tvaru d.m.rrrr, například 8.12.2025.");

QString dateText(const QDate& date)
{
    return QString::fromStdString(store::formatDate({date.year(), date.month(), date.day(), 0, 0, 0}));
}

std::optional<QDate> parsedDate(const QString& text)
{
    const auto parsed = store::parseDate(text.trimmed().toStdString());
    if (!parsed)
        return std::nullopt;
    return QDate(parsed->year, parsed->month, parsed->day);
}

} // namespace

DBDateEdit::DBDateEdit(QWidget* parent) : QWidget(parent), m_binding([this] { refresh(); })
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    m_edit = new QLineEdit(this);
    m_edit->setObjectName(QStringLiteral("Edit"));
    // Digits and dots only, at most "dd.mm.yyyy".
    m_edit->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]{0,2}(\\.[0-9]{0,2}(\\.[0-9]{0,4})?)?")), m_edit));
    m_edit->setMaxLength(10);
    m_dropDown = new QToolButton(this);
    m_dropDown->setObjectName(QStringLiteral("DropDown"));
    m_dropDown->setArrowType(Qt::DownArrow);
    m_dropDown->setFocusPolicy(Qt::NoFocus);
    row->addWidget(m_edit, 1);
    row->addWidget(m_dropDown);
    setFocusProxy(m_edit);
    connect(m_edit, &QLineEdit::editingFinished, this, [this] { commit(); });
    connect(m_dropDown, &QToolButton::clicked, this, &DBDateEdit::showCalendar);
}

DBDateEdit::~DBDateEdit() = default;

void DBDateEdit::setDataSet(store::DataSet* dataSet)
{
    m_binding.setDataSet(dataSet);
}

void DBDateEdit::setDataField(const QString& field)
{
    m_binding.setField(field);
}

void DBDateEdit::setDropDownHint(const QString& hint)
{
    m_dropDown->setToolTip(hint);
    m_dropDown->setStatusTip(hint);
}

QString DBDateEdit::text() const
{
    return m_edit->text();
}

void DBDateEdit::refresh()
{
    const bool canModify = m_binding.canModify();
    m_edit->setReadOnly(!canModify);
    m_dropDown->setEnabled(canModify);
    const QString value = m_binding.text();
    if (m_edit->text() != value)
        m_edit->setText(value);
    m_edit->setModified(false);
}

bool DBDateEdit::commit()
{
    if (!m_edit->isModified())
        return true;
    const QString typed = m_edit->text().trimmed();
    if (typed.isEmpty()) {
        m_edit->setModified(false);
        return m_binding.write(QString());
    }
    const std::optional<QDate> date = parsedDate(typed);
    if (!date) {
        // The text stays to be corrected; the record keeps its date.
        if (platform::Dialogs* dialogs = platform::services().dialogs)
            dialogs->warning(kNotADate.arg(typed));
        return false;
    }
    m_edit->setModified(false);
    if (!m_binding.write(dateText(*date)))
        return false;
    m_edit->setText(dateText(*date));
    return true;
}

void DBDateEdit::showCalendar()
{
    if (!m_popup) {
        m_popup = new QFrame(this, Qt::Popup);
        m_popup->setObjectName(QStringLiteral("CalendarPopup"));
        m_popup->setFrameStyle(QFrame::Box | QFrame::Plain);
        auto* layout = new QVBoxLayout(m_popup);
        layout->setContentsMargins(1, 1, 1, 1);
        m_calendar = new QCalendarWidget(m_popup);
        m_calendar->setObjectName(QStringLiteral("Calendar"));
        m_calendar->setLocale(QLocale(QLocale::Czech, QLocale::CzechRepublic));
        m_calendar->setFirstDayOfWeek(Qt::Monday);
        m_calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
        QTextCharFormat weekend;
        weekend.setForeground(Qt::red);
        m_calendar->setWeekdayTextFormat(Qt::Saturday, weekend);
        m_calendar->setWeekdayTextFormat(Qt::Sunday, weekend);
        layout->addWidget(m_calendar);
        connect(m_calendar, &QCalendarWidget::activated, this, &DBDateEdit::chooseDate);
        connect(m_calendar, &QCalendarWidget::clicked, this, &DBDateEdit::chooseDate);
    }
    QDate shown = parsedDate(m_edit->text()).value_or(QDate());
    if (!shown.isValid())
        shown = platform::services().clock ? platform::services().clock->today() : QDate::currentDate();
    m_calendar->setSelectedDate(shown);
    m_popup->adjustSize();
    m_popup->move(mapToGlobal(QPoint(0, height())));
    m_popup->show();
    m_calendar->setFocus();
}

void DBDateEdit::chooseDate(const QDate& date)
{
    if (m_popup)
        m_popup->hide();
    if (m_binding.write(dateText(date)))
        m_edit->setText(dateText(date));
    m_edit->setModified(false);
    m_edit->setFocus();
}

} // namespace widgets
