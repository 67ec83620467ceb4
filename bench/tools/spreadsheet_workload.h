#pragma once

// The benchmark workbook: 10,000 rows of 10 cells, shared strings in the even
// columns and numbers in the odd ones (about 3.5 MB of sheet XML and 1.8 MB of
// shared strings). Used by the reader benchmarks and the XML tokeniser
// comparison, so both measure the same input.

#include <QByteArray>

struct SpreadsheetWorkload {
    QByteArray sheetData;   // the content of sheetData
    QByteArray sharedItems; // the si elements
};

inline SpreadsheetWorkload hundredThousandCells() {
    SpreadsheetWorkload workload;
    int sharedCount = 0;
    for (int r = 1; r <= 10000; ++r) {
        workload.sheetData += "<row r=\"" + QByteArray::number(r) + "\">";
        for (int c = 0; c < 10; ++c) {
            const QByteArray ref = QByteArray(1, char('A' + c)) + QByteArray::number(r);
            if (c % 2 == 0) {
                workload.sharedItems += "<si><t>Customer " + QByteArray::number(r) + " note " +
                                        QByteArray::number(c) + "</t></si>";
                workload.sheetData += "<c r=\"" + ref + "\" t=\"s\"><v>" +
                                      QByteArray::number(sharedCount++) + "</v></c>";
            } else {
                workload.sheetData +=
                    "<c r=\"" + ref + "\"><v>" + QByteArray::number(r * 1.25 + c) + "</v></c>";
            }
        }
        workload.sheetData += "</row>";
    }
    return workload;
}
