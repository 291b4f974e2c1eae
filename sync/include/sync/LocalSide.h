#pragma once

// One table of ours as the sync engine sees it: records by key, read whole,
// changed in batches; and how its records become server items and back.

#include "sync/DavXml.h"

#include <QByteArray>
#include <QString>

#include <map>
#include <optional>
#include <set>
#include <vector>

namespace store {
class Database;
}

namespace davsync {

using Fields = std::vector<QString>;

// A server item read into our fields (the key among them).
struct MappedItem {
    QString uid;
    Fields fields;
};

// A change of a record here: put `fields` (replacing the record `oldKey`,
// when given), or delete `oldKey`.
struct LocalWrite {
    QString oldKey;
    Fields fields;
    bool remove = false;
};

class LocalSide {
public:
    virtual ~LocalSide() = default;

    virtual CollectionKind kind() const = 0;
    virtual QByteArray contentType() const = 0;
    virtual QString extension() const = 0; // of a new item's file name: ".vcf"
    // What the user calls one record, for messages: "kontakt", "den".
    virtual QString itemWord() const = 0;

    // Every record, by key.
    virtual std::map<QString, Fields> records() = 0;
    virtual QString keyOf(const Fields& fields) const = 0;
    // The record's fields with another key.
    virtual Fields withKey(Fields fields, const QString& key) const = 0;
    // A key the table does not hold yet (`taken` are folded with foldKey()).
    virtual QString freeKey(const QString& wanted, const std::set<QString>& taken) const = 0;
    virtual QString foldKey(const QString& key) const = 0;
    // The key a server item would get, before any number makes it unique;
    // and whether `key` is that wish with such a number.
    virtual bool keyCameFrom(const QString& key, const QString& wanted) const = 0;

    virtual std::optional<MappedItem> map(const QByteArray& body, QString* error) const = 0;
    virtual QByteArray write(const Fields& fields, const QString& uid, const QByteArray& base,
                             const QString& baseKey) const = 0;
    // One line for the user: "Novák Jan, 777 123 456".
    virtual QString describe(const Fields& fields) const = 0;

    // A table with one record a day: a server item for a key that another
    // record holds is joined to it (joined()) instead of taking a free key;
    // freeKey() then gives an empty key.
    virtual bool joins() const { return false; }
    // `here` with the text of `arriving` added (nothing when it holds it).
    virtual Fields joined(const Fields& here, const Fields& /*arriving*/) const { return here; }
    // Whether all of `arriving` went into `into`, so the server item may go.
    virtual bool holds(const Fields& into, const Fields& arriving) const { return into == arriving; }
    // An item this program reads but never rewrites (a recurring event).
    virtual bool readOnly(const QByteArray& /*body*/) const { return false; }
    // An item that stays on the server once joined (a timed event keeps its
    // alarm there).
    virtual bool staysWhenJoined(const QByteArray& body) const { return readOnly(body); }

    // In one transaction where the table allows: all of them or none.
    virtual void apply(const std::vector<LocalWrite>& writes) = 0;
};

} // namespace davsync
