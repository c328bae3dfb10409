// Reads back a workbook the spreadsheet writer made, independently of the library that wrote it:
// unzips the first sheet and the styles (ZipArchive.h) and parses their XML, so tests can compare
// a workbook cell by cell with the result file it came from; or lets a real spreadsheet program
// (Gnumeric) read it.
#pragma once

#include <QList>
#include <QMap>
#include <QString>

#include <optional>

namespace quillorn::test {

struct XlsxCell {
    bool isNumber = false;
    QString text;       // text cells, escapes decoded
    double number = 0;  // number cells (dates are numbers with a date format)
    bool bold = false;
    QString numberFormat;  // the cell's format code, empty for the general format
    bool wrap = false;     // the text wraps in its cell
    QString link;          // the target of the cell's hyperlink, empty without one
};

struct XlsxSheet {
    QString name;  // as the workbook lists it
    // rows[r][c], zero-based, as far as the sheet has cells; missing cells are nullopt.
    QList<QList<std::optional<XlsxCell>>> rows;
    QString dimension;               // e.g. "A1:P4"
    QString frozenTopLeft;           // the first cell below and right of frozen panes, e.g. "A2"
    QString autoFilter;              // e.g. "A1:P4"
    QMap<int, double> columnWidths;  // zero-based column -> width
    // The page margins by name ("left", "top", ...).
    QMap<QString, double> pageMargins;
    // Page setup as printing sees it: "landscape" or "portrait" (the default), and when the sheet
    // is fitted to pages, the pages across and down (0: as many as needed).
    QString orientation = QStringLiteral("portrait");
    bool fitToPage = false;
    int fitToWidth = 1;
    int fitToHeight = 1;
    QString printTitles;  // the rows repeated on every printed page, e.g. "data7!$1:$1"

    // Text of a cell ("" when missing); a number cell gives its shortest decimal form.
    QString CellText(int row, int col) const;
    const XlsxCell* Cell(int row, int col) const;
};

// Raises std::runtime_error when the file is no readable workbook.
XlsxSheet ReadXlsxFirstSheet(const QString& path);

// The first sheet as a spreadsheet program reads it: Gnumeric's ssconvert converts the workbook
// into its own file format, from which come the sheet's name, the cells' texts and numbers, their
// wrapping and links, and the page setup (printTitles as the program spells them, e.g.
// "data7!$A$1:$XFD$1"). Raises std::runtime_error when ssconvert is missing or refuses the file.
XlsxSheet ReadThroughSpreadsheetProgram(const QString& path);

// The day a date cell's serial number stands for (1900 date system).
QString XlsxSerialToDate(double serial);

}  // namespace quillorn::test
