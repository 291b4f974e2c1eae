#pragma once

// vCard: reading versions 2.1, 3.0 and 4.0 (RFC 2426, RFC 6350, and 2.1's
// quoted-printable values with their CHARSET) into address records, and
// writing version 4.0 in UTF-8.

#include "interchange/Source.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace interchange {

struct VCardRead {
    std::vector<SourceRecord> records; // location: the line of BEGIN:VCARD
    std::vector<SourceProblem> problems;
    QStringList notes; // about the whole file: the code page it is read in
    QString error;     // why the device could not be read to its end: nothing of it counts
};

// Reads every card of the file. A card that cannot be read is a problem
// naming its line; the others are read all the same. `progress` (when given)
// is told the bytes done and may stop the reading by returning false.
VCardRead readVCards(const QByteArray& bytes,
                     const std::function<bool(qint64 done, qint64 total)>& progress = {});
// The same from a device, read in pieces: the memory it takes is that of
// what it reads (a line, a card, the records), never the whole file's.
// Lines, cards and the list of problems have limits, said as problems.
VCardRead readVCards(QIODevice& device, const std::function<bool(qint64 done, qint64 total)>& progress = {});

// One card, version 4.0, lines folded at 75 bytes, CRLF line ends: N and FN
// for a person, ORG and KIND:org for a firm, ADR split into its parts where
// the line is "street, PSČ place", one TEL per telephone, NOTE.
QByteArray writeVCard(const std::vector<QString>& addressFields);
// The same card appended to `out` (an export's buffer keeps its memory).
void appendVCard(QByteArray& out, const std::vector<QString>& addressFields);

} // namespace interchange
