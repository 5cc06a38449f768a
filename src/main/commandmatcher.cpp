#include "main/commandmatcher.h"

#include <algorithm>
#include <vector>

namespace {

// Edits between two words, a swap of neighbours counting as one ("lsit" -> "list").
int editDistance(const QString& a, const QString& b)
{
    const qsizetype n = a.size();
    const qsizetype m = b.size();
    std::vector<std::vector<int>> d(n + 1, std::vector<int>(m + 1));
    for (qsizetype i = 0; i <= n; ++i)
        d[i][0] = int(i);
    for (qsizetype j = 0; j <= m; ++j)
        d[0][j] = int(j);
    for (qsizetype i = 1; i <= n; ++i) {
        for (qsizetype j = 1; j <= m; ++j) {
            const int cost = a[i - 1] == b[j - 1] ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    }
    return d[n][m];
}

// Short names tolerate one slip, longer ones two; more than that suggests nonsense.
int tolerance(const QString& candidate)
{
    return candidate.size() <= 5 ? 1 : 2;
}

} // namespace

namespace CommandMatcher {

QString closest(const QString& word, const QStringList& candidates)
{
    const QString typed = word.toLower();
    if (typed.isEmpty())
        return QString();

    QString best;
    int bestDistance = 0;
    for (const QString& candidate : candidates) {
        const int distance = editDistance(typed, candidate.toLower());
        if (distance > tolerance(candidate) || distance >= typed.size())
            continue;
        if (best.isEmpty() || distance < bestDistance) {
            best = candidate;
            bestDistance = distance;
        }
    }
    if (!best.isEmpty())
        return best;

    // "sett" for "settings": only when the start fits a single name.
    if (typed.size() < 3)
        return QString();
    QString started;
    for (const QString& candidate : candidates) {
        if (!candidate.toLower().startsWith(typed))
            continue;
        if (!started.isEmpty())
            return QString();
        started = candidate;
    }
    return started;
}

} // namespace CommandMatcher
