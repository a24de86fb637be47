#include "cli/nearest_names.h"

#include <algorithm>
#include <cctype>
#include <numeric>

namespace tgw::cli {
namespace {

size_t editDistance(const std::string& a, const std::string& b) {
    auto lower = [](char c) { return char(std::tolower(static_cast<unsigned char>(c))); };
    std::vector<size_t> row(b.size() + 1);
    std::iota(row.begin(), row.end(), size_t(0));
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1,
                               diagonal + (lower(a[i - 1]) == lower(b[j - 1]) ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

} // namespace

std::vector<std::string> nearestNames(const std::string& typed,
                                      const std::vector<std::string>& candidates, size_t count,
                                      bool closeOnly) {
    std::vector<std::pair<size_t, const std::string*>> scored;
    const size_t limit = closeOnly ? std::max<size_t>(typed.size() / 2, 1) : size_t(-1);
    for (const std::string& c : candidates)
        if (size_t d = editDistance(typed, c); d <= limit)
            scored.emplace_back(d, &c);
    std::stable_sort(scored.begin(), scored.end(),
                     [](const auto& x, const auto& y) { return x.first < y.first; });
    std::vector<std::string> out;
    for (size_t i = 0; i < scored.size() && i < count; ++i)
        out.push_back(*scored[i].second);
    return out;
}

} // namespace tgw::cli
