// The RTF reader: a loop over the lexer's tokens with an explicit stack of
// group states. Nothing recurses, every table grows only with what the file
// actually contains, and every number from the file is clamped before use.

#include "richtext/Rtf.h"

#include "richtext/CodePage.h"
#include "richtext/Pictures.h"

#include "LoadBudget.h"
#include "RtfLexer.h"
#include "RtfUnits.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

#include <algorithm>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace richtext {

namespace {

using detail::RtfLexer;
using detail::Token;
using detail::kTwipsPerPixel;

// Groups deeper than this keep their text but change no formatting: no real
// document comes near it, and the state of each level costs memory.
constexpr int kMaxDepth = 200;
// How many tokens are read between two reports of progress.
constexpr int kTokensPerProgress = 4096;
constexpr int kDefaultHalfPoints = 24;  // RTF's default size, 12 points
constexpr int kMaxHalfPoints = 3276;
constexpr int kMaxIndentTwips = 31680;  // 22 inches
constexpr int kMaxNameLength = 128;     // of a font name
constexpr int kMaxUnicodeSkip = 16;     // \ucN

enum class Destination { Text, FontTable, ColourTable, Picture, ListTable, ListOverrides, Numbering };
enum class ListKind { None, Bullet, Numbered };

struct CharState {
    int font = -1; // -1: the default font (\deff)
    int halfPoints = kDefaultHalfPoints;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int colour = 0;     // colour table index; 0 is automatic
    int background = 0; // likewise
    int vertical = 0;   // 1 superscript, -1 subscript
    bool operator==(const CharState&) const = default;
};

struct ParaState {
    Qt::Alignment alignment = Qt::AlignLeft;
    int left = 0; // twips
    int right = 0;
    int first = 0;
    int before = 0;
    int after = 0;
    ListKind list = ListKind::None;
};

struct Group {
    CharState chr;
    ParaState para;
    Destination destination = Destination::Text;
    int unicodeSkip = 1;
    ListKind numbering = ListKind::None; // what a \pn group says
};

struct Font {
    QString name;
    std::optional<int> codePage;
};

enum class Word {
    Ansi, Mac, Pc, Pca, AnsiCodePage, DefaultFont, UnicodeSkip, Unicode, Binary,
    FontTable, ColourTable, Picture, ListTable, ListOverrideTable, Numbering, Transparent, Skip,
    Font, Charset, Red, Green, Blue,
    List, ListLevel, LevelNumberFormat, ListId, ListOverride, ListOverrideNumber,
    NumberingBullet, NumberingBody,
    PngBlip, JpegBlip, OtherPicture, PictureWidth, PictureHeight, PictureGoalWidth,
    PictureGoalHeight, PictureScaleX, PictureScaleY,
    Plain, FontSize, Bold, Italic, Underline, UnderlineNone, Strike, Colour, Background,
    Highlight, Superscript, Subscript, NoSuperSub,
    ParagraphDefault, AlignLeft, AlignRight, AlignCentre, AlignJustify, LeftIndent, RightIndent,
    FirstIndent, SpaceBefore, SpaceAfter, Paragraph, Line, Tab, Cell, Character,
};

struct WordInfo {
    Word word;
    char16_t character = 0; // for Word::Character
};

const std::unordered_map<std::string_view, WordInfo>& wordTable()
{
    static const std::unordered_map<std::string_view, WordInfo> table = [] {
        std::unordered_map<std::string_view, WordInfo> t;
        auto add = [&](std::initializer_list<std::string_view> names, Word word, char16_t c = 0) {
            for (std::string_view name : names)
                t.emplace(name, WordInfo{word, c});
        };
        add({"ansi"}, Word::Ansi);
        add({"mac"}, Word::Mac);
        add({"pc"}, Word::Pc);
        add({"pca"}, Word::Pca);
        add({"ansicpg"}, Word::AnsiCodePage);
        add({"deff"}, Word::DefaultFont);
        add({"uc"}, Word::UnicodeSkip);
        add({"u"}, Word::Unicode);
        add({"bin"}, Word::Binary);
        add({"fonttbl"}, Word::FontTable);
        add({"colortbl"}, Word::ColourTable);
        add({"pict"}, Word::Picture);
        add({"listtable"}, Word::ListTable);
        add({"listoverridetable"}, Word::ListOverrideTable);
        add({"pn"}, Word::Numbering);
        // Groups whose text is the document's, also when marked ignorable.
        add({"shppict", "fldrslt", "result", "shprslt"}, Word::Transparent);
        // Destinations that hold no text of the document.
        add({"info", "stylesheet", "header", "headerl", "headerr", "headerf", "footer",
             "footerl", "footerr", "footerf", "footnote", "annotation", "atnid", "atnauthor",
             "fldinst", "xe", "tc", "txe", "rxe", "pntext", "listtext", "nonshppict", "objdata",
             "objclass", "objname", "bkmkstart", "bkmkend", "revtbl", "filetbl", "author",
             "operator", "title", "subject", "keywords", "comment", "doccomm", "template",
             "shpinst", "sp", "sn", "sv", "private", "pntxta", "pntxtb", "leveltext",
             "levelnumbers", "listname", "themedata", "colorschememapping", "datastore",
             "latentstyles", "rsidtbl", "generator", "xmlnstbl", "mmathPr", "fchars", "lchars",
             "pgdsctbl", "userprops"},
            Word::Skip);
        add({"f"}, Word::Font);
        add({"fcharset"}, Word::Charset);
        add({"red"}, Word::Red);
        add({"green"}, Word::Green);
        add({"blue"}, Word::Blue);
        add({"list"}, Word::List);
        add({"listlevel"}, Word::ListLevel);
        add({"levelnfc", "levelnfcn"}, Word::LevelNumberFormat);
        add({"listid"}, Word::ListId);
        add({"listoverride"}, Word::ListOverride);
        add({"ls"}, Word::ListOverrideNumber);
        add({"pnlvlblt"}, Word::NumberingBullet);
        add({"pnlvlbody", "pnlvlcont"}, Word::NumberingBody);
        add({"pngblip"}, Word::PngBlip);
        add({"jpegblip"}, Word::JpegBlip);
        add({"wmetafile", "emfblip", "dibitmap", "wbitmap", "macpict", "pmmetafile"},
            Word::OtherPicture);
        add({"picw"}, Word::PictureWidth);
        add({"pich"}, Word::PictureHeight);
        add({"picwgoal"}, Word::PictureGoalWidth);
        add({"pichgoal"}, Word::PictureGoalHeight);
        add({"picscalex"}, Word::PictureScaleX);
        add({"picscaley"}, Word::PictureScaleY);
        add({"plain"}, Word::Plain);
        add({"fs"}, Word::FontSize);
        add({"b"}, Word::Bold);
        add({"i"}, Word::Italic);
        add({"ul", "uld", "uldash", "uldashd", "uldashdd", "uldb", "ulhwave", "ulldash", "ulth",
             "ulthd", "ulthdash", "ulthdashd", "ulthdashdd", "ulthldash", "ululdbwave", "ulw",
             "ulwave"},
            Word::Underline);
        add({"ulnone"}, Word::UnderlineNone);
        add({"strike", "striked"}, Word::Strike);
        add({"cf"}, Word::Colour);
        add({"cb", "chcbpat"}, Word::Background);
        add({"highlight"}, Word::Highlight);
        add({"super"}, Word::Superscript);
        add({"sub"}, Word::Subscript);
        add({"nosupersub"}, Word::NoSuperSub);
        add({"pard"}, Word::ParagraphDefault);
        add({"ql"}, Word::AlignLeft);
        add({"qr"}, Word::AlignRight);
        add({"qc"}, Word::AlignCentre);
        add({"qj", "qd"}, Word::AlignJustify);
        add({"li", "lin"}, Word::LeftIndent);
        add({"ri", "rin"}, Word::RightIndent);
        add({"fi"}, Word::FirstIndent);
        add({"sb"}, Word::SpaceBefore);
        add({"sa"}, Word::SpaceAfter);
        add({"par", "sect", "page", "row", "nestrow"}, Word::Paragraph);
        add({"line"}, Word::Line);
        add({"tab", "cell", "nestcell"}, Word::Tab);
        add({"emdash"}, Word::Character, 0x2014);
        add({"endash"}, Word::Character, 0x2013);
        add({"emspace"}, Word::Character, 0x2003);
        add({"enspace"}, Word::Character, 0x2002);
        add({"qmspace"}, Word::Character, 0x2005);
        add({"bullet"}, Word::Character, 0x2022);
        add({"lquote"}, Word::Character, 0x2018);
        add({"rquote"}, Word::Character, 0x2019);
        add({"ldblquote"}, Word::Character, 0x201C);
        add({"rdblquote"}, Word::Character, 0x201D);
        add({"zwj"}, Word::Character, 0x200D);
        add({"zwnj"}, Word::Character, 0x200C);
        return t;
    }();
    return table;
}

int clampIndent(int twips, int lowest)
{
    return std::clamp(twips, lowest, kMaxIndentTwips);
}

// Builds the document paragraph by paragraph. A paragraph's block is opened
// by its first content and formatted when it ends, since RTF may set the
// paragraph's properties anywhere before its \par. Each character and
// paragraph is counted against the budget; once it is spent nothing more is
// added.
class DocumentBuilder {
public:
    DocumentBuilder(QTextDocument& document, detail::LoadBudget& budget) : m_cursor(&document), m_budget(budget)
    {
        m_cursor.beginEditBlock();
    }

