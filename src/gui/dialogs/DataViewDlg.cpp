#include "gui/dialogs/DataViewDlg.h"

#include "core/files/CsvText.h"
#include "core/files/ProgramFiles.h"
#include "core/files/ZorvanDoc.h"
#include "core/model/AudioData.h"
#include "core/model/ParameterDiff.h"
#include "core/model/Variant.h"
#include "gui/session/FileOpenChecks.h"
#include "gui/widgets/ControlId.h"
#include "gui/widgets/DeviceText.h"
#include "gui/widgets/FileChooser.h"
#include "gui/widgets/MessageBox.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPdfWriter>
#include <QPrinter>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QColor kListBackground(247, 247, 255);
const QColor kListText(0, 0, 255);
constexpr int kListHeight = 560;
constexpr int kRowSpacing = 4;

// The cells and the program name are device texts; every other text of the table is ASCII.
QTableWidgetItem* CellItem(const std::string& text) {
    auto* item = new QTableWidgetItem(FromDeviceText(text));
    item->setTextAlignment(Qt::AlignCenter);
    return item;
}

} // namespace

DataViewDlg::DataViewDlg(const CAudio_Data& program, const Variant& variant, QWidget* parent)
    : QDialog(parent), m_program(program), m_deviceType(variant.deviceType),
      m_table(program, variant.deviceType) {
    setWindowTitle(QStringLiteral("DataView"));
    m_list = WithControlId(new QTableWidget(this), kListId, "dataList");
    m_list->setAccessibleName(QStringLiteral("Parameters"));
    Fill();

    auto* print = WithControlId(new QPushButton(QStringLiteral("Print"), this), kPrintId, "print");
    auto* pdf = new QPushButton(QStringLiteral("Save as PDF"), this);
    pdf->setObjectName(QStringLiteral("savePdf"));
    auto* csv = new QPushButton(QStringLiteral("Save as CSV"), this);
    csv->setObjectName(QStringLiteral("saveCsv"));
    connect(print, &QPushButton::clicked, this, &DataViewDlg::OnPrint);
    connect(pdf, &QPushButton::clicked, this, &DataViewDlg::OnSavePdf);
    connect(csv, &QPushButton::clicked, this, &DataViewDlg::OnSaveCsv);
    auto* compare = new QPushButton(QStringLiteral("Compare with File..."), this);
    compare->setObjectName(QStringLiteral("compareFile"));
    connect(compare, &QPushButton::clicked, this, &DataViewDlg::OnCompare);
    m_compareSummary = new QLabel(this);
    m_compareSummary->setObjectName(QStringLiteral("compareSummary"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(compare);
    buttons->addWidget(m_compareSummary, 1);
    buttons->addWidget(print);
    buttons->addWidget(pdf);
    buttons->addWidget(csv);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addLayout(buttons);
}

DataViewDlg::~DataViewDlg() = default;

void DataViewDlg::Fill() {
    m_list->verticalHeader()->hide();
    // Rows as close as a report list has them.
    m_list->verticalHeader()->setMinimumSectionSize(1);
    m_list->verticalHeader()->setDefaultSectionSize(m_list->fontMetrics().height() + kRowSpacing);
    m_list->setShowGrid(true);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QPalette palette = m_list->palette();
    palette.setColor(QPalette::Base, kListBackground);
    palette.setColor(QPalette::Text, kListText);
    m_list->setPalette(palette);

    const int columns = m_table.GetColumnCount();
    m_list->setColumnCount(columns);
    m_list->setRowCount(m_table.GetRowCount());
    for (int c = 0; c < columns; ++c) {
        m_list->setHorizontalHeaderItem(c, CellItem(m_table.GetHeader(c)));
        m_list->setColumnWidth(c, c == 0 ? kLabelColumnWidth : kChannelColumnWidth);
    }
    for (int r = 0; r < m_table.GetRowCount(); ++r) {
        for (int c = 0; c < columns; ++c) {
            m_list->setItem(r, c, CellItem(m_table.GetCell(r, c)));
        }
    }

    int width = 2 * m_list->frameWidth() + m_list->verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < columns; ++c) {
        width += m_list->columnWidth(c);
    }
    m_list->setMinimumSize(width, kListHeight);
}

QString DataViewDlg::PrintTitle() const {
    // The fixed part carries the full-width colon; the program name is a device text.
    const std::string title = m_table.GetPrintTitle();
    const std::string name = m_table.GetHeader(0);
    return QString::fromStdString(title.substr(0, title.size() - name.size())) +
           FromDeviceText(name);
}

ListCtrlPrint DataViewDlg::PrintLayout() const {
    return ListCtrlPrint::FromList(*m_list, PrintTitle());
}

void DataViewDlg::SetPrompts(DataViewPrompts* prompts) {
    m_prompts = prompts != nullptr ? prompts : &m_standardPrompts;
}

void DataViewDlg::OnPrint() {
    const ListCtrlPrint layout = PrintLayout();
    if (layout.IsEmpty()) {
        ShowMessage(this, QString::fromLatin1(kErrorText));
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QString::fromLatin1(ListCtrlPrint::kDocumentName));
    // The page of "Save as PDF", offered to the print dialog; the paper chosen there is fitted
    // the same way.
    layout.SetUpPage(printer);
    const int pages = std::max(1, layout.Measure(printer).pageCount);
    if (!m_prompts->SetUpPrinter(printer, pages, this)) {
        ShowMessage(this, QString::fromLatin1(kErrorText));
        return;
    }
    layout.FitPage(printer);
    int first = 1;
    int last = 0;
    if (printer.printRange() == QPrinter::PageRange) {
        first = printer.fromPage();
        last = printer.toPage();
    }
    if (!layout.Print(printer, first, last)) {
        ShowMessage(this, QString::fromLatin1(ListCtrlPrint::kPrintFailedText));
    }
}

void DataViewDlg::OnSavePdf() {
    const ListCtrlPrint layout = PrintLayout();
    if (layout.IsEmpty()) {
        ShowMessage(this, QString::fromLatin1(kErrorText));
        return;
    }
    const QString path = m_prompts->PdfFileName(this);
    if (path.isEmpty()) {
        return;
    }
    QPdfWriter writer(path);
    writer.setTitle(QString::fromLatin1(ListCtrlPrint::kDocumentName));
    writer.setCreator(QStringLiteral("Sonvex"));
    layout.SetUpPage(writer);
    if (!layout.Print(writer)) {
        ShowMessage(this, QString::fromLatin1(kWriteErrorText));
    }
}

void DataViewDlg::OnSaveCsv() {
    const QString path = m_prompts->CsvFileName(this);
    if (path.isEmpty()) {
        return;
    }
    QSaveFile file(path);
    const std::string text = CsvText::Table(m_table.GetHeaders(), m_table.GetRows());
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(text.data(), static_cast<qint64>(text.size())) !=
            static_cast<qint64>(text.size()) ||
        !file.commit()) {
        ShowMessage(this, QString::fromLatin1(kWriteErrorText));
    }
}

