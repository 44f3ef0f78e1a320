#pragma once

#include <QTest>

// One row of a data table on one line: its name, then its values in column order. Texts may be
// given as literals; numbers must have the column's exact type (1.0 for a double column).
template <typename... Values> void dataRow(const char* name, Values... values) {
    (QTest::newRow(name) << ... << values);
}
