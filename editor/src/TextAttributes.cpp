#include "editor/TextAttributes.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>

#include <cmath>
#include <functional>

namespace editor {

namespace {

constexpr double kPixelsPerPoint = 4.0 / 3.0;

int points(qreal pixels)
{
    return static_cast<int>(std::lround(pixels / kPixelsPerPoint));
}

qreal pixels(int points)
{
    return points * kPixelsPerPoint;
}

// Runs change on every block from the selection's start to its end.
void forEachBlock(const QTextCursor& selection, const std::function<void(QTextBlock)>& change)
{
    const QTextDocument* document = selection.document();
    if (!document)
        return;
    QTextBlock block = document->findBlock(selection.selectionStart());
    const QTextBlock last = document->findBlock(selection.selectionEnd());
    QTextCursor edit(selection);
    edit.beginEditBlock();
    while (block.isValid()) {
        change(block);
        if (block == last)
            break;
        block = block.next();
    }
    edit.endEditBlock();
}

void setBlockFormat(QTextBlock block, const QTextBlockFormat& format)
{
    QTextCursor cursor(block);
    cursor.setBlockFormat(format);
}

bool isBullet(const QTextList* list)
{
    if (!list)
        return false;
    const QTextListFormat::Style style = list->format().style();
    return style == QTextListFormat::ListDisc || style == QTextListFormat::ListCircle ||
           style == QTextListFormat::ListSquare;
}

} // namespace

ParagraphAttributes paragraphAttributes(const QTextCursor& selection)
{
    ParagraphAttributes a;
    const QTextDocument* document = selection.document();
    if (!document)
        return a;
    const QTextBlock block = document->findBlock(selection.selectionStart());
    const QTextBlockFormat f = block.blockFormat();
    switch (f.alignment() & Qt::AlignHorizontal_Mask) {
    case Qt::AlignRight:
        a.alignment = Alignment::Right;
        break;
    case Qt::AlignHCenter:
        a.alignment = Alignment::Centre;
        break;
    case Qt::AlignJustify:
        a.alignment = Alignment::Justified;
        break;
    default:
        a.alignment = Alignment::Left;
        break;
    }
    a.bullets = isBullet(block.textList());
    a.firstIndent = points(f.leftMargin() + f.textIndent());
    a.leftIndent = points(-f.textIndent());
    a.rightIndent = points(f.rightMargin());
    return a;
}

void setFirstIndent(const QTextCursor& selection, int first)
{
    forEachBlock(selection, [first](QTextBlock block) {
        QTextBlockFormat f = block.blockFormat();
        const int left = points(-f.textIndent());
        f.setLeftMargin(pixels(first + left));
        setBlockFormat(block, f);
    });
}

void setLeftIndent(const QTextCursor& selection, int left)
{
    forEachBlock(selection, [left](QTextBlock block) {
        QTextBlockFormat f = block.blockFormat();
        const int first = points(f.leftMargin() + f.textIndent());
        f.setLeftMargin(pixels(first + left));
        f.setTextIndent(pixels(-left));
        setBlockFormat(block, f);
    });
}

void setRightIndent(const QTextCursor& selection, int right)
{
    forEachBlock(selection, [right](QTextBlock block) {
        QTextBlockFormat f = block.blockFormat();
        f.setRightMargin(pixels(right));
        setBlockFormat(block, f);
    });
}

void setAlignment(const QTextCursor& selection, Alignment alignment)
{
    Qt::Alignment qt = Qt::AlignLeft;
    switch (alignment) {
    case Alignment::Right:
        qt = Qt::AlignRight;
        break;
    case Alignment::Centre:
        qt = Qt::AlignHCenter;
        break;
    case Alignment::Justified:
        qt = Qt::AlignJustify;
        break;
    case Alignment::Left:
        break;
    }
    forEachBlock(selection, [qt](QTextBlock block) {
        QTextBlockFormat f = block.blockFormat();
        f.setAlignment(qt);
        setBlockFormat(block, f);
    });
}

void setBullets(const QTextCursor& selection, bool bullets)
{
    QTextList* list = nullptr;
    forEachBlock(selection, [&](QTextBlock block) {
        QTextList* current = block.textList();
        if (!bullets) {
            if (current)
                current->remove(block);
            return;
        }
        if (isBullet(current))
            return;
        if (current)
            current->remove(block);
        if (list) {
            list->add(block);
        } else {
            QTextListFormat format;
            format.setStyle(QTextListFormat::ListDisc);
            format.setIndent(1);
            QTextCursor cursor(block);
            list = cursor.createList(format);
        }
    });
}

CharAttributes charAttributes(const QTextCharFormat& format, const QFont& defaultFont)
{
    const QFont font = format.font().resolve(defaultFont);
    CharAttributes a;
    a.family = font.family();
    a.points = font.pointSizeF() > 0 ? static_cast<int>(std::lround(font.pointSizeF()))
                                     : points(font.pixelSize());
    a.bold = font.bold();
    a.italic = font.italic();
    a.underline = font.underline() || format.fontUnderline();
    return a;
}

QFont withChange(const QFont& font, const QTextCharFormat& change)
{
    QTextCharFormat format;
    format.setFont(font);
    format.merge(change);
    return format.font();
}

void changeDefaultCharacters(QTextDocument& document, const QTextCharFormat& change)
{
    const QFont before = document.defaultFont();
    const QFont after = withChange(before, change);
    if (after == before)
        return;
    document.setDefaultFont(after);
    document.setModified(true);
}

} // namespace editor
