#pragma once

// A server's vCard and a record of the address table. What the table has
// fields for is mapped (name, the first address, as many telephones as the
// field holds, the note); everything else on the card (e-mails, photos,
// birthdays, further addresses and telephones, the phone's own extensions)
// stays in the card kept with the sync state, and a card written back keeps
// those lines byte for byte, so editing a contact here strips nothing.

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace davsync {

// One logical line of a card: its property name (upper case, without a
// group) and its bytes as they stood in the card, folding included.
struct CardLine {
    QByteArray name;
    QByteArray raw;
};

// The lines between BEGIN:VCARD and END:VCARD of the first card.
std::vector<CardLine> cardLines(const QByteArray& card);

struct MappedCard {
    QString uid;
    std::vector<QString> fields; // the address table's five, cut to their widths
};

// nullopt (and a Czech reason) when the card has no name to file it under.
std::optional<MappedCard> mapCard(const QByteArray& card, QString* error);

// The card to upload for these fields. With a `base` (the server's card as
// last synced, filed here under `baseKey`), every group of lines whose field
// did not change is kept as it was; without one a new card is written.
QByteArray writeCard(const std::vector<QString>& fields, const QString& uid, const QByteArray& base = {},
                     const QString& baseKey = {});

// A short fingerprint of mapped fields: equal fields, equal text.
QString fieldsHash(const std::vector<QString>& fields);

// The text cut to `width` characters (0: no limit), never inside a pair.
QString fitted(const QString& text, int width);

} // namespace davsync
