#include "tests/support/XlsxReader.h"

#include "tests/support/ZipArchive.h"

#include <QDate>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <stdexcept>

namespace quillorn::test {
namespace {

// "_xHHHH_" stands for the character HHHH; "_x005F_" thus protects a literal underscore.
QString DecodeEscapes(const QString& text) {
    static const QRegularExpression escape(QStringLiteral("_x([0-9A-Fa-f]{4})_"));
    QString out;
    qsizetype from = 0;
    for (auto it = escape.globalMatch(text); it.hasNext();) {
        auto match = it.next();
        out += text.mid(from, match.capturedStart() - from);
        out += QChar(match.captured(1).toUShort(nullptr, 16));
        from = match.capturedEnd();
    }
    return out + text.mid(from);
}

// "AB12" -> (row 11, column 27), both zero-based.
std::pair<int, int> ParseCellRef(const QString& ref) {
    int col = 0;
    int i = 0;
    while (i < ref.size() && ref[i].isLetter()) {
        col = col * 26 + (ref[i].unicode() - 'A' + 1);
        ++i;
    }
    return {ref.mid(i).toInt() - 1, col - 1};
}

// A number as the sheet's XML must spell it (a decimal point, whatever the writer's locale).
double XmlNumber(QStringView text, const char* what) {
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok) {
        throw std::runtime_error(std::string("sheet: ") + what + " \"" +
                                 text.toString().toStdString() + "\" is no number");
    }
    return value;
}

struct CellStyle {
    bool bold = false;
    QString numberFormat;
    bool wrap = false;
};

QList<CellStyle> ReadStyles(const QByteArray& xml) {
    QMap<int, QString> formats{{1, QStringLiteral("0")}, {14, QStringLiteral("mm-dd-yy")}};
    QList<bool> fontBold;
    QList<CellStyle> styles;
    QXmlStreamReader reader(xml);
    bool inFonts = false;
    bool inCellXfs = false;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            auto name = reader.name();
            auto attrs = reader.attributes();
            if (name == u"numFmt") {
                formats[attrs.value(QLatin1String("numFmtId")).toInt()] =
                    attrs.value(QLatin1String("formatCode")).toString();
            } else if (name == u"fonts") {
                inFonts = true;
            } else if (name == u"font" && inFonts) {
                fontBold.append(false);
            } else if (name == u"b" && inFonts && !fontBold.isEmpty()) {
                fontBold.back() = attrs.value(QLatin1String("val")) != u"0";
            } else if (name == u"cellXfs") {
                inCellXfs = true;
            } else if (name == u"xf" && inCellXfs) {
                CellStyle style;
                int font = attrs.value(QLatin1String("fontId")).toInt();
                style.bold = font < fontBold.size() && fontBold[font];
                style.numberFormat = formats.value(attrs.value(QLatin1String("numFmtId")).toInt());
                styles.append(style);
            } else if (name == u"alignment" && inCellXfs && !styles.isEmpty()) {
                styles.back().wrap = attrs.value(QLatin1String("wrapText")) == u"1";
            }
        } else if (reader.isEndElement()) {
            if (reader.name() == u"fonts") {
                inFonts = false;
            } else if (reader.name() == u"cellXfs") {
                inCellXfs = false;
            }
        }
    }
    if (reader.hasError()) {
        throw std::runtime_error("styles: " + reader.errorString().toStdString());
    }
    return styles;
}

QStringList ReadSharedStrings(const QString& path, const QStringList& members) {
    if (!members.contains(QStringLiteral("xl/sharedStrings.xml"))) {
        return {};
    }
    QStringList strings;
    QXmlStreamReader reader(ZipMember(path, QStringLiteral("xl/sharedStrings.xml")));
    QString current;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement() && reader.name() == u"si") {
            current.clear();
        } else if (reader.isStartElement() && reader.name() == u"t") {
            current += reader.readElementText();
        } else if (reader.isEndElement() && reader.name() == u"si") {
            strings.append(DecodeEscapes(current));
        }
    }
    return strings;
}

