#pragma once

// The planner Datp.DB as the local side of a calendar: a day is one
// all-day event, its text the event's description and its summary's first
// line. A day holds one entry, so an event that comes for a day that has
// one is added to its text after a blank line.

#include "sync/LocalSide.h"

#include <QDateTime>

#include <memory>

namespace store {
class Cursor;
}

namespace davsync {

class PlannerSide : public LocalSide {
public:
    PlannerSide(store::Database& database, QDateTime stamp);
    ~PlannerSide() override;

    CollectionKind kind() const override { return CollectionKind::Calendar; }
    QByteArray contentType() const override { return "text/calendar; charset=utf-8"; }
    QString extension() const override { return QStringLiteral(".ics"); }
    QString itemWord() const override;

    std::map<QString, Fields> records() override;
    QString keyOf(const Fields& fields) const override;
    Fields withKey(Fields fields, const QString& key) const override;
    QString freeKey(const QString& wanted, const std::set<QString>& taken) const override;
    QString foldKey(const QString& key) const override;
    bool keyCameFrom(const QString& key, const QString& wanted) const override;

    std::optional<MappedItem> map(const QByteArray& body, QString* error) const override;
    QByteArray write(const Fields& fields, const QString& uid, const QByteArray& base,
                     const QString& baseKey) const override;
    QString describe(const Fields& fields) const override;

    bool joins() const override { return true; }
    Fields joined(const Fields& here, const Fields& arriving) const override;
    bool holds(const Fields& into, const Fields& arriving) const override;
    bool readOnly(const QByteArray& body) const override;
    bool staysWhenJoined(const QByteArray& body) const override;

    void apply(const std::vector<LocalWrite>& writes) override;

private:
    std::unique_ptr<store::Cursor> m_cursor;
    QDateTime m_stamp;
};

} // namespace davsync
