// The RTF writer: Windows-1250 text, one font table entry per family used,
// a colour table, a list table when bullets or numbers occur, then every
// paragraph with its properties and its runs' character properties.

#include "richtext/Rtf.h"

#include "richtext/CodePage.h"
#include "richtext/Pictures.h"

#include "RtfUnits.h"

#include <QHash>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextList>

#include <cmath>
#include <optional>

namespace richtext {

namespace {

using detail::kTwipsPerPixel;

constexpr int kCzechCharset = 238;
constexpr int kCzechLanguage = 1029;
constexpr int kBulletList = 1; // \ls numbers of the two lists written
constexpr int kNumberList = 2;
constexpr int kWrapColumn = 200; // lines are broken before a control word past this
constexpr int kHexPerLine = 128;
constexpr unsigned char kBulletByte = 0x95; // U+2022 in Windows-1250

struct CharProps {
    int font = 0;
    int halfPoints = 24;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int colour = 0;
    int background = 0;
    int vertical = 0;
    bool operator==(const CharProps&) const = default;
};

int twips(qreal pixels)
{
    return static_cast<int>(std::lround(pixels * kTwipsPerPixel));
}

bool isBulletStyle(QTextListFormat::Style style)
{
    return style == QTextListFormat::ListDisc || style == QTextListFormat::ListCircle ||
           style == QTextListFormat::ListSquare;
}

class RtfWriter {
public:
    explicit RtfWriter(const QTextDocument& document) : m_document(document) {}

    QByteArray run()
    {
        collectTables();
        m_out.reserve(m_document.characterCount() * 2 + 1024);
        raw("{\\rtf1\\ansi");
        word("ansicpg", kCzechCodePage);
        word("deff", 0);
        word("deflang", kCzechLanguage);
        writeFontTable();
        writeColourTable();
        if (m_bullets || m_numbers)
            writeListTables();
        word("viewkind", 4);
        word("uc", 1);
        newLine();
        // \plain: the state every run's properties are written against.
        word("plain");
        m_written = CharProps{};
        for (QTextBlock block = m_document.begin(); block.isValid(); block = block.next())
            writeBlock(block);
        raw("}");
        newLine();
        return m_out;
    }

private:
    // --- output primitives

    void raw(const char* text)
    {
        m_out.append(text);
        m_line += static_cast<int>(qstrlen(text));
        m_delimit = false;
    }

    void newLine()
    {
        m_out.append("\r\n");
        m_line = 0;
        m_delimit = false;
    }

    void controlStart()
    {
        if (m_line > kWrapColumn)
            newLine();
    }

    void word(const char* name, std::optional<int> parameter = std::nullopt)
    {
        controlStart();
        m_out.append('\\');
        m_out.append(name);
        m_line += 1 + static_cast<int>(qstrlen(name));
        if (parameter) {
            const QByteArray number = QByteArray::number(*parameter);
            m_out.append(number);
            m_line += static_cast<int>(number.size());
        }
        m_delimit = true;
    }

    void hexByte(unsigned char b)
    {
        controlStart();
        static const char digits[] = "0123456789abcdef";
        m_out.append("\\'");
        m_out.append(digits[b >> 4]);
        m_out.append(digits[b & 15]);
        m_line += 4;
        m_delimit = false;
    }

    void plainByte(char c)
    {
        if (m_delimit) {
            m_out.append(' ');
            ++m_line;
            m_delimit = false;
        }
        m_out.append(c);
        ++m_line;
    }

    void character(QChar c)
    {
        const char16_t u = c.unicode();
        switch (u) {
        case '\\':
        case '{':
        case '}':
            controlStart();
            m_out.append('\\');
            m_out.append(static_cast<char>(u));
            m_line += 2;
            m_delimit = false;
            return;
        case '\t':
            word("tab");
            return;
        case QChar::LineSeparator:
        case QChar::ParagraphSeparator:
            word("line");
            return;
        case QChar::Nbsp:
            raw("\\~");
            return;
        case QChar::SoftHyphen:
            raw("\\-");
            return;
        case 0x2011:
            raw("\\_");
            return;
        default:
            break;
        }
        if (u < 0x20)
            return; // control characters have no place in a paragraph
        if (u < 0x80) {
            plainByte(static_cast<char>(u));
            return;
        }
        if (const auto byte = encodeCzech(c)) {
            hexByte(*byte);
            return;
        }
        // Outside Windows-1250: the character itself, with "?" for readers
        // that do not know \u.
        word("u", u > 0x7FFF ? static_cast<int>(u) - 0x10000 : static_cast<int>(u));
        m_out.append('?');
        ++m_line;
        m_delimit = false;
    }