// The first sheet's name and the rows it repeats on printed pages, from the workbook part.
void ReadWorkbookPart(const QByteArray& xml, XlsxSheet& sheet) {
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        reader.readNext();
        if (!reader.isStartElement()) {
            continue;
        }
        auto attrs = reader.attributes();
        if (reader.name() == u"sheet" && sheet.name.isEmpty()) {
            sheet.name = attrs.value(QLatin1String("name")).toString();
        } else if (reader.name() == u"definedName" &&
                   attrs.value(QLatin1String("name")) == u"_xlnm.Print_Titles") {
            sheet.printTitles = reader.readElementText();
        }
    }
}

// Relationship id -> target of the first sheet's external links.
QMap<QString, QString> ReadSheetRelationships(const QString& path, const QStringList& members) {
    const QString part = QStringLiteral("xl/worksheets/_rels/sheet1.xml.rels");
    QMap<QString, QString> targets;
    if (!members.contains(part)) {
        return targets;
    }
    QXmlStreamReader reader(ZipMember(path, part));
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement() && reader.name() == u"Relationship") {
            auto attrs = reader.attributes();
            targets[attrs.value(QLatin1String("Id")).toString()] =
                attrs.value(QLatin1String("Target")).toString();
        }
    }
    return targets;
}

}  // namespace

const XlsxCell* XlsxSheet::Cell(int row, int col) const {
    if (row < 0 || row >= rows.size() || col < 0 || col >= rows[row].size() || !rows[row][col]) {
        return nullptr;
    }
    return &*rows[row][col];
}

QString XlsxSheet::CellText(int row, int col) const {
    const XlsxCell* cell = Cell(row, col);
    if (!cell) {
        return {};
    }
    return cell->isNumber ? QString::number(cell->number, 'g', 17) : cell->text;
}

QString XlsxSerialToDate(double serial) {
    return QDate(1899, 12, 30).addDays(qint64(serial)).toString(QStringLiteral("dd.MM.yyyy"));
}

