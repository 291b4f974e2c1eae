#pragma once

// The memo file (.MB) of a Paradox table. pxlib 0.6.8 cannot be used for it:
// opening one overruns a stack buffer (its header reader passes the blob
// object where the table is expected), so the few block kinds memos use are
// read here, every offset checked against the file.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <optional>

namespace interchange {

class MemoFile {
public:
    // False (with `error`) when the file cannot be opened.
    bool open(const QString& path, QString* error);
    bool isOpen() const { return m_file.isOpen(); }

    // The memo a record's blob field points to: `pointer` is the field's last
    // ten bytes (offset with the slot index in its low byte, length, modification
    // number). nullopt with `error` when the pointer leads nowhere sensible.
    std::optional<QByteArray> read(const char* pointer, QString* error);

private:
    QFile m_file;
};

// The little-endian numbers of the Paradox formats.
inline quint32 le32(const char* p)
{
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    return quint32(u[0]) | quint32(u[1]) << 8 | quint32(u[2]) << 16 | quint32(u[3]) << 24;
}
inline quint16 le16(const char* p)
{
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    return quint16(u[0] | u[1] << 8);
}

} // namespace interchange