    void text(QStringView text)
    {
        for (const QChar c : text)
            character(c);
    }

    // --- tables

    void collectTables()
    {
        fontIndex(m_document.defaultFont().family());
        for (QTextBlock block = m_document.begin(); block.isValid(); block = block.next()) {
            collectFormat(block.charFormat());
            for (auto it = block.begin(); !it.atEnd(); ++it)
                collectFormat(it.fragment().charFormat());
            if (const QTextList* list = block.textList()) {
                if (isBulletStyle(list->format().style()))
                    m_bullets = true;
                else
                    m_numbers = true;
            }
        }
    }

    void collectFormat(const QTextCharFormat& format)
    {
        fontIndex(resolvedFont(format).family());
        if (const auto c = foreground(format))
            colourIndex(*c);
        if (const auto c = background(format))
            colourIndex(*c);
    }

    QFont resolvedFont(const QTextCharFormat& format) const
    {
        return format.font().resolve(m_document.defaultFont());
    }

    static std::optional<QColor> foreground(const QTextCharFormat& format)
    {
        if (!format.hasProperty(QTextFormat::ForegroundBrush) ||
            format.foreground().style() == Qt::NoBrush)
            return std::nullopt;
        return format.foreground().color();
    }

    static std::optional<QColor> background(const QTextCharFormat& format)
    {
        if (!format.hasProperty(QTextFormat::BackgroundBrush) ||
            format.background().style() == Qt::NoBrush)
            return std::nullopt;
        return format.background().color();
    }

    int fontIndex(const QString& family)
    {
        // A semicolon would end the name early in the font table.
        QString name = family;
        name.remove(u';');
        if (const auto found = m_fontIndex.constFind(name); found != m_fontIndex.cend())
            return *found;
        const int index = static_cast<int>(m_fonts.size());
        m_fonts.append(name);
        m_fontIndex.insert(name, index);
        return index;
    }

    int colourIndex(const QColor& colour)
    {
        const QRgb rgb = colour.rgb();
        if (const auto found = m_colourIndex.constFind(rgb); found != m_colourIndex.cend())
            return *found;
        m_colours.append(rgb);
        const int index = static_cast<int>(m_colours.size()); // 0 is "automatic"
        m_colourIndex.insert(rgb, index);
        return index;
    }

    void writeFontTable()
    {
        raw("{");
        word("fonttbl");
        for (int i = 0; i < m_fonts.size(); ++i) {
            raw("{");
            word("f", i);
            word("fnil");
            word("fcharset", kCzechCharset);
            text(m_fonts[i]);
            raw(";}");
        }
        raw("}");
        newLine();
    }

    void writeColourTable()
    {
        if (m_colours.isEmpty())
            return;
        raw("{");
        word("colortbl");
        raw(";");
        for (const QRgb rgb : std::as_const(m_colours)) {
            word("red", qRed(rgb));
            word("green", qGreen(rgb));
            word("blue", qBlue(rgb));
            raw(";");
        }
        raw("}");
        newLine();
    }

    void writeListTables()
    {
        raw("{\\*\\listtable");
        if (m_bullets) {
            raw("{\\list\\listtemplateid1\\listsimple{\\listlevel\\levelnfc23\\levelnfcn23"
                "\\leveljc0\\levelfollow0\\levelstartat1{\\leveltext\\'01\\u8226 \\'95;}"
                "{\\levelnumbers;}\\fi-360\\li720}\\listid1}");
        }
        if (m_numbers) {
            raw("{\\list\\listtemplateid2\\listsimple{\\listlevel\\levelnfc0\\levelnfcn0"
                "\\leveljc0\\levelfollow0\\levelstartat1{\\leveltext\\'02\\'00.;}"
                "{\\levelnumbers\\'01;}\\fi-360\\li720}\\listid2}");
        }
        raw("}");
        newLine();
        raw("{\\*\\listoverridetable");
        if (m_bullets)
            raw("{\\listoverride\\listid1\\listoverridecount0\\ls1}");
        if (m_numbers)
            raw("{\\listoverride\\listid2\\listoverridecount0\\ls2}");
        raw("}");
        newLine();
    }

    // --- body