    void text(QChar c, const QTextCharFormat& format, const CharState& state)
    {
        if (!m_budget.character())
            return;
        if (!m_runOpen || !(state == m_runState)) {
            flush();
            m_runState = state;
            m_runFormat = format;
            m_runOpen = true;
        }
        m_run.append(c);
    }

    bool needsFormat(const CharState& state) const { return !m_runOpen || !(state == m_runState); }

    void appendText(QChar c)
    {
        if (m_budget.character())
            m_run.append(c);
    }

    void picture(const QByteArray& bytes, QSizeF size, const QTextCharFormat& format)
    {
        if (!m_budget.character())
            return;
        flush();
        openBlock(format);
        m_cursor.setCharFormat(format);
        insertPicture(m_cursor, bytes, size);
    }

    void endParagraph(const ParaState& para, const QTextCharFormat& format)
    {
        if (m_budget.stopped())
            return;
        flush();
        m_budget.paragraphEnded();
        openBlock(format);
        formatBlock(para);
        m_blockOpen = false;
        ++m_paragraphs;
    }

    void finish(const ParaState& para)
    {
        if (m_budget.stopped()) {
            m_cursor.endEditBlock();
            return;
        }
        flush();
        if (m_blockOpen)
            formatBlock(para);
        m_cursor.endEditBlock();
    }

private:
    void flush()
    {
        if (m_run.isEmpty())
            return;
        openBlock(m_runFormat);
        m_cursor.insertText(m_run, m_runFormat);
        m_run.clear();
    }

