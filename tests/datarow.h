#pragma once

#include <QTest>

#include <initializer_list>

// The columns of a data table on one line: their types, then their names in the same order.
template <typename... Types> void dataColumns(std::initializer_list<const char*> names) {
    auto name = names.begin();
    (QTest::addColumn<Types>(*name++), ...);
}

// One row of a data table on one line: its name, then its values in column order. Texts may be
// given as literals; numbers must have the column's exact type (1.0 for a double column).
template <typename... Values> void dataRow(const char* name, Values... values) {
    (QTest::newRow(name) << ... << values);
}
