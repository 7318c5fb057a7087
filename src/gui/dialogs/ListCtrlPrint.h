#pragma once

#include <QFont>
#include <QRect>
#include <QString>
#include <QStringList>

#include <vector>

class QPagedPaintDevice;
class QPainter;
class QTableWidget;

// One column of a printed list: its header text, its width on screen (on paper only the
// proportions count) and the alignment of its texts.
struct PrintColumn {
    QString header;
    int width = 0;
    Qt::Alignment alignment = Qt::AlignHCenter;
};

// The paper layout of a report list: on every page the title at the top left (word-wrapped)
// with "Page n of m" on the same line at the right, then the boxed header row and the rows as
// a grid. Rows fill the pages in order; the last page is filled up with empty grid rows. The
// page count is the whole pages of rows plus one, so when the rows fill their pages exactly the
// last page is an empty grid (the count the established printout gives, and so the "of m" its
// readers know).
//
// It paints onto any paged device, so a printer and a PDF file get the same pages. Margins are
// 10 mm on every side; title and page numbers in Arial 10 pt, header and cells in Arial 8 pt.
// FitPage turns the page across when a text would not fit its column upright (wider fonts
// stand in for Arial on many machines).
class ListCtrlPrint {
public:
    static constexpr double kMarginMm = 10.0;
    static constexpr const char* kPageFormat = "Page %d of %d";
    static constexpr const char* kDocumentName = "senza nome";
    static constexpr const char* kPrintFailedText = "Failed to start the print job.";

    // Where things go on a page of one device, in its units; the origin is the top left corner
    // inside the margins.
    struct PageMetrics {
        QRect printable;
        int titleHeight = 0;
        // Height of a header or body row; rows are one unit apart (the grid line).
        int rowHeight = 0;
        int rowsPerPage = 0;
        int pageCount = 0;
        // Left edges of the columns, then the right edge of the last one.
        std::vector<int> columnEdges;
    };

    ListCtrlPrint(QString title, std::vector<PrintColumn> columns, std::vector<QStringList> rows);
    // Columns (header, width, alignment) and cell texts as the list shows them.
    static ListCtrlPrint FromList(const QTableWidget& list, const QString& title);

    const QString& Title() const { return m_title; }
    int RowCount() const { return static_cast<int>(m_rows.size()); }
    int ColumnCount() const { return static_cast<int>(m_columns.size()); }
    // Nothing to print: no rows or no columns.
    bool IsEmpty() const { return m_rows.empty() || m_columns.empty(); }

    // Gives device the margins and measures the pages on it. A page too small for one row gets
    // no rows per page and no pages.
    PageMetrics Measure(QPagedPaintDevice& device) const;
    // Whether every header and cell text fits its column on device's pages.
    bool TextsFit(QPagedPaintDevice& device) const;
    // A4 upright on device, or across when a text would not fit its column upright.
    void SetUpPage(QPagedPaintDevice& device) const;
    // The paper device has now (as the print dialog left it) turned across when a text would
    // not fit its column on it.
    void FitPage(QPagedPaintDevice& device) const;
    // Prints pages first..last (1-based; last 0 = to the end; both kept within the pages) on
    // device. False when there is nothing to print or the device could not be painted on.
    bool Print(QPagedPaintDevice& device, int first = 1, int last = 0) const;

    static QFont TitleFont();
    static QFont CellFont();

private:
    void PaintPage(QPainter& painter, const PageMetrics& metrics, int page) const;
    void PaintRow(QPainter& painter, const PageMetrics& metrics, int top,
                  const QStringList& cells) const;

    QString m_title;
    std::vector<PrintColumn> m_columns;
    std::vector<QStringList> m_rows;
};
