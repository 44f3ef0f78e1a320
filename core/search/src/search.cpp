#include "search.h"

#include "search_walk.h"

#include <cmath>

namespace Kern {

double windowLow(const SearchRequest& request) {
    const double offset = -(request.shortfallTenths / 10.0) - 0.05;
    return request.routeLength + offset;
}

double windowHigh(const SearchRequest& request) {
    const double offset = request.excessTenths / 10.0 + 0.05;
    return request.routeLength + offset;
}

namespace {

bool plausible(const SearchRequest& request) {
    if (request.types.size() > size_t(MaxTypes) || !std::isfinite(request.routeLength))
        return false;
    for (const SearchType& t : request.types) {
        if (!(t.length >= 0) || !std::isfinite(t.length) || t.minimum < 0 ||
            t.minimum > t.maximum || t.maximum > MaxCount)
            return false;
    }
    return true;
}

// Types that only ever count 0, having no minimum and no piece that fits below the upper edge,
// add 0.0 to every double sum, which changes none: the walk goes without them (its steppers for
// the first two and three types then see types that vary), and the rows get their zeros back.
// Returns the kept types' places; empty when every type is kept, and also when none is, as the
// rows' counts then stay all zero.
std::vector<int> idleTypesLeftOut(SearchRequest& request) {
    const double hi = windowHigh(request);
    std::vector<int> kept;
    std::vector<SearchType> types;
    for (size_t t = 0; t < request.types.size(); ++t) {
        const SearchType& type = request.types[t];
        if (type.minimum == 0 && (type.maximum == 0 || type.length > hi))
            continue;
        kept.push_back(int(t));
        types.push_back(type);
    }
    if (types.size() == request.types.size())
        return {};
    request.types = std::move(types);
    return kept;
}

} // namespace

std::vector<FoundCombination> searchCombinations(const SearchRequest& request,
                                                 SearchControl* control, SearchStats* stats) {
    std::vector<FoundCombination> out;
    if (control)
        control->progress.store(0.0);
    if (plausible(request)) {
        SearchRequest walked = request;
        const std::vector<int> kept = idleTypesLeftOut(walked);
        SearchDetail::Walker walker(walked, out, control);
        walker.run();
        if (stats)
            stats->steps = walker.steps();
        for (FoundCombination& row : out) {
            if (kept.empty())
                break;
            std::array<qint64, MaxTypes> counts{};
            for (size_t j = 0; j < kept.size(); ++j)
                counts[size_t(kept[j])] = row.counts[j];
            row.counts = counts;
        }
    }
    if (control && !control->cancel.load())
        control->progress.store(1.0);
    return out;
}

} // namespace Kern
