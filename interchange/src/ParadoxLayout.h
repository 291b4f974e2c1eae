#pragma once

// The layout of a Paradox table file, read and checked by our own code before
// pxlib sees the file: pxlib trusts its header (a field length copied into a
// fixed-size local, a block chain followed until it ends) and a crafted file
// takes it into a stack overflow or an endless loop. Every field pxlib will
// use is checked here against the others and against the file's size.

#include <QByteArray>
#include <QString>

#include <cstdio>
#include <optional>
#include <vector>

namespace interchange {

struct ParadoxField {
    QByteArray name; // as the file writes it, in its code page
    int type = 0;    // pxfAlpha, pxfDate, ...
    int length = 0;  // bytes in the record
    int decimals = 0; // BCD only
};

struct ParadoxLayout {
    int fileType = 0;
    int recordSize = 0;
    int headerSize = 0;
    int blockSize = 0;
    int codePage = 0;
    unsigned long encryption = 0;
    std::vector<ParadoxField> fields;
    // The records the block chain holds, as pxlib's index will count them,
    // and whether the chain runs past the end of the file.
    int records = 0;
    bool truncated = false;
    // Where the first block past the end of a truncated file ends: pxlib
    // reads its head there and must find zeros (the chain's end), not a failed seek.
    long long chainEnd = 0;
};

// The file's layout, or nullopt with the reason (Czech) why pxlib must not
// open it. `file` is read from its start; `fileSize` is its length in bytes.
std::optional<ParadoxLayout> readParadoxLayout(std::FILE* file, long long fileSize, QString* why);

// A field's value in its record, decoded without pxlib (whose decoders copy
// the header's length into fixed locals). nullopt: the field is empty.
std::optional<long long> paradoxInteger(const char* data, int length);
std::optional<double> paradoxDouble(const char* data);
std::optional<bool> paradoxLogical(const char* data);
// A BCD number as text with a decimal comma ("-12,50"); nullopt when empty or malformed.
std::optional<QString> paradoxBcd(const unsigned char* data, int decimals);

} // namespace interchange
