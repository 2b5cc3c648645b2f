#include "pagegen/FillPlan.h"

#include <QMutex>
#include <QMutexLocker>

#include <algorithm>
#include <cstdint>
#include <deque>
#include <map>
#include <unordered_map>

namespace vt::pagegen {
namespace {

// The plan stands each value in as one marker character from the private use area, one that
// neither the template, the ad block nor a placeholder holds.
constexpr char16_t FirstMarker = 0xE000;
constexpr char16_t LastMarker = 0xF8FF;
// A plan is a page of its own; a template that grows past this is filled row by row.
constexpr qsizetype MaxPlanLength = qsizetype(1) << 20;
// Plans kept per template, one for each set of rows that have a value; the one used longest ago
// gives way to a new one.
constexpr std::size_t MaxPlans = 256;
// The plans of one template hold pages of at most this many characters in all (16 MiB).
constexpr qsizetype MaxHeldLength = qsizetype(8) << 20;
// Templates kept: the page and article fills of one run.
constexpr std::size_t MaxTemplates = 2;

struct Place {
    std::size_t placeholder;
    qsizetype at;
};

// The placeholders a fill replaces, indexed by their characters.
class Placeholders {
public:
    explicit Placeholders(std::vector<QString> texts)
        : m_texts(std::move(texts)) {
        for (std::size_t index = 0; index < m_texts.size(); ++index) {
            const QString& text = m_texts[index];
            for (qsizetype at = 0; at < text.size(); ++at) {
                m_places[text[at].unicode()].push_back({index, at});
            }
            if (!m_lastCharacters.contains(text.back())) {
                m_lastCharacters.append(text.back());
            }
        }
    }

    // True when no occurrence of a placeholder can hold a character of the value: the value holds
    // no placeholder; where an occurrence could cross its start, it neither lies inside a
    // placeholder nor begins with a placeholder's end; where one could cross its end, it neither
    // lies inside a placeholder nor ends with a placeholder's start.
    bool inert(QStringView value, bool startExposed, bool endExposed) const {
        if (startExposed) {
            for (const Place& place : placesOf(value.front())) {
                const QStringView text = m_texts[place.placeholder];
                const qsizetype shared = std::min(value.size(), text.size() - place.at);
                if (text.sliced(place.at, shared) == value.first(shared)) {
                    return false;
                }
            }
        }
        if (endExposed) {
            for (const Place& place : placesOf(value.back())) {
                const QStringView text = m_texts[place.placeholder];
                const qsizetype shared = std::min(value.size(), place.at + 1);
                if (text.sliced(place.at + 1 - shared, shared) == value.last(shared)) {
                    return false;
                }
            }
        }
        for (const QChar last : m_lastCharacters) {
            for (qsizetype end = value.indexOf(last); end >= 0; end = value.indexOf(last, end + 1)) {
                for (const Place& place : placesOf(last)) {
                    const QStringView text = m_texts[place.placeholder];
                    if (place.at == text.size() - 1 && end + 1 >= text.size() &&
                        value.sliced(end + 1 - text.size(), text.size()) == text) {
                        return false;
                    }
                }
            }
        }
        return true;
    }

private:
    const std::vector<Place>& placesOf(QChar character) const {
        static const std::vector<Place> none;
        const auto found = m_places.find(character.unicode());
        return found == m_places.end() ? none : found->second;
    }