    void writeBlock(const QTextBlock& block)
    {
        const QTextBlockFormat format = block.blockFormat();
        const QTextList* list = block.textList();
        word("pard");
        switch (format.alignment() & Qt::AlignHorizontal_Mask) {
        case Qt::AlignRight:
            word("qr");
            break;
        case Qt::AlignHCenter:
            word("qc");
            break;
        case Qt::AlignJustify:
            word("qj");
            break;
        default:
            break;
        }
        int left = twips(format.leftMargin());
        int first = twips(format.textIndent());
        if (list) {
            left += detail::kListIndentTwips;
            first -= detail::kListHangTwips;
        }
        const int right = twips(format.rightMargin());
        const int before = twips(format.topMargin());
        const int after = twips(format.bottomMargin());
        if (first != 0)
            word("fi", first);
        if (left != 0)
            word("li", left);
        if (right != 0)
            word("ri", right);
        if (before != 0)
            word("sb", before);
        if (after != 0)
            word("sa", after);
        if (list) {
            const bool bullet = isBulletStyle(list->format().style());
            word("ls", bullet ? kBulletList : kNumberList);
            word("ilvl", 0);
            raw("{");
            word("listtext");
            if (bullet)
                hexByte(kBulletByte);
            else
                text(QString::number(list->itemNumber(block) + 1) + u'.');
            word("tab");
            raw("}");
        }
        bool empty = true;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat charFormat = fragment.charFormat();
            writeCharFormat(charFormat);
            if (charFormat.isImageFormat()) {
                for (int i = 0; i < fragment.length(); ++i)
                    writePicture(charFormat.toImageFormat());
            } else {
                text(fragment.text());
            }
            empty = false;
        }
        if (empty)
            writeCharFormat(block.charFormat()); // the size of an empty line
        word("par");
        newLine();
    }

    CharProps props(const QTextCharFormat& format)
    {
        const QFont font = resolvedFont(format);
        CharProps p;
        p.font = fontIndex(font.family());
        qreal points = font.pointSizeF();
        if (points <= 0 && font.pixelSize() > 0)
            points = font.pixelSize() * 0.75;
        p.halfPoints = points > 0 ? static_cast<int>(std::lround(points * 2)) : 24;
        p.bold = font.bold();
        p.italic = font.italic();
        p.underline = font.underline() || format.fontUnderline();
        p.strike = font.strikeOut();
        if (const auto c = foreground(format))
            p.colour = colourIndex(*c);
        if (const auto c = background(format))
            p.background = colourIndex(*c);
        switch (format.verticalAlignment()) {
        case QTextCharFormat::AlignSuperScript:
            p.vertical = 1;
            break;
        case QTextCharFormat::AlignSubScript:
            p.vertical = -1;
            break;
        default:
            break;
        }
        return p;
    }

    void writeCharFormat(const QTextCharFormat& format)
    {
        const CharProps p = props(format);
        CharProps& w = m_written;
        if (p == w)
            return;
        if (p.font != w.font)
            word("f", p.font);
        if (p.halfPoints != w.halfPoints)
            word("fs", p.halfPoints);
        if (p.bold != w.bold)
            p.bold ? word("b") : word("b", 0);
        if (p.italic != w.italic)
            p.italic ? word("i") : word("i", 0);
        if (p.underline != w.underline)
            p.underline ? word("ul") : word("ulnone");
        if (p.strike != w.strike)
            p.strike ? word("strike") : word("strike", 0);
        if (p.colour != w.colour)
            word("cf", p.colour);
        if (p.background != w.background)
            word("highlight", p.background);
        if (p.vertical != w.vertical)
            word(p.vertical > 0 ? "super" : p.vertical < 0 ? "sub" : "nosupersub");
        w = p;
    }

    void writePicture(const QTextImageFormat& format)
    {
        const QByteArray bytes = pictureBytes(m_document, format);
        const PictureKind kind = pictureKind(bytes);
        if (kind == PictureKind::None)
            return;
        const QSize natural = pictureSize(bytes);
        const qreal width = format.width() > 0 ? format.width() : natural.width();
        const qreal height = format.height() > 0 ? format.height() : natural.height();
        raw("{");
        word("pict");
        word(kind == PictureKind::Png ? "pngblip" : "jpegblip");
        word("picw", natural.width());
        word("pich", natural.height());
        word("picwgoal", twips(width));
        word("pichgoal", twips(height));
        newLine();
        const QByteArray hex = bytes.toHex();
        for (qsizetype i = 0; i < hex.size(); i += kHexPerLine) {
            m_out.append(hex.mid(i, kHexPerLine));
            newLine();
        }
        raw("}");
    }

    const QTextDocument& m_document;
    QByteArray m_out;
    int m_line = 0;
    bool m_delimit = false;
    QStringList m_fonts;
    QHash<QString, int> m_fontIndex;
    QList<QRgb> m_colours;
    QHash<QRgb, int> m_colourIndex;
    bool m_bullets = false;
    bool m_numbers = false;
    CharProps m_written;
};

} // namespace

QByteArray writeRtf(const QTextDocument& document)
{
    return RtfWriter(document).run();
}

} // namespace richtext
