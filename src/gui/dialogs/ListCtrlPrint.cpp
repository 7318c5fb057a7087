#include "gui/dialogs/ListCtrlPrint.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QMarginsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTableWidget>

#include <algorithm>
#include <climits>
#include <numeric>
#include <utility>

namespace {

constexpr double kTitlePoints = 10.0;
constexpr double kCellPoints = 8.0;
// No footer text is printed, but its line is kept free at the bottom of every page.
constexpr double kFooterPoints = 3.0;
// Added to the text height of a header or body row, in device units.
constexpr int kRowPadding = 4;
// Between the grid line and a text that is not centred, in parts of the row height.
constexpr int kTextInsetDivisor = 4;

QFont Font(const char* family, double points) {
    QFont font(QString::fromLatin1(family));
    font.setPointSizeF(points);
    return font;
}

int TextHeight(const QFont& font, QPagedPaintDevice& device) {
    return QFontMetrics(font, &device).size(Qt::TextSingleLine, QStringLiteral("X")).height();
}

} // namespace

ListCtrlPrint::ListCtrlPrint(QString title, std::vector<PrintColumn> columns,
                             std::vector<QStringList> rows)
    : m_title(std::move(title)), m_columns(std::move(columns)), m_rows(std::move(rows)) {
    // The title may end its lines the way the device texts do.
    m_title.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

ListCtrlPrint ListCtrlPrint::FromList(const QTableWidget& list, const QString& title) {
    std::vector<PrintColumn> columns;
    for (int c = 0; c < list.columnCount(); ++c) {
        const QTableWidgetItem* header = list.horizontalHeaderItem(c);
        PrintColumn column;
        column.width = list.columnWidth(c);
        if (header != nullptr) {
            column.header = header->text();
            column.alignment = Qt::Alignment(header->textAlignment()) & Qt::AlignHorizontal_Mask;
        }
        columns.push_back(column);
    }
    std::vector<QStringList> rows;
    for (int r = 0; r < list.rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < list.columnCount(); ++c) {
            const QTableWidgetItem* item = list.item(r, c);
            cells.append(item != nullptr ? item->text() : QString());
        }
        rows.push_back(cells);
    }
    return ListCtrlPrint(title, std::move(columns), std::move(rows));
}

QFont ListCtrlPrint::TitleFont() {
    return Font("Arial", kTitlePoints);
}

QFont ListCtrlPrint::CellFont() {
    return Font("Arial", kCellPoints);
}

ListCtrlPrint::PageMetrics ListCtrlPrint::Measure(QPagedPaintDevice& device) const {
    device.setPageMargins(QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                          QPageLayout::Millimeter);
    PageMetrics metrics;
    metrics.printable = QRect(0, 0, device.width(), device.height());
    const int width = metrics.printable.width();

    const QFontMetrics title(TitleFont(), &device);
    const int titleText = title
                              .boundingRect(QRect(0, 0, width, INT_MAX / 2),
                                            Qt::AlignLeft | Qt::TextWordWrap, m_title)
                              .height();
    metrics.titleHeight = std::max(titleText, TextHeight(TitleFont(), device));
    metrics.rowHeight = TextHeight(CellFont(), device) + kRowPadding;

    // The header row, the footer line and one row of reserve stay out of the body rows.
    const int body = metrics.printable.height() - metrics.titleHeight - (metrics.rowHeight + 1) -
                     TextHeight(Font("Times New Roman", kFooterPoints), device);
    metrics.rowsPerPage = std::max(0, body / (metrics.rowHeight + 1) - 1);
    if (metrics.rowsPerPage > 0) {
        metrics.pageCount = RowCount() / metrics.rowsPerPage + 1;
    }

    // The list's widths scaled so that the columns fill the printable width (equal shares
    // when the list gives them no width).
    std::vector<long long> widths;
    for (const PrintColumn& column : m_columns) {
        widths.push_back(std::max(0, column.width));
    }
    long long total = std::accumulate(widths.begin(), widths.end(), 0LL);
    if (total == 0) {
        std::fill(widths.begin(), widths.end(), 1LL);
        total = std::max<long long>(1, static_cast<long long>(widths.size()));
    }
    long long sum = 0;
    metrics.columnEdges.push_back(0);
    for (const long long w : widths) {
        sum += w;
        metrics.columnEdges.push_back(static_cast<int>(sum * width / total));
    }
    return metrics;
}

