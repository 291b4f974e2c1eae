#include "reports/PrintPreview.h"

#include "platform/Platform.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QPixmap>
#include <QPrinter>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

namespace reports {

namespace {

// The engine's own caption, kept in English like the toolkit's dialogs.
const QString kCaption = QStringLiteral("Print Preview");
const QString kPageOf = QStringLiteral("Strana %1 z %2");
const QString kZoomPercent = QStringLiteral("%1 %");
const QString kFitPage = QStringLiteral("&Celá stránka");
const QString kFitPageTip = QStringLiteral("Zobrazit celou stránku");
const QString kFitWidth = QStringLiteral("Šíř&ka stránky");
const QString kFitWidthTip = QStringLiteral("Zobrazit stránku na šířku okna");
const QString kActualSize = QStringLiteral("100 %");
const QString kActualSizeTip = QStringLiteral("Zobrazit stránku ve skutečné velikosti");
const QString kZoomIn = QStringLiteral("+");
const QString kZoomInTip = QStringLiteral("Zvětšit (+)");
const QString kZoomOut = QStringLiteral("−");
const QString kZoomOutTip = QStringLiteral("Zmenšit (-)");
const QString kFirstTip = QStringLiteral("První strana (Home)");
const QString kPriorTip = QStringLiteral("Předchozí strana (Page Up)");
const QString kNextTip = QStringLiteral("Další strana (Page Down)");
const QString kLastTip = QStringLiteral("Poslední strana (End)");
const QString kPrinterSetup = QStringLiteral("&Nastavení tiskárny");
const QString kPrinterSetupTip = QStringLiteral("Zvolit tiskárnu a její vlastnosti");
const QString kPrint = QStringLiteral("&Tisk");
const QString kPrintTip = QStringLiteral("Vytisknout sestavu (Ctrl+P)");
const QString kSavePdf = QStringLiteral("Uložit do &PDF");
const QString kSavePdfTip = QStringLiteral("Uložit sestavu jako soubor PDF");
const QString kSavePdfCaption = QStringLiteral("Uložit sestavu do PDF");
const QString kPdfFilter = QStringLiteral("Dokumenty PDF (*.pdf)");
const QString kDefaultPdfName = QStringLiteral("Sestava");
const QString kPdfFailed = QStringLiteral("Soubor \"%1\" nelze zapsat.");
const QString kClose = QStringLiteral("&Zavřít");
const QString kCloseTip = QStringLiteral("Zavřít náhled (Esc)");
const QString kPrintFailed = QStringLiteral("Sestavu se nepodařilo vytisknout na tiskárně \"%1\".");

constexpr double kMmPerInch = 25.4;
constexpr std::array kZoomSteps = {0.25, 0.5, 0.75, 1.0, 1.25, 1.5, 2.0, 3.0};
constexpr double kMinZoom = 0.1;
constexpr double kMaxZoom = 3.0;
constexpr int kPageMarginPx = 12; // grey around the sheet

} // namespace

PrintPreview::PrintPreview(const PreparedReport& report, QWidget* parent)
    : QDialog(parent), m_report(report)
{
    setObjectName(QStringLiteral("PrintPreview"));
    setWindowTitle(kCaption);
    setModal(true);

    auto* tools = new QHBoxLayout;
    tools->setSpacing(2);
    auto* fitPage = addButton("ButtonFitPage", kFitPage, kFitPageTip);
    auto* fitWidth = addButton("ButtonFitWidth", kFitWidth, kFitWidthTip);
    auto* actualSize = addButton("ButtonActualSize", kActualSize, kActualSizeTip);
    auto* zoomInButton = addButton("ButtonZoomIn", kZoomIn, kZoomInTip);
    auto* zoomOutButton = addButton("ButtonZoomOut", kZoomOut, kZoomOutTip);
    m_zoomLabel = new QLabel(this);
    m_zoomLabel->setObjectName(QStringLiteral("LabelZoom"));
    m_zoomLabel->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("000 %")) + 8);
    m_zoomLabel->setAlignment(Qt::AlignCenter);
    m_first = addButton("ButtonFirst", QString(), kFirstTip);
    m_prior = addButton("ButtonPrior", QString(), kPriorTip);
    m_next = addButton("ButtonNext", QString(), kNextTip);
    m_last = addButton("ButtonLast", QString(), kLastTip);
    m_first->setIcon(style()->standardIcon(QStyle::SP_MediaSkipBackward));
    m_prior->setIcon(style()->standardIcon(QStyle::SP_MediaSeekBackward));
    m_next->setIcon(style()->standardIcon(QStyle::SP_MediaSeekForward));
    m_last->setIcon(style()->standardIcon(QStyle::SP_MediaSkipForward));
    m_pageLabel = new QLabel(this);
    m_pageLabel->setObjectName(QStringLiteral("LabelPage"));
    auto* setup = addButton("ButtonPrinterSetup", kPrinterSetup, kPrinterSetupTip);
    auto* printButton = addButton("ButtonPrint", kPrint, kPrintTip);
    auto* pdf = addButton("ButtonSavePdf", kSavePdf, kSavePdfTip);
    auto* close = addButton("ButtonClose", kClose, kCloseTip);

    tools->addWidget(fitPage);
    tools->addWidget(fitWidth);
    tools->addWidget(actualSize);
    tools->addWidget(zoomOutButton);
    tools->addWidget(m_zoomLabel);
    tools->addWidget(zoomInButton);
    tools->addSpacing(12);
    tools->addWidget(m_first);
    tools->addWidget(m_prior);
    tools->addWidget(m_pageLabel);
    tools->addWidget(m_next);
    tools->addWidget(m_last);
    tools->addSpacing(12);
    tools->addWidget(setup);
    tools->addWidget(printButton);
    tools->addWidget(pdf);
    tools->addStretch(1);
    tools->addWidget(close);

    m_image = new QLabel;
    m_image->setObjectName(QStringLiteral("PageImage"));
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("PageArea"));
    m_scroll->setAlignment(Qt::AlignCenter);
    m_scroll->setBackgroundRole(QPalette::Dark);
    m_scroll->setWidget(m_image);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(tools);
    layout->addWidget(m_scroll, 1);

    connect(fitPage, &QToolButton::clicked, this, [this] { setZoomMode(ZoomMode::FitPage); });
    connect(fitWidth, &QToolButton::clicked, this, [this] { setZoomMode(ZoomMode::FitWidth); });
    connect(actualSize, &QToolButton::clicked, this, [this] { setZoom(1.0); });
    connect(zoomInButton, &QToolButton::clicked, this, &PrintPreview::zoomIn);
    connect(zoomOutButton, &QToolButton::clicked, this, &PrintPreview::zoomOut);
    connect(m_first, &QToolButton::clicked, this, [this] { showPage(0); });
    connect(m_prior, &QToolButton::clicked, this, [this] { showPage(m_page - 1); });
    connect(m_next, &QToolButton::clicked, this, [this] { showPage(m_page + 1); });
    connect(m_last, &QToolButton::clicked, this, [this] { showPage(m_report.pageCount() - 1); });
    connect(setup, &QToolButton::clicked, this, &PrintPreview::printerSetup);
    connect(printButton, &QToolButton::clicked, this, &PrintPreview::print);
    connect(pdf, &QToolButton::clicked, this, &PrintPreview::savePdf);
    connect(close, &QToolButton::clicked, this, &QDialog::reject);

    // The scroll area would take these keys for scrolling; pages matter more here.
    const auto shortcut = [this](const QKeySequence& keys, auto slot) {
        connect(new QShortcut(keys, this), &QShortcut::activated, this, slot);
    };
    shortcut(QKeySequence(Qt::Key_PageDown), [this] { showPage(m_page + 1); });
    shortcut(QKeySequence(Qt::Key_PageUp), [this] { showPage(m_page - 1); });
    shortcut(QKeySequence(Qt::Key_Home), [this] { showPage(0); });
    shortcut(QKeySequence(Qt::Key_End), [this] { showPage(m_report.pageCount() - 1); });
    shortcut(QKeySequence(Qt::Key_Plus), [this] { zoomIn(); });
    shortcut(QKeySequence(Qt::Key_Equal), [this] { zoomIn(); });
    shortcut(QKeySequence(Qt::Key_Minus), [this] { zoomOut(); });
    shortcut(QKeySequence::ZoomIn, [this] { zoomIn(); });
    shortcut(QKeySequence::ZoomOut, [this] { zoomOut(); });
    shortcut(QKeySequence::Print, [this] { print(); });

    // A sheet at real size, as far as the screen allows.
    if (const QScreen* screen = this->screen()) {
        const QRect available = screen->availableGeometry();
        const int height = available.height() * 9 / 10;
        resize(std::min(available.width() * 9 / 10, height * 4 / 5 + 120), height);
    }
    m_zoom = fitZoom(m_zoomMode);
    render();
}

