#pragma once

// A print job written line by line like a text file: text runs from the top
// left of the printable area, long pieces wrap, pages start by themselves.

#include <QFont>
#include <QString>

#include <memory>
#include <stdexcept>

namespace platform {
class PrintCanvas;
class Printer;
} // namespace platform

namespace reports {

// A job that could not start or go on; the text is for the error box.
class PrintError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TextPrinter {
public:
    explicit TextPrinter(platform::Printer& printer);
    ~TextPrinter(); // ends a job still open, so an error never leaves one hanging
    TextPrinter(const TextPrinter&) = delete;
    TextPrinter& operator=(const TextPrinter&) = delete;

    // Starts the job; PrintError with the printing system's reason when it cannot.
    void open(const QString& title);
    bool isOpen() const { return m_canvas != nullptr; }
    void setFont(const QFont& font);

    // Writes at the current position: a tab moves to the next multiple of eight
    // average character widths, a form feed starts a new page, a carriage
    // return is ignored and a line feed ends the line.
    void write(const QString& text);
    void writeLine(const QString& text) { write(text); endLine(); }
    void endLine();
    // Ends the job and sends it to the printer.
    void close();

    // The current position in printer pixels and the page number (from 1).
    int x() const { return m_x; }
    int y() const { return m_y; }
    int page() const { return m_page; }

private:
    void writePiece(QString piece);
    void newPage();

    platform::Printer& m_printer;
    std::unique_ptr<platform::PrintCanvas> m_canvas;
    QFont m_font;
    int m_x = 0;
    int m_y = 0;
    int m_lineHeight = 0; // tallest piece of the current line + 2; 0 while it has none
    int m_page = 1;
};

} // namespace reports