void DataViewDlg::OnCompare() {
    const QString pattern = QString::fromStdString(ProgramFilePattern(m_deviceType));
    const QString path = ChooseFile(this, {FileRequest::Open, {pattern}});
    if (!path.isEmpty()) {
        CompareWithFile(path);
    }
}

bool DataViewDlg::CompareWithFile(const QString& path) {
    ClearMarks();
    const QString otherModel =
        FileOpenChecks::OtherModelText(Variant::OfDeviceType(m_deviceType), path);
    if (!otherModel.isEmpty()) {
        ShowMessage(this, otherModel);
        return false;
    }
    CZorvanDoc file;
    file.GetProgram().SetDeviceType(m_deviceType);
    if (!RecallProgramFromPC(file, m_deviceType, path.toStdString())) {
        ShowMessage(this, QString::fromLatin1(kFileReadError));
        return false;
    }
    const DataTable other(file.GetProgram(), m_deviceType);
    for (int r = 0; r < m_table.GetRowCount(); ++r) {
        for (int c = 1; c < m_table.GetColumnCount(); ++c) {
            if (m_table.GetCell(r, c) != other.GetCell(r, c)) {
                QTableWidgetItem* item = m_list->item(r, c);
                item->setBackground(QColor(kDifferentCell));
                item->setToolTip(QStringLiteral("%1: %2").arg(QFileInfo(path).fileName(),
                                                              FromDeviceText(other.GetCell(r, c))));
            }
        }
    }
    QStringList lines;
    for (const ParameterDifference& difference :
         ParameterDiff::Compare(m_program, file.GetProgram(), m_deviceType)) {
        lines << QString::fromStdString(ParameterDiff::Line(difference));
    }
    const QString name = QFileInfo(path).fileName();
    m_compareSummary->setText(lines.isEmpty()
                                  ? QStringLiteral("The same as %1").arg(name)
                                  : QStringLiteral("%1 parameter(s) differ from %2 (panel != file)")
                                        .arg(lines.size())
                                        .arg(name));
    m_compareSummary->setToolTip(lines.join(QLatin1Char('\n')));
    return true;
}

bool DataViewDlg::IsMarked(int row, int column) const {
    const QTableWidgetItem* item = m_list->item(row, column);
    return item != nullptr && item->background().style() != Qt::NoBrush &&
           item->background().color() == QColor(kDifferentCell);
}

QString DataViewDlg::CompareSummary() const {
    return m_compareSummary->text();
}

void DataViewDlg::ClearMarks() {
    for (int r = 0; r < m_list->rowCount(); ++r) {
        for (int c = 0; c < m_list->columnCount(); ++c) {
            if (QTableWidgetItem* item = m_list->item(r, c)) {
                item->setBackground(QBrush());
                item->setToolTip(QString());
            }
        }
    }
    m_compareSummary->clear();
    m_compareSummary->setToolTip(QString());
}