    void openBlock(const QTextCharFormat& format)
    {
        if (m_blockOpen)
            return;
        if (m_paragraphs > 0 && m_budget.paragraphBegun())
            m_cursor.insertBlock(QTextBlockFormat(), format);
        else
            m_cursor.setBlockCharFormat(format);
        m_blockOpen = true;
    }

    void formatBlock(const ParaState& para)
    {
        QTextBlockFormat format;
        format.setAlignment(para.alignment);
        int left = para.left;
        int first = para.first;
        if (para.list != ListKind::None) {
            // The list's own indent and the bullet's hang are the document's.
            left -= detail::kListIndentTwips;
            first += detail::kListHangTwips;
        }
        left = clampIndent(left, 0);
        first = clampIndent(first, -left);
        format.setLeftMargin(left / kTwipsPerPixel);
        format.setTextIndent(first / kTwipsPerPixel);
        format.setRightMargin(clampIndent(para.right, 0) / kTwipsPerPixel);
        format.setTopMargin(clampIndent(para.before, 0) / kTwipsPerPixel);
        format.setBottomMargin(clampIndent(para.after, 0) / kTwipsPerPixel);
        m_cursor.setBlockFormat(format);
        if (para.list == ListKind::None) {
            m_list = nullptr;
            return;
        }
        if (m_list && m_listKind == para.list) {
            m_list->add(m_cursor.block());
            return;
        }
        QTextListFormat listFormat;
        listFormat.setStyle(para.list == ListKind::Bullet ? QTextListFormat::ListDisc
                                                          : QTextListFormat::ListDecimal);
        listFormat.setIndent(1);
        m_list = m_cursor.createList(listFormat);
        m_listKind = para.list;
    }

    QTextCursor m_cursor;
    detail::LoadBudget& m_budget;
    bool m_blockOpen = false;
    int m_paragraphs = 0;
    QString m_run;
    bool m_runOpen = false;
    CharState m_runState;
    QTextCharFormat m_runFormat;
    QTextList* m_list = nullptr;
    ListKind m_listKind = ListKind::None;
};

class RtfReader {
public:
    RtfReader(QByteArrayView data, QTextDocument& document, detail::LoadBudget& budget)
        : m_lexer(data), m_builder(document, budget), m_budget(budget)
    {
    }

