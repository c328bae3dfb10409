// A result file written into a temporary folder and converted into a workbook, with the lines of
// both layouts the tests convert.
#pragma once

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include "output/ResultTable.h"
#include "output/XlsxSpreadsheetApp.h"
#include "platform/Errors.h"
#include "tests/support/ProcessLocale.h"
#include "tests/support/XlsxReader.h"

namespace quillorn::test {

// A cell of a data row as the result table writes it.
inline QString Q(const QString& text) {
    return '"' + text + '"';
}

class SpreadsheetConversionTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

    // Writes a result file: the mark, then every line followed by CR LF.
    QString WriteResultFile(const QStringList& lines, const QString& name = "data7.tab") {
        QByteArray bytes("\xEF\xBB\xBF");
        for (const QString& line : lines) {
            bytes += line.toUtf8() + "\r\n";
        }
        return WriteBytes(bytes, name);
    }

    QString WriteBytes(const QByteArray& bytes, const QString& name = "data7.tab") {
        QString path = dir_.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    QString Convert(const QString& resultPath, qint64* rows = nullptr) {
        auto workbook = app_.Import(resultPath);
        if (rows) {
            *rows = workbook->RowCount();
        }
        QString path = dir_.filePath("data7.xlsx");
        workbook->SaveAs(path);
        return path;
    }

    // The fields of a result line with their enclosing quotes removed.
    static QStringList Fields(const QString& line) {
        QStringList fields = line.split('\t');
        for (QString& field : fields) {
            if (field.size() >= 2 && field.startsWith('"') && field.endsWith('"')) {
                field = field.mid(1, field.size() - 2);
            }
        }
        return fields;
    }

    // What a reader sees of a data cell: the escaped tabs and line breaks as what they are, a CR
    // LF pair as one line break.
    static QString Shown(QString field) {
        return field.replace("&#13;&#10;", "\n")
            .replace("&#10;", "\n")
            .replace("&#13;", "\n")
            .replace("&#9;", "\t");
    }

    // Every field of every line is in the sheet at its place, as text (with its escapes shown in
    // the data rows), or as a number or date that reads back to the same digits.
    static void ExpectSheetHolds(const XlsxSheet& sheet, const QStringList& lines) {
        ASSERT_EQ(sheet.rows.size(), lines.size());
        for (int r = 0; r < lines.size(); ++r) {
            QStringList fields = Fields(lines[r]);
            EXPECT_LE(sheet.rows[r].size(), fields.size()) << "row " << r;
            for (int c = 0; c < fields.size(); ++c) {
                const test::XlsxCell* cell = sheet.Cell(r, c);
                QString field = fields[c];
                if (!cell) {
                    EXPECT_TRUE(field.isEmpty()) << "row " << r << " col " << c;
                } else if (!cell->isNumber) {
                    EXPECT_EQ(cell->text, r == 0 ? field : Shown(field))
                        << "row " << r << " col " << c;
                } else if (cell->numberFormat == "dd.mm.yyyy") {
                    EXPECT_EQ(test::XlsxSerialToDate(cell->number), field);
                } else {
                    QString digits = field.trimmed().replace(',', '.');
                    EXPECT_EQ(QString::number(cell->number, 'g', 15), digits)
                        << "row " << r << " col " << c;
                }
            }
        }
    }

    QTemporaryDir dir_;
    XlsxSpreadsheetApp app_{QStringLiteral(","), QDir::tempPath()};
};

inline QStringList VerticalLines() {
    return {
        ResultTable::VerticalHeader(),
        // Cyrillic, a firm name with quotes inside, an escaped line break, the user's separator.
        QStringList{Q("70000001012345678"), Q("ООО \"Ромашка\""), Q("Новосибирск"),
                    Q("Красный проспект, 1"), Q(" 4,7"), Q("42"), Q("Иван"), Q("12"),
                    Q("https://2gis.ru/novosibirsk/user/abc"),
                    Q("Отлично!&#13;&#10;Вернусь&#9;ещё 😀"), Q("2023-05-17T10:20:30+07:00"),
                    Q("17.05.2023"), Q(" 5"), Q("0"), Q(""), Q("https://2gis.ru/firm/1")}
            .join('\t'),
        // Anonymous review without answer, an empty creation date.
        QStringList{Q("70000001012345678"), Q("ООО \"Ромашка\""), Q("Новосибирск"),
                    Q("Красный проспект, 1"), Q(" 4,7"), Q("42"), Q("Анонимный отзыв"), Q(""),
                    Q(""), Q("Так себе"), Q(""), Q(".."), Q(" 3"), Q("1"), Q("Спасибо за отзыв"),
                    Q("https://2gis.ru/firm/1")}
            .join('\t'),
        // A card without new reviews: nine empty cells before the card URL.
        QStringList{Q("141265769336620"), Q("Кафе"), Q("Омск"), Q("ул. Ленина, 5"), Q(" 5"),
                    Q(" 7"), Q(""), Q(""), Q(""), Q(""), Q(""), Q(""), Q(""), Q(""), Q(""),
                    Q("https://2gis.ru/firm/2")}
            .join('\t'),
    };
}

}  // namespace quillorn::test
