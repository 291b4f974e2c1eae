#pragma once

// The appearance and start-up settings kept outside the tables: the grid's two
// colours in small files of the working directory and the desktop's autostart
// entry. Plain functions, so they are tested without a window.

#include <QColor>
#include <QString>

#include <cstdint>
#include <optional>
#include <stdexcept>

namespace app {

// A settings file that cannot be read or written; the text is for the error box.
class SettingsError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline const QString kBackgroundColourFile = QStringLiteral("Barva.cfg");
inline const QString kTextColourFile = QStringLiteral("Barva1.cfg");
// The entry the installation delivers in the working directory and the
// name it takes in the autostart folder.
inline const QString kAutostartEntry = QStringLiteral("Pelmir.desktop");

// A colour as the files hold it: red + 256 * green + 65536 * blue.
std::uint32_t colourValue(const QColor& colour);
QColor colourFromValue(std::uint32_t value);

// The colour of the file's first 4-byte record (least significant byte first);
// nullopt when there is no such file. A shorter file: SettingsError
// "Read beyond end of file".
std::optional<QColor> readColourFile(const QString& path);
// Creates or replaces the file with the colour as its one record.
// SettingsError "Cannot create file <path>" when it cannot be written.
void writeColourFile(const QString& path, const QColor& colour);

// Copies the delivered entry into the autostart folder, replacing one there.
// A missing source: "Cannot open file <source>"; a target that cannot be
// written: "Cannot create file <target>". An autostart folder that does not
// exist yet is made, as the desktop's own settings do.
void installAutostart(const QString& source, const QString& autostartDir);
// Deletes the entry from the autostart folder if it is there.
void removeAutostart(const QString& autostartDir);
bool autostartInstalled(const QString& autostartDir);

// The record-count text: "V adresáři je " + 12 + " záznamů".
QString recordCountText(const QString& prefix, int count);

} // namespace app
