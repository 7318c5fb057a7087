// The data view: its table per model, its printout (rendered to PDF files and read back with
// the poppler tools), and its CSV against the command-line tool's.

#include "core/files/ProgramFiles.h"
#include "core/files/ZorvanDoc.h"
#include "core/model/AudioData.h"
#include "core/model/Filter.h"
#include "core/model/Variant.h"
#include "gui/FileChoiceScript.h"
#include "gui/GuiTest.h"
#include "gui/dialogs/DataViewDlg.h"
#include "gui/dialogs/ListCtrlPrint.h"
#include "gui/panel/PanelLayout.h"
#include "gui/panel/PanelView.h"
#include "gui/session/PanelSession.h"
#include "gui/widgets/MessageBox.h"

#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QPdfWriter>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <string>
#include <utility>

Q_DECLARE_METATYPE(const Variant*)

namespace {

// Output of a poppler tool; empty when it failed.
QByteArray Run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        qWarning("%s failed: %s", qPrintable(program), process.readAllStandardError().constData());
        return {};
    }
    return process.readAllStandardOutput();
}

int PdfPageCount(const QString& pdf) {
    const QString info = QString::fromUtf8(Run("pdfinfo", {pdf}));
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("^Pages:\\s+(\\d+)"), QRegularExpression::MultilineOption)
            .match(info);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

QString PdfInfo(const QString& pdf) {
    return QString::fromUtf8(Run("pdfinfo", {pdf}));
}

// Size of the first page in whole points.
QSize PdfPageSize(const QString& pdf) {
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+) pts"))
            .match(PdfInfo(pdf));
    return match.hasMatch()
               ? QSize(qRound(match.captured(1).toDouble()), qRound(match.captured(2).toDouble()))
               : QSize();
}

// The text of one page (1-based), line by line as laid out.
QString PdfPageText(const QString& pdf, int page) {
    return QString::fromUtf8(
        Run("pdftotext", {"-layout", "-enc", "UTF-8", "-f", QString::number(page), "-l",
                          QString::number(page), pdf, "-"}));
}

// One page rendered in grey at 100 dpi.
QImage PdfPageImage(const QString& pdf, int page, const QString& prefix) {
    Run("pdftoppm", {"-r", "100", "-gray", "-png", "-singlefile", "-f", QString::number(page), "-l",
                     QString::number(page), pdf, prefix});
    return QImage(prefix + ".png");
}

// Horizontal lines running across at least half the page: runs of dark pixel rows.
int HorizontalLines(const QImage& page) {
    int lines = 0;
    bool inLine = false;
    for (int y = 0; y < page.height(); ++y) {
        int dark = 0;
        for (int x = 0; x < page.width(); ++x) {
            dark += qGray(page.pixel(x, y)) < 160 ? 1 : 0;
        }
        const bool line = dark > page.width() / 2;
        lines += line && !inLine ? 1 : 0;
        inLine = line;
    }
    return lines;
}

// A table of rows numbered "R1".. in three columns.
ListCtrlPrint NumberedRows(int rows) {
    std::vector<QStringList> cells;
    for (int r = 1; r <= rows; ++r) {
        cells.push_back({QStringLiteral("R%1").arg(r), QStringLiteral("a"), QStringLiteral("b")});
    }
    return ListCtrlPrint(
        QStringLiteral("Numbered"),
        {{"Row", 160, Qt::AlignHCenter}, {"A", 90, Qt::AlignHCenter}, {"B", 90, Qt::AlignHCenter}},
        std::move(cells));
}

// Answers the data view's questions in place of the operator.
class Answers : public DataViewPrompts {
public:
    bool SetUpPrinter(QPrinter& printer, int pageCount, QWidget*) override {
        offeredPages = pageCount;
        if (printerFile.isEmpty()) {
            return false;
        }
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printerFile);
        printer.setPageSize(paper);
        if (from > 0) {
            printer.setPrintRange(QPrinter::PageRange);
            printer.setFromTo(from, to);
        }
        return true;
    }
    QString PdfFileName(QWidget*) override { return pdfFile; }
    QString CsvFileName(QWidget*) override { return csvFile; }

    QString printerFile; // empty: the operator cancels the print dialog
    QPageSize paper{QPageSize::A5};
    int from = 0;
    int to = 0;
    QString pdfFile;
    QString csvFile;
    int offeredPages = 0;
};