QToolButton* PrintPreview::addButton(const char* name, const QString& text, const QString& tip)
{
    auto* button = new QToolButton(this);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(text);
    button->setToolTip(tip);
    button->setToolButtonStyle(text.isEmpty() ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextOnly);
    button->setAutoRaise(true);
    return button;
}

void PrintPreview::showPage(int page)
{
    page = std::clamp(page, 0, std::max(0, m_report.pageCount() - 1));
    if (page == m_page)
        return;
    m_page = page;
    render();
    m_scroll->verticalScrollBar()->setValue(0);
}

void PrintPreview::setZoomMode(ZoomMode mode)
{
    m_zoomMode = mode;
    m_zoom = mode == ZoomMode::Fixed ? m_zoom : fitZoom(mode);
    render();
}

void PrintPreview::setZoom(double zoom)
{
    m_zoomMode = ZoomMode::Fixed;
    m_zoom = std::clamp(zoom, kMinZoom, kMaxZoom);
    render();
}

void PrintPreview::zoomIn()
{
    const auto step = std::find_if(kZoomSteps.begin(), kZoomSteps.end(),
                                   [this](double z) { return z > m_zoom + 1e-6; });
    setZoom(step == kZoomSteps.end() ? kMaxZoom : *step);
}

void PrintPreview::zoomOut()
{
    const auto step = std::find_if(kZoomSteps.rbegin(), kZoomSteps.rend(),
                                   [this](double z) { return z < m_zoom - 1e-6; });
    setZoom(step == kZoomSteps.rend() ? std::min(kMinZoom * 2, m_zoom) : *step);
}

