#include "pointsort.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <optional>
#include <utility>

#include "core/errors.h"

namespace kelva::draw {

PlanePoint twistKey(const Point& p, double twist) {
    if (negligibleTurn(twist)) return {p.x, p.y};
    const Point r = rotateAbout(Point{}, p, twist);
    return {r.x, r.y};
}

namespace {

// B (the element at j) goes before A (the element at i), without short-circuits: fewer branches.
template <PointRule R>
struct Before {
    double tol;
    bool operator()(double ax, double ay, double bx, double by) const {
        switch (R) {
            case PointRule::XAsc: return bx < ax;
            case PointRule::XDesc: return bx > ax;
            case PointRule::YDesc: return by > ay;
            case PointRule::YAsc: return by < ay;
            case PointRule::YThenX: return (by > ay) | ((by == ay) & (bx < ax));
            case PointRule::XThenY: return (bx < ax) | ((bx == ax) & (by < ay));
            case PointRule::Table: {
                // Higher by more than tol: a row above. Otherwise one row (within tol, or the same Y)
                // read left to right; lower by more than tol: keep.
                const double d = by - ay;
                return ((d > 0) & (d > tol)) | (((std::fabs(d) <= tol) | (d == 0)) & (bx < ax));
            }
            // Z and N families: a run ahead by at least tol wins, else within tol the cross order decides.
            case PointRule::ZOrder: return (by - ay >= tol) | ((std::fabs(by - ay) <= tol) & (bx < ax));
            case PointRule::ZOrderR: return (ay - by >= tol) | ((std::fabs(by - ay) <= tol) & (ax < bx));
            case PointRule::IZOrder: return (ay - by >= tol) | ((std::fabs(by - ay) <= tol) & (bx < ax));
            case PointRule::IZOrderR: return (by - ay >= tol) | ((std::fabs(by - ay) <= tol) & (ax < bx));
            case PointRule::NOrder: return (ax - bx >= tol) | ((std::fabs(bx - ax) <= tol) & (by < ay));
            case PointRule::NOrderR: return (bx - ax >= tol) | ((std::fabs(bx - ax) <= tol) & (by > ay));
            case PointRule::INOrder: return (ax - bx >= tol) | ((std::fabs(bx - ax) <= tol) & (by > ay));
            case PointRule::INOrderR: return (bx - ax >= tol) | ((std::fabs(bx - ax) <= tol) & (by < ay));
        }
        return false;
    }
};

// The exchange sort over all pairs i < j. The element at i changes only by an exchange, so it is
// carried in registers through the pass and stored once at its end: each exchange leaves the carried
// element at j and carries on with the one found there.
template <class Pred>
Order exchangeSortPoints(const std::vector<PlanePoint>& keys, Pred goesBefore) {
    const std::size_t n = keys.size();
    std::vector<double> x(n), y(n);
    for (std::size_t k = 0; k < n; ++k) {
        x[k] = keys[k].x;
        y[k] = keys[k].y;
    }
    Order pos(n);
    std::iota(pos.begin(), pos.end(), std::size_t{0});
    for (std::size_t i = 0; i + 1 < n; ++i) {
        double ax = x[i], ay = y[i];
        std::size_t ap = pos[i];
        for (std::size_t j = i + 1; j < n; ++j) {
            const double bx = x[j], by = y[j];
            if (goesBefore(ax, ay, bx, by)) {
                x[j] = ax;
                y[j] = ay;
                std::swap(ap, pos[j]);
                ax = bx;
                ay = by;
            }
        }
        x[i] = ax;
        y[i] = ay;
        pos[i] = ap;
    }
    return pos;
}

template <class Key, class Pred>
Order exchangeSort(std::vector<Key> keys, Pred goesBefore) {
    Order pos(keys.size());
    std::iota(pos.begin(), pos.end(), std::size_t{0});
    const std::size_t n = keys.size();
    for (std::size_t i = 0; i + 1 < n; ++i) {
        for (std::size_t j = i + 1; j < n; ++j) {
            if (goesBefore(keys[i], keys[j])) {
                std::swap(keys[i], keys[j]);
                std::swap(pos[i], pos[j]);
            }
        }
    }
    return pos;
}

// ---- the shortcut for inputs the rule orders totally -------------------------------------------------------------
// When the rule is a strict total order on the given keys (for every two items exactly one goes first, and
// consistently), each pass of the exchange sort leaves the smallest remaining item at its position, so
// the exchange sort's result is the one sorted order, which a sort by comparison finds in n log n. The
// tests below decide that from the keys; whatever they cannot vouch for takes the exchange loops.

bool anyNaN(const std::vector<PlanePoint>& keys) {
    for (const auto& k : keys)
        if (std::isnan(k.x) || std::isnan(k.y)) return true;
    return false;
}

// Lexicographic by (first, second), both ascending; empty when two items tie.
std::optional<Order> sortedIfDistinct(std::vector<std::pair<double, double>> ranks) {
    Order o(ranks.size());
    std::iota(o.begin(), o.end(), std::size_t{0});
    std::sort(o.begin(), o.end(), [&](std::size_t a, std::size_t b) { return ranks[a] < ranks[b]; });
    for (std::size_t k = 1; k < o.size(); ++k)
        if (!(ranks[o[k - 1]] < ranks[o[k]])) return std::nullopt;
    return o;
}

// Rows (or columns) along `p`, read first where p is largest: consecutive items of different rows must lie
// more than tol apart, a row's items within tol of one another (strictly so when `strictRows`), and
// within a row `s` ascending must tell every two items apart.
std::optional<Order> rowsIfSeparated(const std::vector<double>& p, const std::vector<double>& s, double tol,
                                     bool strictRows) {
    if (!(tol >= 0)) return std::nullopt;
    const std::size_t n = p.size();
    Order byP(n);
    std::iota(byP.begin(), byP.end(), std::size_t{0});
    std::sort(byP.begin(), byP.end(), [&](std::size_t a, std::size_t b) { return p[a] > p[b]; });
    Order out;
    out.reserve(n);
    std::size_t start = 0;
    while (start < n) {
        std::size_t end = start + 1;
        while (end < n && !(p[byP[end - 1]] - p[byP[end]] > tol)) ++end;
        if (end - start >= 2) {
            const double span = p[byP[start]] - p[byP[end - 1]];
            if (strictRows ? !(span < tol) : !(span <= tol)) return std::nullopt;
            std::sort(byP.begin() + static_cast<long>(start), byP.begin() + static_cast<long>(end),
                      [&](std::size_t a, std::size_t b) { return s[a] < s[b]; });
            for (std::size_t k = start + 1; k < end; ++k)
                if (!(s[byP[k - 1]] < s[byP[k]])) return std::nullopt;
        }
        out.insert(out.end(), byP.begin() + static_cast<long>(start), byP.begin() + static_cast<long>(end));
        start = end;
    }
    return out;
}

std::optional<Order> totalOrderShortcut(const std::vector<PlanePoint>& keys, PointRule rule, double tol) {
    if (keys.size() < 2 || anyNaN(keys)) return std::nullopt;
    const std::size_t n = keys.size();
    std::vector<std::pair<double, double>> ranks(n);
    std::vector<double> p(n), s(n);
    auto fill = [&](auto primary, auto secondary) {
        for (std::size_t k = 0; k < n; ++k) {
            p[k] = primary(keys[k]);
            s[k] = secondary(keys[k]);
        }
    };
    auto lexi = [&](auto first, auto second) {
        for (std::size_t k = 0; k < n; ++k) ranks[k] = {first(keys[k]), second(keys[k])};
        return sortedIfDistinct(std::move(ranks));
    };
    const auto zero = [](const PlanePoint&) { return 0.0; };
    const auto x = [](const PlanePoint& k) { return k.x; };
    const auto y = [](const PlanePoint& k) { return k.y; };
    const auto negX = [](const PlanePoint& k) { return -k.x; };
    const auto negY = [](const PlanePoint& k) { return -k.y; };
    switch (rule) {
        case PointRule::XAsc: return lexi(x, zero);
        case PointRule::XDesc: return lexi(negX, zero);
        case PointRule::YDesc: return lexi(negY, zero);
        case PointRule::YAsc: return lexi(y, zero);
        case PointRule::YThenX: return lexi(negY, x);
        case PointRule::XThenY: return lexi(x, y);
        case PointRule::Table: fill(y, x); return rowsIfSeparated(p, s, tol, false);
        // The run goes first where B - A >= tol on the primary value; ties within a row by the cross order.
        case PointRule::ZOrder: fill(y, x); break;
        case PointRule::ZOrderR: fill(negY, negX); break;
        case PointRule::IZOrder: fill(negY, x); break;
        case PointRule::IZOrderR: fill(y, negX); break;
        case PointRule::NOrder: fill(negX, y); break;
        case PointRule::NOrderR: fill(x, negY); break;
        case PointRule::INOrder: fill(negX, negY); break;
        case PointRule::INOrderR: fill(x, y); break;
    }
    return rowsIfSeparated(p, s, tol, true);
}

template <PointRule R>
Order sortBy(const std::vector<PlanePoint>& keys, double tol) {
    if (auto shortcut = totalOrderShortcut(keys, R, tol)) return *shortcut;
    return exchangeSortPoints(keys, Before<R>{tol});
}

}  // namespace

bool ordersTotally(const std::vector<PlanePoint>& keys, PointRule rule, double tol) {
    return totalOrderShortcut(keys, rule, tol).has_value();
}

Order pointOrder(const std::vector<PlanePoint>& keys, PointRule rule, double tol) {
    switch (rule) {
        case PointRule::XAsc: return sortBy<PointRule::XAsc>(keys, tol);
        case PointRule::XDesc: return sortBy<PointRule::XDesc>(keys, tol);
        case PointRule::YDesc: return sortBy<PointRule::YDesc>(keys, tol);
        case PointRule::YAsc: return sortBy<PointRule::YAsc>(keys, tol);
        case PointRule::YThenX: return sortBy<PointRule::YThenX>(keys, tol);
        case PointRule::XThenY: return sortBy<PointRule::XThenY>(keys, tol);
        case PointRule::Table: return sortBy<PointRule::Table>(keys, tol);
        case PointRule::ZOrder: return sortBy<PointRule::ZOrder>(keys, tol);
        case PointRule::ZOrderR: return sortBy<PointRule::ZOrderR>(keys, tol);
        case PointRule::IZOrder: return sortBy<PointRule::IZOrder>(keys, tol);
        case PointRule::IZOrderR: return sortBy<PointRule::IZOrderR>(keys, tol);
        case PointRule::NOrder: return sortBy<PointRule::NOrder>(keys, tol);
        case PointRule::NOrderR: return sortBy<PointRule::NOrderR>(keys, tol);
        case PointRule::INOrder: return sortBy<PointRule::INOrder>(keys, tol);
        case PointRule::INOrderR: return sortBy<PointRule::INOrderR>(keys, tol);
    }
    return {};
}

Order textKeyOrder(const std::vector<std::wstring>& keys, bool descending) {
    // Distinct keys are ordered totally: the exchange sort's result is the sorted order.
    Order o(keys.size());
    std::iota(o.begin(), o.end(), std::size_t{0});
    std::sort(o.begin(), o.end(), [&](std::size_t a, std::size_t b) { return descending ? keys[a] > keys[b] : keys[a] < keys[b]; });
    bool distinct = true;
    for (std::size_t k = 1; k < o.size() && distinct; ++k) distinct = keys[o[k - 1]] != keys[o[k]];
    if (distinct) return o;
    return exchangeSort(keys, [descending](const std::wstring& a, const std::wstring& b) {
        return descending ? b > a : b < a;
    });
}

namespace {

// Reads the items and computes the new order; nothing of the set changes here.
template <class ComputeOrder>
void rewriteSet(SortableSet& set, SetRewrite rewrite, ErrorStyle style, ComputeOrder computeOrder) {
    Order order;
    try {
        const std::size_t n = set.count();
        if (n == 0) raise(err::SubscriptOutOfRange);  // the working array cannot be sized
        set.readItems(n);
        order = computeOrder(n);
        if (rewrite == SetRewrite::ClearAdd)
            set.clear();
        else
            set.removeAll();
    } catch (const VbError&) {
        if (style == ErrorStyle::Trapped) return;
        throw;
    }
    try {
        set.addItems(order);
    } catch (const VbError&) {
        // The set was emptied: put the items back as they stood, then tell the caller.
        Order original(order.size());
        std::iota(original.begin(), original.end(), std::size_t{0});
        try {
            set.addItems(original);
        } catch (const VbError&) {
        }
        throw;
    }
}

}  // namespace

void sortSetByPoint(SortableSet& set, PointRule rule, double tol, double twist, SetRewrite rewrite, ErrorStyle style) {
    rewriteSet(set, rewrite, style, [&](std::size_t n) {
        std::vector<PlanePoint> keys;
        keys.reserve(n);
        for (std::size_t k = 0; k < n; ++k) keys.push_back(twistKey(set.insertionPoint(k), twist));
        return pointOrder(keys, rule, tol);
    });
}

void sortSetByText(SortableSet& set, bool descending, ErrorStyle style) {
    rewriteSet(set, SetRewrite::ClearAdd, style, [&](std::size_t n) {
        std::vector<std::wstring> keys;
        keys.reserve(n);
        for (std::size_t k = 0; k < n; ++k) keys.push_back(alphanumKey(set.textString(k)));
        return textKeyOrder(keys, descending);
    });
}

}  // namespace kelva::draw
