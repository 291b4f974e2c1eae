#pragma once

// The modal preview of a prepared report: the page at a zoom, page
// navigation, printer set-up, printing and PDF export.

#include "reports/ReportEngine.h"

#include <QDialog>
#include <QString>

class QLabel;
class QPrinter;
class QScrollArea;
class QToolButton;

namespace store {
class DataSet;
}

namespace reports {

// Where "Uložit do PDF" suggests saving: the report's name as the file name
// (characters a file name cannot hold replaced), in the documents folder when
// it exists, else in `fallbackDir`.
QString pdfSuggestion(const QString& documentsDir, const QString& fallbackDir,
                      const QString& reportName);

class PrintPreview : public QDialog {
    Q_OBJECT
public:
    enum class ZoomMode { FitPage, FitWidth, Fixed };

    // The report must outlive the preview.
    explicit PrintPreview(const PreparedReport& report, QWidget* parent = nullptr);

    int currentPage() const { return m_page; } // 0-based
    double zoom() const { return m_zoom; }     // 1.0 shows the page at its real size
    ZoomMode zoomMode() const { return m_zoomMode; }

    void showPage(int page);
    void setZoomMode(ZoomMode mode);
    void setZoom(double zoom); // a fixed zoom
    void zoomIn();
    void zoomOut();
    void printerSetup();
    void print();
    void savePdf();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QToolButton* addButton(const char* name, const QString& text, const QString& tip);
    double fitZoom(ZoomMode mode) const;
    double screenDotsPerMm() const;
    void render();

    const PreparedReport& m_report;
    int m_page = 0;
    ZoomMode m_zoomMode = ZoomMode::FitWidth;
    double m_zoom = 1.0;
    QScrollArea* m_scroll = nullptr;
    QLabel* m_image = nullptr;
    QLabel* m_pageLabel = nullptr;
    QLabel* m_zoomLabel = nullptr;
    QToolButton* m_first = nullptr;
    QToolButton* m_prior = nullptr;
    QToolButton* m_next = nullptr;
    QToolButton* m_last = nullptr;
};

// Prints the prepared pages on the printer, full A4 sheets; the printer's own
// page settings are put back afterwards. Returns an empty text on success,
// else why printing failed (Czech, for the error box).
QString printReport(QPrinter& printer, const PreparedReport& report);

// A report run: prepares the layout from `data` (a progress dialog with
// cancel appears when that takes a while), dated by the platform clock, then
// shows the preview and returns when the user closes it. Nothing is shown
// for an empty data set or a cancelled preparation; returns whether a
// preview was shown. Throws what the data set throws.
bool previewReport(const ReportLayout& layout, store::DataSet& data, QWidget* parent);

} // namespace reports