void PrintPreview::printerSetup()
{
    platform::Services& services = platform::services();
    services.dialogs->printerSetup(*services.printer->qprinter(), this);
}

void PrintPreview::print()
{
    platform::Services& services = platform::services();
    if (!services.printer->usable()) {
        services.dialogs->errorBox(services.printer->errorString());
        return;
    }
    const QString error = printReport(*services.printer->qprinter(), m_report);
    if (!error.isEmpty())
        services.dialogs->errorBox(error);
}

QString pdfSuggestion(const QString& documentsDir, const QString& fallbackDir,
                      const QString& reportName)
{
    QString name = reportName.trimmed();
    for (QChar& c : name) {
        if (c == u'/' || c == u'\\' || c == u':' || c == u'*' || c == u'?' || c == u'"' ||
            c == u'<' || c == u'>' || c == u'|' || c.category() == QChar::Other_Control)
            c = u'-';
    }
    if (name.isEmpty())
        name = kDefaultPdfName;
    // A folder that does not exist would make the dialog take its name for the file's.
    const bool documents = !documentsDir.isEmpty() && QFileInfo(documentsDir).isDir();
    return QDir(documents ? documentsDir : fallbackDir).filePath(name + QStringLiteral(".pdf"));
}

void PrintPreview::savePdf()
{
    platform::Services& services = platform::services();
    const QString documents = services.paths ? services.paths->documentsDir() : QString();
    const QString suggestion = pdfSuggestion(documents, QDir::homePath(), m_report.layout().name);
    const std::optional<QString> chosen =
        services.dialogs->saveFileName(kSavePdfCaption, suggestion, kPdfFilter);
    if (!chosen || chosen->isEmpty())
        return;
    QString fileName = *chosen;
    if (QFileInfo(fileName).suffix().isEmpty())
        fileName += QStringLiteral(".pdf");
    if (!writePdf(m_report, fileName))
        services.dialogs->errorBox(kPdfFailed.arg(fileName));
}

