// Included first by every file of the search and by whoever checks its totals.
//
// Every total must be rounded exactly as "sum += count * length" is without fused multiply-add;
// a build for a processor with FMA would otherwise fuse some of the products and sums and not
// others. The pragma comes before any other include, so that all code of a file is compiled
// alike and inlines freely.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC optimize("fp-contract=off")
#elif defined(__clang__)
#pragma clang fp contract(off)
#endif