    std::vector<QString> m_texts;
    std::unordered_map<char16_t, std::vector<Place>> m_places;
    QString m_lastCharacters; // each once
};

// The template filled with a marker for each row that has a value, and where the markers stand.
struct Plan {
    bool usable = false;
    QString page;
    std::vector<std::pair<qsizetype, std::size_t>> valuePlaces; // place in the page, row
    std::vector<qsizetype> copies;                              // per row
    // Per row: whether a search after the value landed could cross the start (end) of a copy:
    // the character beside it there is another value's or one the placeholder searched holds.
    std::vector<bool> startExposed;
    std::vector<bool> endExposed;
    qsizetype longest = 0; // the page's length at its longest
    std::uint64_t lastUse = 0;
};

struct TemplatePlans {
    QString pageTemplate;
    QString adBlock;
    std::vector<QString> rowPlaceholders;
    // Per row: the placeholders searched once its value has landed, those of the later rows and
    // the ad placeholder.
    std::vector<Placeholders> searchedAfter;
    std::vector<char16_t> markers; // per row; empty when too few characters are free
    std::map<std::vector<bool>, Plan> plans;
    std::uint64_t uses = 0;
    qsizetype heldLength = 0; // of the plans' pages
};

std::vector<QString> placeholdersOf(const std::vector<FieldRow>& rows) {
    std::vector<QString> texts;
    texts.reserve(rows.size());
    for (const FieldRow& row : rows) {
        texts.push_back(row.placeholder);
    }
    return texts;
}

std::vector<char16_t> freeMarkers(const TemplatePlans& plans, std::size_t count) {
    std::vector<bool> taken(LastMarker - FirstMarker + 1);
    for (const QString* text : {&plans.pageTemplate, &plans.adBlock}) {
        for (const QChar character : *text) {
            if (character.unicode() >= FirstMarker && character.unicode() <= LastMarker) {
                taken[character.unicode() - FirstMarker] = true;
            }
        }
    }
    std::vector<char16_t> markers;
    for (char16_t marker = FirstMarker; marker <= LastMarker && markers.size() < count; ++marker) {
        const auto holds = [marker](const QString& text) {
            return text.contains(QChar(marker));
        };
        if (!taken[marker - FirstMarker] && !holds(AdPlaceholder) &&
            std::none_of(plans.rowPlaceholders.begin(), plans.rowPlaceholders.end(), holds)) {
            markers.push_back(marker);
        }
    }
    return markers.size() == count ? markers : std::vector<char16_t>();
}

// The places of the markers in a page, with their rows.
std::vector<std::pair<qsizetype, std::size_t>> markersIn(QStringView page,
                                                         const std::vector<int>& rowOfMarker) {
    std::vector<std::pair<qsizetype, std::size_t>> places;
    for (qsizetype at = 0; at < page.size(); ++at) {
        const char16_t character = page[at].unicode();
        if (character >= FirstMarker && character <= LastMarker &&
            rowOfMarker[character - FirstMarker] >= 0) {
            places.emplace_back(at, std::size_t(rowOfMarker[character - FirstMarker]));
        }
    }
    return places;
}

// Notes the edges of the values at their places in the page that a search for the placeholder
// could cross.
void noteExposedEdges(Plan& plan, QStringView page,
                      const std::vector<std::pair<qsizetype, std::size_t>>& markers,
                      const std::vector<int>& rowOfMarker, const QString& placeholder) {
    const auto crossable = [&](qsizetype at) {
        const char16_t character = page[at].unicode();
        return (character >= FirstMarker && character <= LastMarker &&
                rowOfMarker[character - FirstMarker] >= 0) ||
               placeholder.contains(page[at]);
    };
    for (const auto& [at, row] : markers) {
        if (at > 0 && crossable(at - 1)) {
            plan.startExposed[row] = true;
        }
        if (at + 1 < page.size() && crossable(at + 1)) {
            plan.endExposed[row] = true;
        }
    }
}

// The fill made with the markers for values: the same replacements, in the same order, as
// FillRow of every row. Before each search the values' edges that it could cross are noted.
Plan makePlan(const TemplatePlans& plans, const std::vector<bool>& valued) {
    std::vector<int> rowOfMarker(LastMarker - FirstMarker + 1, -1);
    for (std::size_t row = 0; row < valued.size(); ++row) {
        rowOfMarker[plans.markers[row] - FirstMarker] = int(row);
    }
    Plan plan;
    plan.startExposed.assign(valued.size(), false);
    plan.endExposed.assign(valued.size(), false);
    QString page = plans.pageTemplate;
    plan.longest = page.size();
    // The markers are looked for again only in a page that a replacement has changed.
    QString scanned;
    std::vector<std::pair<qsizetype, std::size_t>> markers;
    const auto noteBeforeSearch = [&](const QString& placeholder) {
        if (page != scanned) {
            scanned = page;
            markers = markersIn(page, rowOfMarker);
        }
        noteExposedEdges(plan, page, markers, rowOfMarker, placeholder);
    };
    for (std::size_t row = 0; row < valued.size(); ++row) {
        const QString value = valued[row] ? QString(QChar(plans.markers[row])) : QString();
        noteBeforeSearch(plans.rowPlaceholders[row]);
        const bool replaced = ReplaceEvery(page, plans.rowPlaceholders[row], value);
        plan.longest = std::max(plan.longest, page.size());
        noteBeforeSearch(AdPlaceholder);
        if (!replaced || !ReplaceEvery(page, AdPlaceholder, plans.adBlock)) {
            return plan;
        }
        plan.longest = std::max(plan.longest, page.size());
        if (plan.longest > MaxPlanLength) {
            return plan;
        }
    }
    plan.valuePlaces = markersIn(page, rowOfMarker);
    plan.copies.assign(valued.size(), 0);
    for (const auto& place : plan.valuePlaces) {
        ++plan.copies[place.second];
    }
    plan.page = std::move(page);
    plan.usable = true;
    return plan;
}

QMutex plansMutex;

TemplatePlans& plansFor(const QString& pageTemplate, const std::vector<FieldRow>& rows,
                        const QString& adBlock) {
    static std::deque<TemplatePlans> kept;
    const std::vector<QString> rowPlaceholders = placeholdersOf(rows);
    const auto same = [&](const TemplatePlans& plans) {
        return plans.pageTemplate == pageTemplate && plans.adBlock == adBlock &&
               plans.rowPlaceholders == rowPlaceholders;
    };
    const auto found = std::find_if(kept.begin(), kept.end(), same);
    if (found != kept.end()) {
        return *found;
    }
    if (kept.size() == MaxTemplates) {
        kept.pop_back();
    }
    std::vector<Placeholders> searchedAfter;
    for (std::size_t row = 0; row < rows.size(); ++row) {
        std::vector<QString> searched{AdPlaceholder};
        std::copy_if(rowPlaceholders.begin() + qsizetype(row) + 1, rowPlaceholders.end(),
                     std::back_inserter(searched),
                     [](const QString& placeholder) { return !placeholder.isEmpty(); });
        searchedAfter.emplace_back(std::move(searched));
    }
    kept.push_front({pageTemplate, adBlock, rowPlaceholders, std::move(searchedAfter), {}, {}});
    kept.front().markers = freeMarkers(kept.front(), rows.size());
    return kept.front();
}

} // namespace

// Each value stands where its marker stood. The markers' fill is the record's fill: when no value
// takes part in an occurrence of a placeholder searched after it landed, both fills find the same
// occurrences, in the same text around the values, and make the same replacements; and a page
// that stays within MaxPageLength at its longest makes every replacement of both.
std::optional<QString> PlannedFill(const QString& pageTemplate, const std::vector<FieldRow>& rows,
                                   const QStringList& values, const QString& adBlock) {
    QMutexLocker lock(&plansMutex);
    TemplatePlans& plans = plansFor(pageTemplate, rows, adBlock);
    if (plans.markers.empty() && !rows.empty()) {
        return std::nullopt;
    }
    std::vector<bool> valued(rows.size());
    for (std::size_t row = 0; row < rows.size(); ++row) {
        valued[row] = !values.at(qsizetype(row)).isEmpty();
    }
    auto found = plans.plans.find(valued);
    if (found == plans.plans.end()) {
        Plan made = makePlan(plans, valued);
        while (!plans.plans.empty() &&
               (plans.plans.size() == MaxPlans || plans.heldLength + made.page.size() > MaxHeldLength)) {
            const auto oldest =
                std::min_element(plans.plans.begin(), plans.plans.end(), [](const auto& a, const auto& b) {
                    return a.second.lastUse < b.second.lastUse;
                });
            plans.heldLength -= oldest->second.page.size();
            plans.plans.erase(oldest);
        }
        plans.heldLength += made.page.size();
        found = plans.plans.emplace(valued, std::move(made)).first;
    }
    Plan& plan = found->second;
    plan.lastUse = ++plans.uses;
    if (!plan.usable) {
        return std::nullopt;
    }
    qsizetype longest = plan.longest;
    qsizetype length = plan.page.size();
    for (std::size_t row = 0; row < rows.size(); ++row) {
        const QString& value = values.at(qsizetype(row));
        if (plan.copies[row] > 0 &&
            !plans.searchedAfter[row].inert(value, plan.startExposed[row], plan.endExposed[row])) {
            return std::nullopt;
        }
        longest += plan.copies[row] * value.size();
        length += plan.copies[row] * (value.size() - 1);
    }
    if (longest > MaxPageLength) {
        return std::nullopt;
    }
    QString page;
    page.reserve(length);
    qsizetype from = 0;
    for (const auto& [at, row] : plan.valuePlaces) {
        page.append(QStringView(plan.page).sliced(from, at - from));
        page.append(values.at(qsizetype(row)));
        from = at + 1;
    }
    page.append(QStringView(plan.page).sliced(from));
    return page;
}

} // namespace vt::pagegen