XlsxSheet ReadXlsxFirstSheet(const QString& path) {
    QList<CellStyle> styles = ReadStyles(ZipMember(path, QStringLiteral("xl/styles.xml")));
    const QStringList members = ZipMemberNames(path);
    QStringList shared = ReadSharedStrings(path, members);
    QMap<QString, QString> linkTargets = ReadSheetRelationships(path, members);
    QXmlStreamReader reader(ZipMember(path, QStringLiteral("xl/worksheets/sheet1.xml")));

    XlsxSheet sheet;
    ReadWorkbookPart(ZipMember(path, QStringLiteral("xl/workbook.xml")), sheet);
    QList<std::pair<QString, QString>> links;  // cell reference, target
    std::optional<XlsxCell> cell;
    int cellRow = 0;
    int cellCol = 0;
    QString cellType;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            auto name = reader.name();
            auto attrs = reader.attributes();
            if (name == u"dimension") {
                sheet.dimension = attrs.value(QLatin1String("ref")).toString();
            } else if (name == u"pane" && attrs.value(QLatin1String("state")) == u"frozen") {
                sheet.frozenTopLeft = attrs.value(QLatin1String("topLeftCell")).toString();
            } else if (name == u"autoFilter") {
                sheet.autoFilter = attrs.value(QLatin1String("ref")).toString();
            } else if (name == u"col") {
                for (int c = attrs.value(QLatin1String("min")).toInt();
                     c <= attrs.value(QLatin1String("max")).toInt(); ++c) {
                    sheet.columnWidths[c - 1] =
                        XmlNumber(attrs.value(QLatin1String("width")), "width");
                }
            } else if (name == u"pageSetUpPr") {
                sheet.fitToPage = attrs.value(QLatin1String("fitToPage")) == u"1";
            } else if (name == u"pageSetup") {
                if (attrs.hasAttribute(QLatin1String("orientation"))) {
                    sheet.orientation = attrs.value(QLatin1String("orientation")).toString();
                }
                if (attrs.hasAttribute(QLatin1String("fitToWidth"))) {
                    sheet.fitToWidth = attrs.value(QLatin1String("fitToWidth")).toInt();
                }
                if (attrs.hasAttribute(QLatin1String("fitToHeight"))) {
                    sheet.fitToHeight = attrs.value(QLatin1String("fitToHeight")).toInt();
                }
            } else if (name == u"hyperlink") {
                const QString id = attrs.value(QLatin1String("r:id")).toString();
                if (!linkTargets.contains(id)) {
                    throw std::runtime_error("sheet: hyperlink without a target: " +
                                             id.toStdString());
                }
                links.append({attrs.value(QLatin1String("ref")).toString(), linkTargets[id]});
            } else if (name == u"pageMargins") {
                for (const auto& attr : attrs) {
                    sheet.pageMargins[attr.name().toString()] = XmlNumber(attr.value(), "margin");
                }
            } else if (name == u"c") {
                std::tie(cellRow, cellCol) =
                    ParseCellRef(attrs.value(QLatin1String("r")).toString());
                cellType = attrs.value(QLatin1String("t")).toString();
                cell = XlsxCell{};
                int style = attrs.value(QLatin1String("s")).toInt();
                if (style < styles.size()) {
                    cell->bold = styles[style].bold;
                    cell->numberFormat = styles[style].numberFormat;
                    cell->wrap = styles[style].wrap;
                }
            } else if (name == u"t" && cell) {
                cell->text += reader.readElementText();
            } else if (name == u"v" && cell) {
                QString value = reader.readElementText();
                if (cellType == u"s") {
                    cell->text = shared.value(value.toInt());
                } else if (cellType.isEmpty() || cellType == u"n") {
                    cell->isNumber = true;
                    cell->number = XmlNumber(value, "value");
                } else {
                    cell->text = value;
                }
            }
        } else if (reader.isEndElement() && reader.name() == u"c" && cell) {
            if (!cell->isNumber && cellType != u"s") {
                cell->text = DecodeEscapes(cell->text);
            }
            while (sheet.rows.size() <= cellRow) {
                sheet.rows.append(QList<std::optional<XlsxCell>>());
            }
            auto& row = sheet.rows[cellRow];
            while (row.size() <= cellCol) {
                row.append(std::nullopt);
            }
            row[cellCol] = std::move(cell);
            cell.reset();
        }
    }
    if (reader.hasError()) {
        throw std::runtime_error("sheet: " + reader.errorString().toStdString());
    }
    for (const auto& [ref, target] : links) {
        auto [row, col] = ParseCellRef(ref);
        if (row >= sheet.rows.size() || col >= sheet.rows[row].size() || !sheet.rows[row][col]) {
            throw std::runtime_error("sheet: hyperlink on an empty cell " + ref.toStdString());
        }
        sheet.rows[row][col]->link = target;
    }
    return sheet;
}

}  // namespace quillorn::test

namespace quillorn::test {
namespace {

// Gnumeric's file (gzip-compressed XML unless its settings say otherwise) as XML text.
QByteArray GnumericXml(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw std::runtime_error("ssconvert wrote no file " + path.toStdString());
    }
    QByteArray bytes = file.readAll();
    if (!bytes.startsWith("\x1f\x8b")) {
        return bytes;
    }
    QProcess gzip;
    gzip.start(QStringLiteral("gzip"), {QStringLiteral("-dc"), path});
    if (!gzip.waitForFinished(60000) || gzip.exitCode() != 0) {
        throw std::runtime_error("cannot decompress " + path.toStdString());
    }
    return gzip.readAllStandardOutput();
}

struct Region {
    int firstRow, firstCol, lastRow, lastCol;
    bool wrap;
    QString link;
};

}  // namespace