bool ListCtrlPrint::TextsFit(QPagedPaintDevice& device) const {
    const PageMetrics metrics = Measure(device);
    const QFontMetrics font(CellFont(), &device);
    const int inset = metrics.rowHeight / kTextInsetDivisor;
    const auto fits = [&](std::size_t column, const QString& text) {
        return font.horizontalAdvance(text) + 2 * inset <=
               metrics.columnEdges[column + 1] - metrics.columnEdges[column];
    };
    for (std::size_t c = 0; c < m_columns.size(); ++c) {
        if (!fits(c, m_columns[c].header)) {
            return false;
        }
        for (const QStringList& row : m_rows) {
            const int index = static_cast<int>(c);
            if (index < row.size() && !fits(c, row[index])) {
                return false;
            }
        }
    }
    return true;
}

void ListCtrlPrint::SetUpPage(QPagedPaintDevice& device) const {
    device.setPageSize(QPageSize(QPageSize::A4));
    device.setPageOrientation(QPageLayout::Portrait);
    FitPage(device);
}

void ListCtrlPrint::FitPage(QPagedPaintDevice& device) const {
    if (device.pageLayout().orientation() == QPageLayout::Portrait && !TextsFit(device)) {
        device.setPageOrientation(QPageLayout::Landscape);
    }
}

bool ListCtrlPrint::Print(QPagedPaintDevice& device, int first, int last) const {
    if (IsEmpty()) {
        return false;
    }
    const PageMetrics metrics = Measure(device);
    if (metrics.pageCount == 0) {
        return false;
    }
    first = std::clamp(first, 1, metrics.pageCount);
    last = last <= 0 ? metrics.pageCount : std::clamp(last, first, metrics.pageCount);
    QPainter painter;
    if (!painter.begin(&device)) {
        return false;
    }
    for (int page = first; page <= last; ++page) {
        if (page > first && !device.newPage()) {
            painter.end();
            return false;
        }
        PaintPage(painter, metrics, page);
    }
    return painter.end();
}

void ListCtrlPrint::PaintPage(QPainter& painter, const PageMetrics& metrics, int page) const {
    const int width = metrics.printable.width();
    painter.setPen(QPen(Qt::black, 0));
    painter.setBrush(Qt::NoBrush);

    painter.setFont(TitleFont());
    const QRect titleBlock(0, 0, width, metrics.titleHeight);
    painter.drawText(titleBlock, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, m_title);
    painter.drawText(titleBlock, Qt::AlignRight | Qt::AlignTop,
                     QString::asprintf(kPageFormat, page, metrics.pageCount));

    painter.setFont(CellFont());
    int top = metrics.titleHeight;
    QStringList headers;
    for (const PrintColumn& column : m_columns) {
        headers.append(column.header);
    }
    // The header row is boxed all round; the body rows below share its bottom line.
    painter.drawLine(metrics.columnEdges.front(), top, metrics.columnEdges.back(), top);
    PaintRow(painter, metrics, top, headers);
    top += metrics.rowHeight + 1;

    const int firstRow = (page - 1) * metrics.rowsPerPage;
    for (int r = firstRow; r < firstRow + metrics.rowsPerPage; ++r) {
        PaintRow(painter, metrics, top,
                 r < RowCount() ? m_rows[static_cast<std::size_t>(r)] : QStringList());
        top += metrics.rowHeight + 1;
    }
    painter.drawLine(metrics.columnEdges.front(), top - 1, metrics.columnEdges.back(), top - 1);
}

void ListCtrlPrint::PaintRow(QPainter& painter, const PageMetrics& metrics, int top,
                             const QStringList& cells) const {
    const int bottom = top + metrics.rowHeight;
    const int inset = metrics.rowHeight / kTextInsetDivisor;
    for (std::size_t c = 0; c < m_columns.size(); ++c) {
        const int left = metrics.columnEdges[c];
        const int right = metrics.columnEdges[c + 1];
        painter.drawLine(left, top, left, bottom);
        painter.drawLine(right, top, right, bottom);
        painter.drawLine(left, bottom, right, bottom);
        const int index = static_cast<int>(c);
        if (index < cells.size() && !cells[index].isEmpty()) {
            const QRect text(left + inset, top, right - left - 2 * inset, metrics.rowHeight);
            painter.drawText(text, m_columns[c].alignment | Qt::AlignVCenter | Qt::TextSingleLine,
                             cells[index]);
        }
    }
}