    void run()
    {
        for (int tokens = 1;; ++tokens) {
            if (m_budget.stopped() ||
                (tokens % kTokensPerProgress == 0 && !m_budget.progress(m_lexer.position())))
                return finish();
            Token token = m_lexer.next();
            if (token.kind == Token::Kind::End)
                break;
            if (m_skipDepth > 0) {
                skipToken(token);
                if (m_skipDepth == 0 && m_stack.empty())
                    return finish(); // the document's own group was skipped
                continue;
            }
            if (m_unicodeFallback > 0 && !consumeFallback(token))
                continue;
            const bool atGroupStart = m_groupJustOpened;
            m_groupJustOpened = false;
            switch (token.kind) {
            case Token::Kind::GroupStart:
                openGroup();
                break;
            case Token::Kind::GroupEnd:
                closeGroup();
                if (m_stack.empty() && m_skipDepth == 0)
                    return finish(); // the document's group has ended
                break;
            case Token::Kind::Word:
                if (!m_stack.empty())
                    word(token, atGroupStart || m_ignorableNext);
                break;
            case Token::Kind::Symbol:
                if (!m_stack.empty())
                    symbol(token.symbol, atGroupStart);
                break;
            case Token::Kind::Hex:
                if (!m_stack.empty())
                    byte(token.byte);
                break;
            case Token::Kind::Text:
                if (!m_stack.empty())
                    text(token.text);
                break;
            case Token::Kind::End:
                break;
            }
            if (token.kind != Token::Kind::Symbol || token.symbol != '*')
                m_ignorableNext = false;
        }
        finish(); // a truncated file: what was read stays
    }

private:
    Group& top() { return m_stack.back(); }

    void finish()
    {
        flushUnicode();
        m_builder.finish(m_stack.empty() ? m_lastPara : top().para);
    }

    void skipToken(const Token& token)
    {
        if (token.kind == Token::Kind::GroupStart)
            ++m_skipDepth;
        else if (token.kind == Token::Kind::GroupEnd)
            --m_skipDepth;
        else if (token.kind == Token::Kind::Word && token.word == "bin")
            m_lexer.takeBinary(token.parameter); // binary data may hold braces
    }

    // The characters after \uN that stand in for it in older readers. False
    // when the token was used up by the fallback.
    bool consumeFallback(Token& token)
    {
        switch (token.kind) {
        case Token::Kind::Text: {
            const qsizetype n = std::min<qsizetype>(m_unicodeFallback, token.text.size());
            m_unicodeFallback -= static_cast<int>(n);
            token.text = token.text.sliced(n);
            return !token.text.isEmpty();
        }
        case Token::Kind::Word:
            if (token.word == "bin")
                m_lexer.takeBinary(token.parameter);
            --m_unicodeFallback;
            return false;
        case Token::Kind::Hex:
        case Token::Kind::Symbol:
            --m_unicodeFallback;
            return false;
        default:
            m_unicodeFallback = 0; // a group boundary ends the fallback
            return true;
        }
    }

    void openGroup()
    {
        flushUnicode();
        if (static_cast<int>(m_stack.size()) >= kMaxDepth) {
            ++m_flatDepth; // its text goes on in the formatting of the deepest kept group
            m_groupJustOpened = true;
            return;
        }
        Group group = m_stack.empty() ? Group{} : top();
        group.numbering = ListKind::None;
        m_stack.push_back(group);
        m_groupJustOpened = true;
    }

    void closeGroup()
    {
        flushUnicode();
        if (m_flatDepth > 0) {
            --m_flatDepth;
            return;
        }
        if (m_stack.empty())
            return;
        const Group closed = top();
        switch (closed.destination) {
        case Destination::FontTable:
            storeFont();
            break;
        case Destination::Picture:
            if (m_stack.size() < 2 || m_stack[m_stack.size() - 2].destination != Destination::Picture)
                pictureEnded();
            break;
        default:
            break;
        }
        m_lastPara = closed.para;
        m_stack.pop_back();
        if (closed.destination == Destination::Numbering && closed.numbering != ListKind::None &&
            !m_stack.empty())
            top().para.list = closed.numbering;
    }

    // Turns the group just opened into one whose contents are skipped.
    void skipGroup()
    {
        if (m_flatDepth > 0)
            --m_flatDepth;
        else
            m_stack.pop_back();
        m_skipDepth = 1;
    }

    // In a group past the depth limit only what adds text counts; a
    // destination there is skipped whole, since it would change the state
    // of the kept group around it.
    void flatWord(const WordInfo& info, const Token& token, bool destinationPlace)
    {
        switch (info.word) {
        case Word::Transparent:
            return;
        case Word::Unicode:
            if (token.hasParameter)
                unicode(token.parameter);
            return;
        case Word::Binary:
            binary(m_lexer.takeBinary(token.hasParameter ? token.parameter : 0));
            return;
        case Word::Paragraph:
            if (top().destination == Destination::Text)
                paragraph();
            return;
        case Word::Line:
            character(QChar::LineSeparator);
            return;
        case Word::Tab:
            character(u'\t');
            return;
        case Word::Character:
            character(QChar(info.character));
            return;
        default:
            if (destinationPlace && (m_ignorableNext || isDestination(info.word)))
                skipGroup();
            return;
        }
    }

