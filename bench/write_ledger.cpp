#include "write_ledger.h"

#include <algorithm>

namespace {

// One entry's writes against the state the server holds. An acknowledged write is kept when
// the server holds its state or a later write that landed started from it (a deletion has no
// later write). A write that failed landed when the server holds its state or an acknowledged
// write started from it. Two acknowledged writes that started from one state mean the second
// should have been refused: it overwrote the first without having read it.
LedgerVerdict check(const std::vector<LedgerWrite>& writes, const EntryState& onServer) {
    const auto startedFrom = [&](const EntryState& state, auto&& which) {
        return state && std::any_of(writes.begin(), writes.end(), [&](const LedgerWrite& w) {
                   return w.before == state && which(w);
               });
    };
    const auto acknowledged = [](const LedgerWrite& w) { return w.acknowledged; };
    const auto landed = [&](const LedgerWrite& w) {
        return w.acknowledged || w.after == onServer || startedFrom(w.after, acknowledged);
    };
    LedgerVerdict verdict;
    verdict.entries = 1;
    for (size_t i = 0; i < writes.size(); ++i) {
        const LedgerWrite& w = writes[i];
        if (!w.acknowledged)
            continue;
        if (w.after != onServer && !startedFrom(w.after, landed))
            ++verdict.lost;
        if (std::any_of(writes.begin(), writes.begin() + qsizetype(i), [&](const LedgerWrite& e) {
                return e.acknowledged && e.before == w.before;
            }))
            ++verdict.silentOverwrites;
    }
    return verdict;
}

}  // namespace

void WriteLedger::record(LedgerWrite write) {
    const std::lock_guard lock(m_mutex);
    m_writes[write.key].push_back(std::move(write));
}

std::vector<qint64> WriteLedger::keys() const {
    const std::lock_guard lock(m_mutex);
    return {m_writes.keyBegin(), m_writes.keyEnd()};
}

LedgerVerdict WriteLedger::verify(const QHash<qint64, EntryFields>& onServer) const {
    const std::lock_guard lock(m_mutex);
    LedgerVerdict verdict;
    for (auto it = m_writes.begin(); it != m_writes.end(); ++it) {
        const auto there = onServer.constFind(it.key());
        const LedgerVerdict v =
            check(it.value(), there == onServer.constEnd() ? EntryState() : EntryState(*there));
        verdict.entries += v.entries;
        verdict.lost += v.lost;
        verdict.silentOverwrites += v.silentOverwrites;
    }
    return verdict;
}
