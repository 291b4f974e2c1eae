#include "editor/AddressBlock.h"

#include "store/DataSet.h"

namespace editor {

namespace {

QString field(const store::DataSet& table, const char* name)
{
    return QString::fromStdString(table.text(name));
}

} // namespace

Address currentAddress(const store::DataSet& table)
{
    if (!table.isActive() || table.rowCount() == 0)
        return {};
    return {field(table, "Příjmení"), field(table, "Jméno"), field(table, "Adresa"),
            field(table, "Telefon")};
}

QStringList addressBlockLines(const Address& address)
{
    const QString name = address.firstName.isEmpty()
                             ? address.surname
                             : address.firstName + u' ' + address.surname;
    return {QString(), name, address.address, QStringLiteral("telefon: ") + address.telephone,
            QString(), QString()};
}

} // namespace editor