    static bool isDestination(Word word)
    {
        switch (word) {
        case Word::FontTable:
        case Word::ColourTable:
        case Word::Picture:
        case Word::ListTable:
        case Word::ListOverrideTable:
        case Word::Numbering:
        case Word::Skip:
            return true;
        default:
            return false;
        }
    }

    void word(const Token& token, bool destinationPlace)
    {
        const auto& table = wordTable();
        const auto found = table.find(token.word);
        const bool ignorable = m_ignorableNext;
        if (found == table.end()) {
            // An unknown destination marked \* is skipped with its group;
            // an unknown word elsewhere means nothing to this reader.
            if (ignorable && destinationPlace)
                skipGroup();
            return;
        }
        const WordInfo info = found->second;
        if (m_flatDepth > 0)
            return flatWord(info, token, destinationPlace);
        const int p = token.parameter;
        const bool has = token.hasParameter;
        Group& g = top();
        CharState& c = g.chr;
        ParaState& para = g.para;

        if (destinationPlace) {
            switch (info.word) {
            case Word::FontTable:
                g.destination = Destination::FontTable;
                return;
            case Word::ColourTable:
                g.destination = Destination::ColourTable;
                m_colourSet = false;
                return;
            case Word::Picture:
                g.destination = Destination::Picture;
                m_picture = PictureState{};
                return;
            case Word::ListTable:
                g.destination = Destination::ListTable;
                return;
            case Word::ListOverrideTable:
                g.destination = Destination::ListOverrides;
                return;
            case Word::Numbering:
                g.destination = Destination::Numbering;
                return;
            case Word::Transparent:
                return;
            case Word::Skip:
                skipGroup();
                return;
            default:
                if (ignorable) {
                    skipGroup(); // a known word used as an ignorable destination
                    return;
                }
                break;
            }
        }

        switch (info.word) {
        case Word::Ansi:
            m_codePage = kWesternCodePage;
            break;
        case Word::Mac:
            m_codePage = 10000;
            break;
        case Word::Pc:
            m_codePage = 437;
            break;
        case Word::Pca:
            m_codePage = 850;
            break;
        case Word::AnsiCodePage:
            if (has)
                m_codePage = p;
            break;
        case Word::DefaultFont:
            if (has)
                m_defaultFont = p;
            break;
        case Word::UnicodeSkip:
            if (has)
                g.unicodeSkip = std::clamp(p, 0, kMaxUnicodeSkip);
            break;
        case Word::Unicode:
            if (has)
                unicode(p);
            break;
        case Word::Binary:
            binary(m_lexer.takeBinary(has ? p : 0));
            break;
        case Word::Font:
            if (g.destination == Destination::FontTable) {
                storeFont();
                m_fontNumber = has ? p : 0;
                m_fontCodePage.reset();
                m_fontOpen = true;
            } else if (has) {
                c.font = p;
            }
            break;
        case Word::Charset:
            if (g.destination == Destination::FontTable && has)
                m_fontCodePage = codePageOfCharset(p);
            break;
        case Word::Red:
        case Word::Green:
        case Word::Blue:
            if (g.destination == Destination::ColourTable) {
                const int v = std::clamp(has ? p : 0, 0, 255);
                if (info.word == Word::Red)
                    m_colour.setRed(v);
                else if (info.word == Word::Green)
                    m_colour.setGreen(v);
                else
                    m_colour.setBlue(v);
                m_colourSet = true;
            }
            break;
        case Word::List:
            if (g.destination == Destination::ListTable) {
                m_listLevels = 0;
                m_listFormat.reset();
                m_listId.reset();
            }
            break;
        case Word::ListLevel:
            ++m_listLevels;
            break;
        case Word::LevelNumberFormat:
            if (g.destination == Destination::ListTable && m_listLevels == 1 && !m_listFormat) {
                m_listFormat = has ? p : 0;
                noteList();
            }
            break;
        case Word::ListId:
            if (g.destination == Destination::ListTable) {
                m_listId = has ? p : 0;
                noteList();
            } else if (g.destination == Destination::ListOverrides) {
                m_overrideListId = has ? p : 0;
                noteOverride();
            }
            break;
        case Word::ListOverride:
            m_overrideListId.reset();
            m_overrideNumber.reset();
            break;
        case Word::ListOverrideNumber:
            if (g.destination == Destination::ListOverrides) {
                m_overrideNumber = has ? p : 0;
                noteOverride();
            } else if (g.destination == Destination::Text) {
                para.list = listOfOverride(has ? p : 0);
            }
            break;
        case Word::NumberingBullet:
            g.numbering = ListKind::Bullet;
            break;
        case Word::NumberingBody:
            if (g.numbering == ListKind::None)
                g.numbering = ListKind::Numbered;
            break;
        case Word::PngBlip:
            m_picture.kind = PictureKind::Png;
            break;
        case Word::JpegBlip:
            m_picture.kind = PictureKind::Jpeg;
            break;
        case Word::OtherPicture:
            m_picture.kind = PictureKind::None;
            m_picture.unsupported = true;
            break;
        case Word::PictureWidth:
        case Word::PictureHeight:
            break; // the decoded picture knows its own size
        case Word::PictureGoalWidth:
            m_picture.goalWidth = std::clamp(p, 0, kMaxIndentTwips * 10);
            break;
        case Word::PictureGoalHeight:
            m_picture.goalHeight = std::clamp(p, 0, kMaxIndentTwips * 10);
            break;
        case Word::PictureScaleX:
            m_picture.scaleX = std::clamp(has ? p : 100, 1, 1000);
            break;
        case Word::PictureScaleY:
            m_picture.scaleY = std::clamp(has ? p : 100, 1, 1000);
            break;
        case Word::Plain:
            c = CharState{};
            break;
        case Word::FontSize:
            c.halfPoints = (has && p > 0 && p <= kMaxHalfPoints) ? p : kDefaultHalfPoints;
            break;
        case Word::Bold:
            c.bold = !has || p != 0;
            break;
        case Word::Italic:
            c.italic = !has || p != 0;
            break;
        case Word::Underline:
            c.underline = !has || p != 0;
            break;
        case Word::UnderlineNone:
            c.underline = false;
            break;
        case Word::Strike:
            c.strike = !has || p != 0;
            break;
        case Word::Colour:
            c.colour = has ? p : 0;
            break;
        case Word::Background:
        case Word::Highlight:
            c.background = has ? p : 0;
            break;
        case Word::Superscript:
            c.vertical = 1;
            break;
        case Word::Subscript:
            c.vertical = -1;
            break;
        case Word::NoSuperSub:
            c.vertical = 0;
            break;
        case Word::ParagraphDefault:
            para = ParaState{};
            break;
        case Word::AlignLeft:
            para.alignment = Qt::AlignLeft;
            break;
        case Word::AlignRight:
            para.alignment = Qt::AlignRight;
            break;
        case Word::AlignCentre:
            para.alignment = Qt::AlignHCenter;
            break;
        case Word::AlignJustify:
            para.alignment = Qt::AlignJustify;
            break;
        case Word::LeftIndent:
            para.left = has ? p : 0;
            break;
        case Word::RightIndent:
            para.right = has ? p : 0;
            break;
        case Word::FirstIndent:
            para.first = has ? p : 0;
            break;
        case Word::SpaceBefore:
            para.before = has ? p : 0;
            break;
        case Word::SpaceAfter:
            para.after = has ? p : 0;
            break;
        case Word::Paragraph:
            if (g.destination == Destination::Text)
                paragraph();
            break;
        case Word::Line:
            character(QChar::LineSeparator);
            break;
        case Word::Tab:
            character(u'\t');
            break;
        case Word::Character:
            character(QChar(info.character));
            break;
        default:
            break; // destinations out of place mean nothing
        }
    }

