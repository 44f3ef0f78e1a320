#pragma once

#include "search.h"

#include <QString>

#include <vector>

namespace Kern {

// One search as a value: what was asked, which types were taken and what was found. The search
// returns it; the result grid's model keeps it, and the next search that passes its input check
// replaces it as a whole.
struct SearchResult {
    SearchRequest request;               // the selected types, route, tolerances and limit as read
    std::vector<QString> articleNumbers; // of the selected types 1..n, in table order
    std::vector<FoundCombination> rows;  // in the order of discovery

    int typeCount() const { return int(articleNumbers.size()); }
    int count() const { return int(rows.size()); }
    // Type 1..n; empty for any other number.
    QString articleNumber(int type) const {
        return type >= 1 && type <= typeCount() ? articleNumbers[std::size_t(type - 1)] : QString();
    }
};

// Before the first search the table shows all ten types, without article numbers.
inline SearchResult startUpResult() {
    SearchResult result;
    result.articleNumbers.assign(10, QString());
    return result;
}

} // namespace Kern