// A program with names and values away from the defaults, and a shelf in input A's band 1.
void EditProgram(CAudio_Data& program) {
    program.SetName("Show 7");
    program.GetInput(0)->SetName("Kick");
    program.GetInput(1)->SetName("Snare,2");
    program.GetInput(0)->GetFilter(0)->SetType(CFilter::LowShelf);
    program.GetOutput(0)->SetName("Top \"L\"");
    program.GetOutput(0)->SetGain(150);
    program.GetOutput(1)->SetPolarity(1);
    // Out2 compresses; the others limit, which has no clip limit, ratio or timing.
    program.GetOutput(1)->SetCompressorMode(1);
    program.GetOutput(1)->SetRatio(3);
    program.GetOutput(1)->SetClipLimit(35);
    program.GetOutput(3)->SetDelay(40);
}

QStringList Column(const QTableWidget* list, int column) {
    QStringList texts;
    for (int r = 0; r < list->rowCount(); ++r) {
        texts.append(list->item(r, column)->text());
    }
    return texts;
}

} // namespace

class DataViewTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
    }

    void tableShowsEveryParameterOfTheModel_data() {
        QTest::addColumn<const Variant*>("variant");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QStringList>("headers");
        QTest::newRow("4x8") << &Variant::FourByEight() << 73
                             << QStringList{"Show 7", "Input A", "Input B", "Input C", "Input D",
                                            "Out1",   "Out2",    "Out3",    "Out4",    "Out5",
                                            "Out6",   "Out7",    "Out8"};
        QTest::newRow("3x6") << &Variant::ThreeBySix() << 55
                             << QStringList{"Show 7", "Input A", "Input B", "Input C", "Out1",
                                            "Out2",   "Out3",    "Out4",    "Out5",    "Out6"};
        QTest::newRow("2x4") << &Variant::TwoByFour() << 55
                             << QStringList{"Show 7", "Input A", "Input B", "Out1",
                                            "Out2",   "Out3",    "Out4"};
    }

    void tableShowsEveryParameterOfTheModel() {
        QFETCH(const Variant*, variant);
        QFETCH(int, rows);
        QFETCH(QStringList, headers);
        CZorvanDoc doc;
        CAudio_Data& program = doc.GetProgram();
        program.SetDeviceType(variant->deviceType);
        EditProgram(program);
        DataViewDlg dialog(program, *variant);
        QCOMPARE(dialog.windowTitle(), QString("DataView"));
        QTableWidget* list = Control<QTableWidget>(&dialog, 1097);
        QVERIFY(list != nullptr);
        QCOMPARE(list->rowCount(), rows);
        QCOMPARE(list->columnCount(), headers.size());
        for (int c = 0; c < headers.size(); ++c) {
            QCOMPARE(list->horizontalHeaderItem(c)->text(), headers[c]);
            QCOMPARE(list->columnWidth(c), c == 0 ? 160 : 90);
            QCOMPARE(Qt::Alignment(list->item(3, c)->textAlignment()) & Qt::AlignHorizontal_Mask,
                     Qt::AlignHCenter);
        }
        QCOMPARE(list->palette().color(QPalette::Base), QColor(247, 247, 255));
        QCOMPARE(list->palette().color(QPalette::Text), QColor(0, 0, 255));
        QCOMPARE(list->selectionBehavior(), QAbstractItemView::SelectRows);
        QVERIFY(list->showGrid());

        const QStringList labels = Column(list, 0);
        const int inputs = variant->inputCount;
        QCOMPARE(labels.front(), QString("Name"));
        QCOMPARE(list->item(0, 1)->text(), QString("Kick"));
        QCOMPARE(list->item(0, 2)->text(), QString("Snare,2"));
        QCOMPARE(list->item(0, 1 + inputs)->text(), QString("Top \"L\""));
        QCOMPARE(labels[1],
                 variant->deviceType == 1 ? QString("InPut Source") : QString("NoiseGate"));
        QCOMPARE(labels.back(),
                 variant->deviceType == 1 ? QString("Compression Mode") : QString("Release"));
        // The cells are the model's texts of each channel.
        const int gainRow = labels.indexOf("Gain");
        QCOMPARE(list->item(gainRow, 1 + inputs)->text(),
                 QString::fromStdString(program.GetOutput(0)->GetGainText()));
        QCOMPARE(list->item(labels.indexOf("Polarity"), 2 + inputs)->text(),
                 QString::fromStdString(program.GetOutput(1)->GetPolarityText()));
        // A shelf band has no bandwidth and no Q; a "PEQ" band has both.
        QCOMPARE(list->item(labels.indexOf("EQ1 BW"), 1)->text(), QString());
        QCOMPARE(list->item(labels.indexOf("EQ1 Q"), 1)->text(), QString());
        QVERIFY(!list->item(labels.indexOf("EQ2 BW"), 1)->text().isEmpty());
        QVERIFY(!list->item(labels.indexOf("EQ2 Q"), 1)->text().isEmpty());
        // Inputs have no sources; the last source row is followed by the crossover rows,
        // after an empty row on the 2-in/4-out model.
        const int lastSource = labels.indexOf(QString("Src CH") + QChar('A' + inputs - 1));
        QVERIFY(lastSource > 0);
        QCOMPARE(labels.indexOf("Src CH" + QString(QChar('A' + inputs))), -1);
        QCOMPARE(labels[lastSource + 1],
                 variant->deviceType == 3 ? QString() : QString("XType_LPF"));
        QCOMPARE(list->item(lastSource, 1)->text(), QString());
        QVERIFY(!list->item(lastSource, 1 + inputs)->text().isEmpty());
        // Clip limit, ratio and timing belong to the compressor: empty for a limiting output,
        // filled for the compressing one.
        if (variant->deviceType == 1) {
            const CAudio_OutData& compressing = *program.GetOutput(1);
            const std::pair<QString, std::string> compressorRows[] = {
                {"Clip Limit", compressing.GetClipLimitText()},
                {"Ratio", compressing.GetRatioText()},
                {"Compression Type", compressing.GetTimingText()},
                {"Compression Mode", compressing.GetModeText()}};
            for (const auto& [label, text] : compressorRows) {
                const int row = labels.indexOf(label);
                QVERIFY2(!text.empty(), qPrintable(label));
                QCOMPARE(list->item(row, 2 + inputs)->text(), QString::fromStdString(text));
                QCOMPARE(list->item(row, 1)->text(), QString());
                if (label != "Compression Mode") {
                    QCOMPARE(list->item(row, 1 + inputs)->text(), QString());
                }
            }
            QCOMPARE(list->item(labels.indexOf("Compression Mode"), 1 + inputs)->text(),
                     QString("Limit"));
        }

        if (const QByteArray dir = qgetenv("SONVEX_SHOT_DIR"); !dir.isEmpty()) {
            dialog.show();
            SaveGrab(&dialog, QString::fromLocal8Bit(dir) +
                                  QStringLiteral("/data_view_%1.png").arg(variant->name));
        }
    }

    // 73 rows on A5 paper make two pages; the title carries the model and the program, each
    // page its number, the second page the rest of the rows and then empty grid rows.
    void printoutOf73RowsOnA5() {
        CZorvanDoc doc;
        EditProgram(doc.GetProgram());
        DataViewDlg dialog(doc.GetProgram(), Variant::FourByEight());
        const ListCtrlPrint layout = dialog.PrintLayout();
        QCOMPARE(layout.RowCount(), 73);
        const QString pdf = m_dir.filePath("a5.pdf");
        QPdfWriter writer(pdf);
        writer.setPageSize(QPageSize(QPageSize::A5));
        const ListCtrlPrint::PageMetrics metrics = layout.Measure(writer);
        QVERIFY2(metrics.rowsPerPage >= 37 && metrics.rowsPerPage < 73,
                 qPrintable(QString::number(metrics.rowsPerPage)));
        QCOMPARE(metrics.pageCount, 2);
        // 10 mm margins on 148 x 210 mm at the writer's resolution.
        const double unitsPerMm = writer.resolution() / 25.4;
        QVERIFY(qAbs(metrics.printable.width() - 128 * unitsPerMm) < unitsPerMm / 2);
        QVERIFY(qAbs(metrics.printable.height() - 190 * unitsPerMm) < unitsPerMm / 2);
        QVERIFY(layout.Print(writer));
        QCOMPARE(PdfPageCount(pdf), 2);

        const QStringList labels = Column(dialog.List(), 0);
        const QString first = PdfPageText(pdf, 1);
        const QString second = PdfPageText(pdf, 2);
        for (const QString& page : {first, second}) {
            QVERIFY2(page.contains(QString::fromUtf8("Driver Type\xEF\xBC\x9A"
                                                     "Fosk")),
                     qPrintable(page.left(200)));
            QVERIFY(page.contains("Program Name:Show 7"));
            QVERIFY(page.contains("Input D"));
            QVERIFY(page.contains("Out8"));
        }
        QVERIFY(first.contains("Page 1 of 2"));
        QVERIFY(second.contains("Page 2 of 2"));
        const int split = metrics.rowsPerPage;
        QVERIFY(first.contains(labels[split - 1]));
        QVERIFY(!second.contains(labels[split - 1]));
        QVERIFY(second.contains(labels[split]));
        QVERIFY(second.contains("Compression Mode"));
        QVERIFY(!first.contains("Compression Mode"));
        // The title and the page number share the top line.
        const QString top = first.section('\n', 0, 0);
        QVERIFY(top.contains("Driver Type") && top.contains("Page 1 of 2"));

        // Every page is a full grid: the header's two lines and one line under every row.
        for (int page : {1, 2}) {
            const QImage image =
                PdfPageImage(pdf, page, m_dir.filePath(QString("a5-%1").arg(page)));
            QVERIFY(!image.isNull());
            QCOMPARE(HorizontalLines(image), metrics.rowsPerPage + 2);
        }
    }

    void pageCountIsWholePagesOfRowsPlusOne_data() {
        QTest::addColumn<int>("pagesOfRows"); // whole pages of rows
        QTest::addColumn<int>("extraRows");
        QTest::addColumn<int>("pages");
        QTest::newRow("one row") << 0 << 1 << 1;
        QTest::newRow("one full page") << 1 << 0 << 2;
        QTest::newRow("two full pages") << 2 << 0 << 3;
        QTest::newRow("two pages and one row") << 2 << 1 << 3;
    }

    // When the rows fill their pages exactly an empty grid page follows, counted in the
    // page numbers.
    void pageCountIsWholePagesOfRowsPlusOne() {
        QFETCH(int, pagesOfRows);
        QFETCH(int, extraRows);
        QFETCH(int, pages);
        QPdfWriter probe(m_dir.filePath("probe.pdf"));
        probe.setPageSize(QPageSize(QPageSize::A6));
        const int perPage = NumberedRows(1).Measure(probe).rowsPerPage;
        QVERIFY(perPage > 0);
        const int rows = pagesOfRows * perPage + extraRows;
        const ListCtrlPrint layout = NumberedRows(rows);
        const QString pdf = m_dir.filePath(QString("rows-%1.pdf").arg(rows));
        QPdfWriter writer(pdf);
        writer.setPageSize(QPageSize(QPageSize::A6));
        QCOMPARE(layout.Measure(writer).pageCount, pages);
        QVERIFY(layout.Print(writer));
        QCOMPARE(PdfPageCount(pdf), pages);
        const QString last = PdfPageText(pdf, pages);
        QVERIFY(last.contains(QString("Page %1 of %1").arg(pages)));
        const QRegularExpression lastRow(QString("\\bR%1\\b").arg(rows));
        if (extraRows == 0) {
            // The empty page: its header and grid, no row.
            QVERIFY(last.contains("Row"));
            QVERIFY(!last.contains(QRegularExpression("\\bR\\d+\\b")));
            const QImage image = PdfPageImage(pdf, pages, m_dir.filePath("empty-last"));
            QCOMPARE(HorizontalLines(image), perPage + 2);
            QVERIFY(PdfPageText(pdf, pages - 1).contains(lastRow));
        } else {
            // The last row is on the last page, and the last page starts with its own rows.
            QVERIFY(last.contains(lastRow));
            QVERIFY(last.contains(
                QRegularExpression(QString("\\bR%1\\b").arg((pages - 1) * perPage + 1))));
        }
    }

    // Nothing to print is an error, and so is cancelling the print dialog; a page range prints
    // only those pages; the printer gets the document name.
    void printGoesThroughThePrintDialog() {
        {
            QPdfWriter writer(m_dir.filePath("empty.pdf"));
            QVERIFY(!NumberedRows(0).Print(writer));
            QVERIFY(ListCtrlPrint("t", {}, {{"x"}}).IsEmpty());
        }
        CZorvanDoc doc;
        EditProgram(doc.GetProgram());
        DataViewDlg dialog(doc.GetProgram(), Variant::FourByEight());
        Answers answers;
        dialog.SetPrompts(&answers);
        MessageRecorder messages;
        auto* print = Control<QPushButton>(&dialog, 1086);
        QCOMPARE(print->text(), QString("Print"));

        print->click();
        QCOMPARE(messages.texts(), QStringList{"Error"});
        QVERIFY(answers.offeredPages >= 1);

        messages.clear();
        answers.printerFile = m_dir.filePath("printed.pdf");
        print->click();
        QVERIFY(messages.texts().isEmpty());
        // The A5 paper of the dialog, turned across: thirteen columns do not fit it upright.
        QCOMPARE(PdfPageSize(answers.printerFile), QSize(595, 420));
        QPdfWriter across(m_dir.filePath("a5-across.pdf"));
        across.setPageSize(QPageSize(QPageSize::A5));
        across.setPageOrientation(QPageLayout::Landscape);
        const int pages = dialog.PrintLayout().Measure(across).pageCount;
        QVERIFY(pages >= 2);
        QCOMPARE(PdfPageCount(answers.printerFile), pages);
        QVERIFY(PdfInfo(answers.printerFile).contains(QRegularExpression("Title:\\s+senza nome")));
        QVERIFY(
            PdfPageText(answers.printerFile, pages).contains(QString("Page %1 of %1").arg(pages)));

        answers.printerFile = m_dir.filePath("page2.pdf");
        answers.from = 2;
        answers.to = 2;
        print->click();
        QCOMPARE(PdfPageCount(answers.printerFile), 1);
        QVERIFY(PdfPageText(answers.printerFile, 1).contains(QString("Page 2 of %1").arg(pages)));
        QVERIFY(messages.texts().isEmpty());
    }

    // The printer gets the page "Save as PDF" writes: A4, across when the texts do not fit
    // upright, the same pages with the same texts, every text inside its column.
    void printerGetsThePageOfThePdf() {
        CZorvanDoc doc;
        EditProgram(doc.GetProgram());
        DataViewDlg dialog(doc.GetProgram(), Variant::FourByEight());
        Answers answers;
        answers.paper = QPageSize(QPageSize::A4);
        answers.printerFile = m_dir.filePath("printer-a4.pdf");
        answers.pdfFile = m_dir.filePath("saved-a4.pdf");
        dialog.SetPrompts(&answers);
        MessageRecorder messages;
        dialog.OnPrint();
        dialog.OnSavePdf();
        QVERIFY(messages.texts().isEmpty());

        QPdfWriter upright(m_dir.filePath("probe-upright.pdf"));
        upright.setPageSize(QPageSize(QPageSize::A4));
        const bool across = !dialog.PrintLayout().TextsFit(upright);
        QCOMPARE(PdfPageSize(answers.printerFile), across ? QSize(842, 595) : QSize(595, 842));
        QCOMPARE(PdfPageSize(answers.printerFile), PdfPageSize(answers.pdfFile));
        QPdfWriter fitted(m_dir.filePath("probe-fitted.pdf"));
        dialog.PrintLayout().SetUpPage(fitted);
        QVERIFY(dialog.PrintLayout().TextsFit(fitted));

        const int pages = PdfPageCount(answers.pdfFile);
        QCOMPARE(PdfPageCount(answers.printerFile), pages);
        const QRegularExpression spaces(QStringLiteral("\\s+"));
        QString printed;
        for (int page = 1; page <= pages; ++page) {
            const QString text = PdfPageText(answers.printerFile, page);
            QCOMPARE(QString(text).replace(spaces, " "),
                     PdfPageText(answers.pdfFile, page).replace(spaces, " "));
            printed += text;
        }
        const QString delay = QString::fromStdString(doc.GetProgram().GetOutput(3)->GetDelayText());
        for (const QString& cell : {QString("Compression Type"), QString("Compression Mode"), delay,
                                    QString("Compressor"), QString("Manual")}) {
            QVERIFY2(printed.contains(cell), qPrintable(cell));
        }
        if (const QByteArray dir = qgetenv("SONVEX_SHOT_DIR"); !dir.isEmpty()) {
            for (int page = 1; page <= pages; ++page) {
                PdfPageImage(answers.printerFile, page,
                             QString::fromLocal8Bit(dir) +
                                 QString("/data_view_printer_4x8_%1").arg(page));
            }
        }
    }

    // "Save as PDF" writes the printed pages (A4) to the chosen file; cancelling writes nothing.
    void savesThePrintoutAsPdf() {
        CZorvanDoc doc;
        CAudio_Data& program = doc.GetProgram();
        program.SetDeviceType(3);
        EditProgram(program);
        DataViewDlg dialog(program, Variant::TwoByFour());
        Answers answers;
        dialog.SetPrompts(&answers);
        MessageRecorder messages;
        auto* save = dialog.findChild<QPushButton*>("savePdf");
        QVERIFY(save != nullptr);
        save->click();
        QVERIFY(messages.texts().isEmpty());

        answers.pdfFile = m_dir.filePath("jexo.pdf");
        save->click();
        QVERIFY(messages.texts().isEmpty());
        QCOMPARE(PdfPageCount(answers.pdfFile), 1);
        const QString text = PdfPageText(answers.pdfFile, 1);
        QVERIFY(text.contains(QString::fromUtf8("Driver Type\xEF\xBC\x9A"
                                                "Jexo")));
        QVERIFY(text.contains("Page 1 of 1"));
        QVERIFY(text.contains("Src CHB"));
        QVERIFY(!text.contains("Src CHC"));
        // Seven columns fit A4 upright.
        QCOMPARE(PdfPageSize(answers.pdfFile), QSize(595, 842));
        if (const QByteArray dir = qgetenv("SONVEX_SHOT_DIR"); !dir.isEmpty()) {
            PdfPageImage(answers.pdfFile, 1, QString::fromLocal8Bit(dir) + "/data_view_print_2x4");
        }

        answers.pdfFile = m_dir.filePath("missing/dir/x.pdf");
        QTest::ignoreMessage(QtWarningMsg, "QPainter::begin(): Returned false");
        save->click();
        QCOMPARE(messages.texts(), QStringList{"File Write Error"});
    }

    // Thirteen columns go across the page when their texts would not fit it upright; every
    // row is printed either way.
    void savesWideTablesAcrossThePage() {
        QPdfWriter probe(m_dir.filePath("fit.pdf"));
        probe.setPageSize(QPageSize(QPageSize::A6));
        QVERIFY(NumberedRows(3).TextsFit(probe));
        QVERIFY(!ListCtrlPrint("t", {{"Row", 160, Qt::AlignHCenter}, {"A", 90, Qt::AlignHCenter}},
                               {{"R1", "a text far too long for a third of a small page"}})
                     .TextsFit(probe));

        CZorvanDoc doc;
        EditProgram(doc.GetProgram());
        DataViewDlg dialog(doc.GetProgram(), Variant::FourByEight());
        Answers answers;
        answers.pdfFile = m_dir.filePath("fosk.pdf");
        dialog.SetPrompts(&answers);
        MessageRecorder messages;
        dialog.OnSavePdf();
        QVERIFY(messages.texts().isEmpty());
        const int pages = PdfPageCount(answers.pdfFile);
        QVERIFY(pages >= 1);
        QPdfWriter upright(m_dir.filePath("upright.pdf"));
        upright.setPageSize(QPageSize(QPageSize::A4));
        const bool across = !dialog.PrintLayout().TextsFit(upright);
        QCOMPARE(PdfPageSize(answers.pdfFile), across ? QSize(842, 595) : QSize(595, 842));
        const QString last = PdfPageText(answers.pdfFile, pages);
        QVERIFY(last.contains(QString("Page %1 of %1").arg(pages)));
        QVERIFY(last.contains("Compression Mode"));
    }

    void csvIsTheCommandLineToolsTable_data() {
        QTest::addColumn<const Variant*>("variant");
        QTest::newRow("4x8") << &Variant::FourByEight();
        QTest::newRow("3x6") << &Variant::ThreeBySix();
        QTest::newRow("2x4") << &Variant::TwoByFour();
    }

    // The same program file: the data view's CSV and "sonvex-cli table --csv" are the same bytes.
    void csvIsTheCommandLineToolsTable() {
        QFETCH(const Variant*, variant);
        CZorvanDoc written;
        written.GetProgram().SetDeviceType(variant->deviceType);
        EditProgram(written.GetProgram());
        const QString file = m_dir.filePath(QString("program%1").arg(variant->programExtension));
        QVERIFY(StoreProgramToPC(written, variant->deviceType, file.toStdString()));
        CZorvanDoc doc;
        doc.GetProgram().SetDeviceType(variant->deviceType);
        QVERIFY(RecallProgramFromPC(doc, variant->deviceType, file.toStdString()));

        DataViewDlg dialog(doc.GetProgram(), *variant);
        Answers answers;
        answers.csvFile = m_dir.filePath(QString("table-%1.csv").arg(variant->name));
        dialog.SetPrompts(&answers);
        MessageRecorder messages;
        dialog.findChild<QPushButton*>("saveCsv")->click();
        QVERIFY(messages.texts().isEmpty());
        QFile csv(answers.csvFile);
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const QByteArray saved = csv.readAll();

        const QByteArray printed =
            Run(SONVEX_BIN_DIR "/sonvex-cli",
                {"table", file, "--model", QString::fromLatin1(variant->name), "--csv"});
        QVERIFY(!printed.isEmpty());
        QCOMPARE(saved, printed);
        QVERIFY(saved.startsWith("Show 7,Input A,"));
        QVERIFY(saved.contains("Name,Kick,\"Snare,2\","));
        QCOMPARE(saved.count("\r\n"), 1 + dialog.List()->rowCount());
    }

    void csvThatCannotBeWrittenIsReported() {
        CZorvanDoc doc;
        DataViewDlg dialog(doc.GetProgram(), Variant::FourByEight());
        Answers answers;
        dialog.SetPrompts(&answers);
        MessageRecorder messages;
        dialog.OnSaveCsv(); // cancelled
        QVERIFY(messages.texts().isEmpty());
        answers.csvFile = m_dir.filePath("no/such/dir/table.csv");
        dialog.OnSaveCsv();
        QCOMPARE(messages.texts(), QStringList{"File Write Error"});
    }

    // The panel's "DataView" button shows its own program with its model's rows, pressed while
    // the dialog is open.
    void dataViewButtonShowsThePanelsProgram() {
        PanelSession session(Variant::ThreeBySix());
        PanelView panel(session);
        panel.Session().GetDocument().GetProgram().GetOutput(5)->SetName("Fill R");
        auto* button = Control<QPushButton>(&panel, panel.GetLayout().ids.dataView);
        bool pressed = false;
        int rows = 0;
        QString name;
        QTimer::singleShot(0, this, [&] {
            auto* dialog = qobject_cast<DataViewDlg*>(QApplication::activeModalWidget());
            if (dialog == nullptr) {
                return;
            }
            pressed = button->isDown();
            rows = dialog->List()->rowCount();
            name = dialog->List()->item(0, 9)->text();
            dialog->close();
        });
        button->click();
        QVERIFY(pressed);
        QVERIFY(!button->isDown());
        QCOMPARE(rows, 55);
        QCOMPARE(name, QString("Fill R"));
    }

    // "Compare with File..." marks exactly the cells whose parameter differs from the file's
    // (Out3's gain, Input B's polarity), says how many parameters differ, and takes the marks
    // away when compared with a file of the same program; another model's file is refused.
    void compareWithFileMarksTheDifferingCells() {
        CZorvanDoc panelDoc;
        CAudio_Data& program = panelDoc.GetProgram();
        program.SetDeviceType(1);
        EditProgram(program);
        CZorvanDoc fileDoc;
        fileDoc.GetProgram().SetDeviceType(1);
        fileDoc.GetProgram().CopyFrom(program);
        fileDoc.GetProgram().GetOutput(2)->SetGain(program.GetOutput(2)->GetGain() + 20);
        fileDoc.GetProgram().GetInput(1)->SetPolarity(program.GetInput(1)->GetPolarity() ? 0 : 1);
        const QString differing = QString::fromStdString(
            StoreProgramToPC(fileDoc, 1, m_dir.filePath("other").toStdString()).path);
        const QString same = QString::fromStdString(
            StoreProgramToPC(panelDoc, 1, m_dir.filePath("same").toStdString()).path);
        const QString wupa = QString::fromStdString(
            StoreProgramToPC(fileDoc, 2, m_dir.filePath("wupa").toStdString()).path);

        DataViewDlg dialog(program, Variant::FourByEight());
        MessageRecorder messages;
        FileChoiceScript files({differing});
        dialog.findChild<QPushButton*>("compareFile")->click();
        QCOMPARE(files.Requests().last().patterns, QStringList{"*.dia48"});
        const std::vector<std::string> labels = DataTable::RowLabels(1);
        const int gainRow = int(std::find(labels.begin(), labels.end(), "Gain") - labels.begin());
        const int polarityRow =
            int(std::find(labels.begin(), labels.end(), "Polarity") - labels.begin());
        const int inputB = 2;
        const int out3 = 1 + 4 + 2;
        QList<QPoint> marked;
        for (int r = 0; r < dialog.List()->rowCount(); ++r) {
            for (int c = 0; c < dialog.List()->columnCount(); ++c) {
                if (dialog.IsMarked(r, c)) {
                    marked << QPoint(c, r);
                }
            }
        }
        QCOMPARE(marked, QList<QPoint>({QPoint(out3, gainRow), QPoint(inputB, polarityRow)}));
        QCOMPARE(dialog.CompareSummary(),
                 QString("2 parameter(s) differ from other.dia48 (panel != file)"));
        QVERIFY(dialog.findChild<QLabel*>("compareSummary")->toolTip().contains("out3.gain: "));

        QVERIFY(dialog.CompareWithFile(same));
        QVERIFY(!dialog.IsMarked(gainRow, out3));
        QCOMPARE(dialog.CompareSummary(), QString("The same as same.dia48"));
        QVERIFY(messages.texts().isEmpty());

        QVERIFY(!dialog.CompareWithFile(wupa));
        QCOMPARE(messages.texts().size(), 1);
        QVERIFY(messages.texts().first().startsWith("wupa.dia36 is a Wupa (3x6) program file"));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(DataViewTest)
#include "data_view_test.moc"