    void symbol(char s, bool atGroupStart)
    {
        switch (s) {
        case '*':
            m_ignorableNext = atGroupStart;
            m_groupJustOpened = atGroupStart; // the destination word follows
            break;
        case '~':
            character(QChar::Nbsp);
            break;
        case '-':
            character(QChar::SoftHyphen);
            break;
        case '_':
            character(u'\u2011');
            break;
        case '\n':
            if (top().destination == Destination::Text)
                paragraph();
            break;
        default:
            break;
        }
    }

    void byte(unsigned char b)
    {
        switch (top().destination) {
        case Destination::Text:
            flushUnicode();
            character(decodeByte(currentCodePage(), b));
            break;
        case Destination::FontTable:
            appendFontName(decodeByte(m_fontCodePage.value_or(m_codePage), b));
            break;
        default:
            break;
        }
    }

    void text(QByteArrayView bytes)
    {
        Group& g = top();
        switch (g.destination) {
        case Destination::Text: {
            flushUnicode();
            const int codePage = currentCodePage();
            for (const char raw : bytes)
                character(decodeByte(codePage, static_cast<unsigned char>(raw)));
            break;
        }
        case Destination::FontTable:
            for (const char raw : bytes) {
                if (raw == ';') {
                    storeFont();
                    m_fontOpen = false;
                } else {
                    appendFontName(decodeByte(m_fontCodePage.value_or(m_codePage),
                                              static_cast<unsigned char>(raw)));
                }
            }
            break;
        case Destination::ColourTable:
            for (const char raw : bytes) {
                if (raw == ';') {
                    m_colours.push_back(m_colourSet ? std::optional<QColor>(m_colour) : std::nullopt);
                    m_colour = QColor(0, 0, 0);
                    m_colourSet = false;
                }
            }
            break;
        case Destination::Picture:
            hexPicture(bytes);
            break;
        default:
            break;
        }
    }

