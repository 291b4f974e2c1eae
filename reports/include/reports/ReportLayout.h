#pragma once

// A banded report described as data: the page, its bands and the items on
// them. The engine (ReportEngine.h) prepares pages from a layout and a data
// set and paints them; no report paints anything of its own.

#include <QColor>
#include <QString>

#include <vector>

namespace reports {

// Sizes are millimetres throughout; fonts are points.
struct PageSetup {
    double widthMm = 210.0; // A4 portrait
    double heightMm = 297.0;
    double leftMm = 10.0;
    double topMm = 10.0;
    double rightMm = 10.0;
    double bottomMm = 10.0;

    double contentWidthMm() const { return widthMm - leftMm - rightMm; }
    double contentHeightMm() const { return heightMm - topMm - bottomMm; }
};

enum class BandKind {
    Title,        // top of the first page only
    ColumnHeader, // top of every page, below the title on the first
    GroupHeader,  // before the first record of each group
    Detail,       // once per record
    PageFooter,   // bottom of every page, the last one included
};

enum class ItemContent {
    Label,          // the item's fixed text
    Field,          // the text of the field named by `text`
    FirstCharacter, // the first character of the field named by `text`
    PrintDate,      // the date of printing
    PageNumber,     // the page number alone
};

struct ReportFont {
    QString family = QStringLiteral("Arial");
    double pointSize = 10.0;
    bool bold = false;
};

// Left-aligned text at (x, y) from the band's top-left corner, as wide as its
// text up to the room the band and the items to its right leave it.
struct ReportItem {
    ItemContent content = ItemContent::Label;
    QString text; // the label, or the field's name
    double xMm = 0.0;
    double yMm = 0.0;
    ReportFont font;
    QColor colour = Qt::black;

    bool readsRecord() const
    {
        return content == ItemContent::Field || content == ItemContent::FirstCharacter;
    }
};

struct ReportBand {
    BandKind kind = BandKind::Detail;
    double heightMm = 0.0;
    QColor background = Qt::white;
    std::vector<ReportItem> items;
    // Group headers: a new group starts where the first character of this field changes.
    QString groupField;
};

struct ReportLayout {
    QString name; // the print job's title
    PageSetup page;
    std::vector<ReportBand> bands; // at most one band of each kind

    // Index into `bands`, -1 when the layout has no band of that kind.
    int bandIndex(BandKind kind) const;
};

// How much room an item has to the right before it would run past the band's
// edge or into an item to its right whose line it shares; its text is elided
// to this width. Lines are compared by an estimate of their height from the
// font size, so the limit does not depend on the device.
double itemWidthLimitMm(const ReportBand& band, std::size_t item, double bandWidthMm);

} // namespace reports
