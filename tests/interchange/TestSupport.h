#pragma once

#include <QString>

#include <ostream>

// Readable QStrings in the failure messages of gtest.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