    void binary(QByteArrayView bytes)
    {
        if (!m_stack.empty() && top().destination == Destination::Picture && !m_picture.unsupported)
            m_picture.data.append(bytes);
    }

    void hexPicture(QByteArrayView bytes)
    {
        if (m_picture.unsupported)
            return;
        for (const char raw : bytes) {
            int v = -1;
            if (raw >= '0' && raw <= '9')
                v = raw - '0';
            else if (raw >= 'a' && raw <= 'f')
                v = raw - 'a' + 10;
            else if (raw >= 'A' && raw <= 'F')
                v = raw - 'A' + 10;
            if (v < 0)
                continue;
            if (m_picture.nibble < 0) {
                m_picture.nibble = v;
            } else {
                m_picture.data.append(static_cast<char>(m_picture.nibble * 16 + v));
                m_picture.nibble = -1;
            }
        }
    }

    void pictureEnded()
    {
        if (m_picture.unsupported || m_picture.data.isEmpty())
            return;
        flushUnicode();
        QSizeF size(m_picture.goalWidth / kTwipsPerPixel, m_picture.goalHeight / kTwipsPerPixel);
        if (size.isEmpty())
            size = pictureSize(m_picture.data);
        size = QSizeF(size.width() * m_picture.scaleX / 100.0, size.height() * m_picture.scaleY / 100.0);
        const CharState state = m_stack.size() >= 2 ? m_stack[m_stack.size() - 2].chr : top().chr;
        m_builder.picture(m_picture.data, size, charFormat(state));
        m_picture = PictureState{};
    }

    void unicode(int value)
    {
        if (value < -32768 || value > 65535)
            value = QChar::ReplacementCharacter; // not a UTF-16 unit at all
        const auto unit = static_cast<char16_t>(value < 0 ? value + 65536 : value);
        if (QChar::isLowSurrogate(unit) && m_highSurrogate) {
            const char16_t high = *m_highSurrogate;
            m_highSurrogate.reset();
            character(QChar(high), false);
            character(QChar(unit), false);
        } else {
            flushUnicode();
            if (QChar::isHighSurrogate(unit))
                m_highSurrogate = unit;
            else if (QChar::isLowSurrogate(unit))
                character(QChar::ReplacementCharacter);
            else
                character(QChar(unit));
        }
        m_unicodeFallback = top().unicodeSkip;
    }

    // A high surrogate without its low half stands for a character that is lost.
    void flushUnicode()
    {
        if (m_highSurrogate) {
            m_highSurrogate.reset();
            character(QChar::ReplacementCharacter, false);
        }
    }

    void character(QChar ch, bool checkSurrogate = true)
    {
        if (m_stack.empty() || top().destination != Destination::Text)
            return;
        if (ch.unicode() < 0x20 && ch != u'\t')
            return; // control characters carry nothing, however they are written
        if (checkSurrogate && m_highSurrogate)
            flushUnicode();
        const CharState& state = top().chr;
        if (m_builder.needsFormat(state))
            m_builder.text(ch, charFormat(state), state);
        else
            m_builder.appendText(ch);
    }

    void paragraph()
    {
        flushUnicode();
        m_builder.endParagraph(top().para, charFormat(top().chr));
    }

    void appendFontName(QChar ch)
    {
        if (m_fontOpen && m_fontName.size() < kMaxNameLength)
            m_fontName.append(ch);
    }

    void storeFont()
    {
        if (!m_fontOpen)
            return;
        const QString name = m_fontName.trimmed();
        m_fonts[m_fontNumber] = Font{name, m_fontCodePage};
        m_fontName.clear();
        m_fontOpen = false;
    }

