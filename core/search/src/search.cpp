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

} // namespace

std::vector<FoundCombination> searchCombinations(const SearchRequest& request,
                                                 SearchControl* control, SearchStats* stats) {
    std::vector<FoundCombination> out;
    if (control)
        control->progress.store(0.0);
    if (plausible(request)) {
        SearchDetail::Walker walker(request, out, control);
        walker.run();
        if (stats)
            stats->steps = walker.steps();
    }
    if (control && !control->cancel.load())
        control->progress.store(1.0);
    return out;
}

} // namespace Kern