XlsxSheet ReadThroughSpreadsheetProgram(const QString& path) {
    const QString ssconvert = QStandardPaths::findExecutable(QStringLiteral("ssconvert"));
    if (ssconvert.isEmpty()) {
        throw std::runtime_error(
            "ssconvert is not installed: packages.txt lists gnumeric, scripts/setup.sh installs "
            "it");
    }
    QTemporaryDir home;  // the program keeps its settings and caches here, not in the user's
    const QString converted = home.filePath(QStringLiteral("read.gnumeric"));
    QProcess convert;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home.path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path());
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), home.path());
    convert.setProcessEnvironment(environment);
    convert.start(ssconvert, {path, converted});
    if (!convert.waitForFinished(120000) || convert.exitCode() != 0) {
        throw std::runtime_error("ssconvert cannot read " + path.toStdString() + ": " +
                                 convert.readAllStandardError().toStdString());
    }

    XlsxSheet sheet;
    QList<Region> regions;
    QXmlStreamReader reader(GnumericXml(converted));
    int sheets = 0;
    while (!reader.atEnd() && sheets < 2) {
        reader.readNext();
        if (!reader.isStartElement()) {
            continue;
        }
        auto name = reader.name();
        auto attrs = reader.attributes();
        auto number = [&attrs](const char* attr) {
            return attrs.value(QLatin1String(attr)).toInt();
        };
        if (name == u"Sheet") {
            ++sheets;
        } else if (sheets == 0) {
            continue;
        } else if (name == u"Name" && sheet.name.isEmpty()) {
            sheet.name = reader.readElementText();
        } else if (name == u"name" && reader.readElementText() == u"Print_Titles") {
            reader.readNextStartElement();
            sheet.printTitles = reader.readElementText();
        } else if (name == u"Scale" && attrs.value(QLatin1String("type")) == u"size_fit") {
            sheet.fitToPage = true;
            sheet.fitToWidth = number("cols");
            sheet.fitToHeight = number("rows");
        } else if (name == u"orientation") {
            sheet.orientation = reader.readElementText();
        } else if (name == u"StyleRegion") {
            regions.append({number("startRow"),
                            number("startCol"),
                            number("endRow"),
                            number("endCol"),
                            false,
                            {}});
        } else if (name == u"Style" && !regions.isEmpty()) {
            regions.back().wrap = attrs.value(QLatin1String("WrapText")) == u"1";
        } else if (name == u"HyperLink" && !regions.isEmpty()) {
            regions.back().link = attrs.value(QLatin1String("target")).toString();
        } else if (name == u"Cell") {
            const int row = number("Row");
            const int col = number("Col");
            XlsxCell cell;
            cell.isNumber = attrs.value(QLatin1String("ValueType")) == u"40";
            cell.text = reader.readElementText();
            if (cell.isNumber) {
                cell.number = XmlNumber(cell.text, "value");
            }
            while (sheet.rows.size() <= row) {
                sheet.rows.append(QList<std::optional<XlsxCell>>());
            }
            while (sheet.rows[row].size() <= col) {
                sheet.rows[row].append(std::nullopt);
            }
            sheet.rows[row][col] = cell;
        }
    }
    if (reader.hasError()) {
        throw std::runtime_error("ssconvert's file: " + reader.errorString().toStdString());
    }
    for (const Region& region : regions) {
        for (int row = region.firstRow; row <= region.lastRow && row < sheet.rows.size(); ++row) {
            auto& cells = sheet.rows[row];
            for (int col = region.firstCol; col <= region.lastCol && col < cells.size(); ++col) {
                if (cells[col]) {
                    cells[col]->wrap = region.wrap;
                    cells[col]->link = region.link;
                }
            }
        }
    }
    return sheet;
}

}  // namespace quillorn::test