    void noteList()
    {
        if (m_listId && m_listFormat)
            m_listKinds[*m_listId] =
                (*m_listFormat == 23 || *m_listFormat == 255) ? ListKind::Bullet : ListKind::Numbered;
    }

    void noteOverride()
    {
        if (!m_overrideListId || !m_overrideNumber)
            return;
        const auto found = m_listKinds.find(*m_overrideListId);
        m_overrideKinds[*m_overrideNumber] =
            found != m_listKinds.end() ? found->second : ListKind::Bullet;
    }

    ListKind listOfOverride(int number) const
    {
        if (number <= 0)
            return ListKind::None;
        const auto found = m_overrideKinds.find(number);
        return found != m_overrideKinds.end() ? found->second : ListKind::Bullet;
    }

    const Font* font(int number) const
    {
        const auto found = m_fonts.find(number < 0 ? m_defaultFont : number);
        return found != m_fonts.end() ? &found->second : nullptr;
    }

    int currentCodePage() const
    {
        const Font* f = font(m_stack.back().chr.font);
        return f && f->codePage ? *f->codePage : m_codePage;
    }

    std::optional<QColor> colour(int index) const
    {
        if (index <= 0 || index >= static_cast<int>(m_colours.size()))
            return std::nullopt;
        return m_colours[static_cast<size_t>(index)];
    }

    QTextCharFormat charFormat(const CharState& state) const
    {
        QTextCharFormat format;
        if (const Font* f = font(state.font); f && !f->name.isEmpty())
            format.setFontFamilies({f->name});
        format.setFontPointSize(state.halfPoints / 2.0);
        format.setFontWeight(state.bold ? QFont::Bold : QFont::Normal);
        format.setFontItalic(state.italic);
        format.setFontUnderline(state.underline);
        format.setFontStrikeOut(state.strike);
        if (const auto fg = colour(state.colour))
            format.setForeground(*fg);
        if (const auto bg = colour(state.background))
            format.setBackground(*bg);
        if (state.vertical != 0)
            format.setVerticalAlignment(state.vertical > 0 ? QTextCharFormat::AlignSuperScript
                                                           : QTextCharFormat::AlignSubScript);
        return format;
    }

    struct PictureState {
        PictureKind kind = PictureKind::None;
        bool unsupported = false;
        QByteArray data;
        int nibble = -1;
        int goalWidth = 0;
        int goalHeight = 0;
        int scaleX = 100;
        int scaleY = 100;
    };

    RtfLexer m_lexer;
    DocumentBuilder m_builder;
    detail::LoadBudget& m_budget;
    std::vector<Group> m_stack;
    ParaState m_lastPara;
    int m_skipDepth = 0;
    int m_flatDepth = 0; // groups open past kMaxDepth
    bool m_groupJustOpened = false;
    bool m_ignorableNext = false;
    int m_unicodeFallback = 0;
    std::optional<char16_t> m_highSurrogate;

    int m_codePage = kWesternCodePage;
    int m_defaultFont = 0;
    std::unordered_map<int, Font> m_fonts;
    int m_fontNumber = 0;
    bool m_fontOpen = false;
    QString m_fontName;
    std::optional<int> m_fontCodePage;

    std::vector<std::optional<QColor>> m_colours;
    QColor m_colour{0, 0, 0};
    bool m_colourSet = false;

    int m_listLevels = 0;
    std::optional<int> m_listFormat;
    std::optional<int> m_listId;
    std::unordered_map<int, ListKind> m_listKinds;
    std::optional<int> m_overrideListId;
    std::optional<int> m_overrideNumber;
    std::unordered_map<int, ListKind> m_overrideKinds;

    PictureState m_picture;
};

} // namespace

bool isRtf(QByteArrayView data)
{
    qsizetype i = 0;
    if (data.startsWith("\xEF\xBB\xBF"))
        i = 3;
    while (i < data.size() && (data[i] == ' ' || data[i] == '\t' || data[i] == '\r' || data[i] == '\n'))
        ++i;
    return data.sliced(i).startsWith("{\\rtf");
}

void readRtf(QByteArrayView data, QTextDocument& document)
{
    detail::LoadBudget unlimited(nullptr, nullptr, data.size());
    detail::readRtf(data, document, unlimited);
}

void detail::readRtf(QByteArrayView data, QTextDocument& document, LoadBudget& budget)
{
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    document.clear();
    RtfReader(data, document, budget).run();
    if (budget.stopped())
        document.clear(); // a document cut short is no document
    document.setUndoRedoEnabled(undo);
}

} // namespace richtext
