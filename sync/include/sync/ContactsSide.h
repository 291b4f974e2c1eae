#pragma once

// The address table Dat.DB as the local side of an address book.

#include "sync/LocalSide.h"

#include <memory>

namespace store {
class Cursor;
}

namespace davsync {

class ContactsSide : public LocalSide {
public:
    explicit ContactsSide(store::Database& database);
    ~ContactsSide() override;

    CollectionKind kind() const override { return CollectionKind::AddressBook; }
    QByteArray contentType() const override { return "text/vcard; charset=utf-8"; }
    QString extension() const override { return QStringLiteral(".vcf"); }
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

    void apply(const std::vector<LocalWrite>& writes) override;

private:
    std::unique_ptr<store::Cursor> m_cursor;
};

} // namespace davsync