void PrintPreview::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (m_zoomMode != ZoomMode::Fixed) {
        m_zoom = fitZoom(m_zoomMode);
        render();
    }
}

void PrintPreview::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_zoomMode != ZoomMode::Fixed) {
        m_zoom = fitZoom(m_zoomMode);
        render();
    }
}

double PrintPreview::screenDotsPerMm() const
{
    return logicalDpiX() / kMmPerInch;
}

double PrintPreview::fitZoom(ZoomMode mode) const
{
    const PageSetup& page = m_report.layout().page;
    const QSize room = m_scroll->viewport()->size();
    const double width = page.widthMm * screenDotsPerMm();
    const double height = page.heightMm * screenDotsPerMm();
    // A sheet as wide as the window is taller than it: keep room for the scroll bar.
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    double zoom = (m_scroll->contentsRect().width() - scrollBar - 2 * kPageMarginPx) / width;
    if (mode == ZoomMode::FitPage)
        zoom = std::min((room.width() - 2 * kPageMarginPx) / width,
                        (room.height() - 2 * kPageMarginPx) / height);
    return std::clamp(zoom, kMinZoom, kMaxZoom);
}

void PrintPreview::render()
{
    const int pages = m_report.pageCount();
    m_pageLabel->setText(kPageOf.arg(pages == 0 ? 0 : m_page + 1).arg(pages));
    m_zoomLabel->setText(kZoomPercent.arg(qRound(m_zoom * 100)));
    m_first->setEnabled(m_page > 0);
    m_prior->setEnabled(m_page > 0);
    m_next->setEnabled(m_page + 1 < pages);
    m_last->setEnabled(m_page + 1 < pages);
    if (pages == 0)
        return;
    const double ratio = devicePixelRatioF();
    QImage image = renderPage(m_report, m_page, logicalDpiX() * m_zoom * ratio);
    QPixmap pixmap = QPixmap::fromImage(image);
    pixmap.setDevicePixelRatio(ratio);
    m_image->setPixmap(pixmap);
    m_image->resize(pixmap.deviceIndependentSize().toSize());
}

QString printReport(QPrinter& printer, const PreparedReport& report)
{
    const QPageLayout pageLayout = printer.pageLayout();
    const bool fullPage = printer.fullPage();
    const QString docName = printer.docName();

    // The layout places everything from the sheet's corner, on A4.
    const PageSetup& page = report.layout().page;
    printer.setDocName(report.layout().name);
    printer.setFullPage(true);
    printer.setPageSize(QPageSize(QSizeF(page.widthMm, page.heightMm), QPageSize::Millimeter));
    printer.setPageOrientation(QPageLayout::Portrait);
    const bool printed = paintPages(printer, report) && printer.printerState() != QPrinter::Error;

    printer.setFullPage(fullPage);
    printer.setPageLayout(pageLayout);
    printer.setDocName(docName);
    if (printed)
        return {};
    const QString name = printer.outputFormat() == QPrinter::PdfFormat ? printer.outputFileName()
                                                                       : printer.printerName();
    return kPrintFailed.arg(name);
}

} // namespace reports
