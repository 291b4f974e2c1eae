#include "reports/AddressReports.h"

#include "reports/PrintPreview.h"

#include "widgets/ErrorReport.h"

#include <QApplication>

namespace reports {

namespace {

const QString kFullCaption = QStringLiteral("Adresář - celá sestava");
const QString kShortCaption = QStringLiteral("Adresář - zkrácená sestava");
const QString kFullTitle = QStringLiteral("PROGRAM PELMIR S TELEFONNÍMI ČÍSLY");
const QString kShortTitle = QStringLiteral("JMÉNA A TELEFONY");
const QString kSurname = QStringLiteral("Příjmení");
const QString kName = QStringLiteral("Jméno");
const QString kAddress = QStringLiteral("Adresa");
const QString kPhone = QStringLiteral("Telefon");
const QString kNote = QStringLiteral("Poznámka");

// The system colours of the original desktop: tooltip background and 3D light.
const QColor kLightYellow(0xFF, 0xFF, 0xE1);
const QColor kLightGrey(0xE3, 0xE3, 0xE3);
const QColor kSilver(0xC0, 0xC0, 0xC0);
const QColor kPurple(0x80, 0x00, 0x80);
const QColor kMaroon(0x80, 0x00, 0x00);
const QColor kBlue(0x00, 0x00, 0xFF);
const QColor kGreen(0x00, 0x80, 0x00);
const QColor kRed(0xFF, 0x00, 0x00);
const QColor kWhite(0xFF, 0xFF, 0xFF);
const QColor kBlack(0x00, 0x00, 0x00);

ReportItem item(ItemContent content, const QString& text, double x, double y, double size,
                bool bold, const QColor& colour)
{
    ReportItem result;
    result.content = content;
    result.text = text;
    result.xMm = x;
    result.yMm = y;
    result.font.pointSize = size;
    result.font.bold = bold;
    result.colour = colour;
    return result;
}

ReportItem label(const QString& text, double x, double y, double size, bool bold,
                 const QColor& colour)
{
    return item(ItemContent::Label, text, x, y, size, bold, colour);
}

ReportItem field(const QString& name, double x, double y, double size, bool bold,
                 const QColor& colour)
{
    return item(ItemContent::Field, name, x, y, size, bold, colour);
}

ReportBand band(BandKind kind, double height, const QColor& background,
                std::vector<ReportItem> items)
{
    ReportBand result;
    result.kind = kind;
    result.heightMm = height;
    result.background = background;
    result.items = std::move(items);
    return result;
}

ReportBand groupBySurname(double height, const QColor& background, ReportItem initial)
{
    ReportBand result = band(BandKind::GroupHeader, height, background, {std::move(initial)});
    result.groupField = kSurname;
    return result;
}

ReportBand footer(const QColor& background, double dateX)
{
    constexpr bool kPlain = false;
    return band(BandKind::PageFooter, 6.3, background,
                {item(ItemContent::PrintDate, {}, dateX, 0.5, 10, kPlain, kGreen),
                 item(ItemContent::PageNumber, {}, 88.9, 0.5, 10, kPlain, kGreen)});
}

// The parent for the preview: the main window when the report hangs below it.
QWidget* dialogParent(QWidget* form)
{
    if (QWidget* parent = form->parentWidget())
        return parent->window();
    return QApplication::activeWindow();
}

} // namespace

ReportLayout fullAddressLayout()
{
    constexpr bool kBold = true;
    constexpr bool kPlain = false;
    ReportLayout layout;
    layout.name = kFullCaption;
    layout.bands = {
        band(BandKind::Title, 13.5, kWhite, {label(kFullTitle, 16.9, 2.1, 20, kBold, kRed)}),
        band(BandKind::ColumnHeader, 12.7, kBlue,
             {label(kSurname, 2.1, 0.3, 11, kBold, kWhite),
              label(kNote, 52.9, 0.3, 11, kBold, kWhite), label(kName, 2.1, 6.3, 11, kBold, kWhite),
              label(kAddress, 52.9, 6.3, 11, kBold, kWhite),
              label(kPhone, 146.1, 5.3, 11, kBold, kWhite)}),
        groupBySurname(5.3, kLightGrey,
                       item(ItemContent::FirstCharacter, kSurname, 2.1, 0, 11, kBold, kPurple)),
        band(BandKind::Detail, 18.0, kLightYellow,
             {field(kSurname, 2.1, 0, 10, kBold, kRed), field(kNote, 52.9, 0, 10, kPlain, kRed),
              field(kName, 2.1, 5.8, 10, kPlain, kMaroon),
              field(kAddress, 52.9, 5.8, 10, kPlain, kBlue),
              field(kPhone, 146.1, 5.3, 12, kPlain, kBlack)}),
        footer(kLightYellow, 2.1),
    };
    return layout;
}

ReportLayout shortAddressLayout()
{
    constexpr bool kBold = true;
    constexpr bool kPlain = false;
    ReportLayout layout;
    layout.name = kShortCaption;
    layout.bands = {
        band(BandKind::Title, 13.5, kLightGrey, {label(kShortTitle, 58.7, 2.1, 20, kBold, kRed)}),
        band(BandKind::ColumnHeader, 9.5, kGreen,
             {label(kSurname, 4.2, 2.1, 14, kBold, kWhite),
              label(kName, 65.6, 2.1, 14, kBold, kWhite),
              label(kPhone, 129.1, 2.1, 14, kBold, kWhite)}),
        groupBySurname(5.3, kSilver,
                       item(ItemContent::FirstCharacter, kSurname, 2.1, 0, 12, kBold, kRed)),
        band(BandKind::Detail, 10.6, kLightGrey,
             {field(kSurname, 4.2, 1.6, 11, kBold, kBlue),
              field(kName, 65.6, 1.6, 11, kPlain, kBlue),
              field(kPhone, 129.1, 1.6, 14, kBold, kRed)}),
        footer(kLightGrey, 4.2),
    };
    return layout;
}

AddressReportForm::AddressReportForm(store::DataSet& table, ReportLayout layout,
                                     const QString& caption, const QString& name, QWidget* parent)
    : QWidget(parent, Qt::Window), m_table(table), m_layout(std::move(layout))
{
    setObjectName(name);
    setWindowTitle(caption);
}

void AddressReportForm::Preview()
{
    widgets::guarded([this] { previewReport(m_layout, m_table, dialogParent(this)); });
}

TReportForm::TReportForm(store::DataSet& table, QWidget* parent)
    : AddressReportForm(table, fullAddressLayout(), kFullCaption, QStringLiteral("ReportForm"),
                        parent)
{
}

TReport1Form::TReport1Form(store::DataSet& table, QWidget* parent)
    : AddressReportForm(table, shortAddressLayout(), kShortCaption, QStringLiteral("Report1Form"),
                        parent)
{
}

} // namespace reports
