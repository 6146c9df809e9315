#include "load_operator.h"

#include <random>
#include <thread>

#include "directory.h"
#include "error.h"
#include "search_request.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kStreet = 2;  // the field an edit changes; the surname stays, so it is found again

EntryFields rowFields(const CityQuery& tel, int row) {
    EntryFields fields;
    for (int c = 0; c < int(fields.size()); ++c)
        fields[size_t(c)] = tel.value(row, c);
    return fields;
}

// "1-23-45" for "12345", "1-23-4 " for "1234": the phone input's text once they are typed.
QString maskedPhone(const QString& digits) {
    QString text = kEmptyPhoneText;
    const int places[] = {0, 2, 3, 5, 6};
    for (qsizetype i = 0; i < digits.size() && i < 5; ++i)
        text[places[i]] = digits[i];
    return text;
}

class Operator {
public:
    Operator(const LoadScript& script, int id, std::uint64_t seed)
        : m_script(script), m_id(id), m_random(seed), m_directory(script.connectionString) {}

    OperatorTally run() {
        try {
            m_directory.connection.open();
            searchBySurname();  // the city directory open, as after the first search
        } catch (const Error& e) {
            m_tally.connectFailure = e.text();
        }
        m_script.connected->arrive_and_wait();
        if (!m_tally.connectFailure.isEmpty())
            return m_tally;
        m_tally = OperatorTally();
        m_end = Clock::now() + m_script.duration;
        // Operators do not all begin at the same moment.
        pause(std::uniform_int_distribution<qint64>(0, m_script.meanThink.count())(m_random));
        while (Clock::now() < m_end) {
            act();
            ++m_tally.actions;
            think();
        }
        return m_tally;
    }

private:
    int below(qsizetype n) {
        return int(std::uniform_int_distribution<qsizetype>(0, n - 1)(m_random));
    }
    template <typename List>
    const auto& pick(const List& list) {
        return list[below(list.size())];
    }

    void pause(qint64 ms) {
        std::this_thread::sleep_until(
            std::min(Clock::now() + std::chrono::milliseconds(ms), m_end));
    }
    void think() {
        const double mean = double(m_script.meanThink.count());
        if (mean <= 0)
            return;
        const double ms = std::exponential_distribution<double>(1 / mean)(m_random);
        pause(qint64(std::min(ms, 5 * mean)));
    }

    void act() {
        int roll = below(100);
        Action action = kMix[0].action;
        for (const ActionShare& share : kMix) {
            action = share.action;
            if ((roll -= share.percent) < 0)
                break;
        }
        switch (action) {
            case Action::SurnameSearch:
                searchBySurname();
                break;
            case Action::AddressSearch:
                searchByAddress();
                break;
            case Action::PhoneSearch:
                searchByPhone();
                break;
            case Action::Edit:
                edit(false);
                break;
            case Action::HotEdit:
                edit(true);
                break;
            case Action::Add:
                add();
                break;
            case Action::Delete:
                remove();
                break;
        }
    }

    // Runs `work`, timing it when it succeeds; a refusal and a failure are counted. Returns
    // whether it succeeded; a refusal's EditConflict goes on to the caller.
    template <typename Work>
    bool timed(Operation op, Work&& work) {
        const auto began = Clock::now();
        try {
            work();
        } catch (const EditConflict&) {
            ++m_tally.refused[size_t(op)];
            throw;
        } catch (const Error&) {
            ++m_tally.failed[size_t(op)];
            return false;
        }
        m_tally.ms[size_t(op)].push_back(
            std::chrono::duration<double, std::milli>(Clock::now() - began).count());
        return true;
    }

    bool search(Operation op, const SearchInputs& inputs) {
        CityQuery& tel = m_directory.tel;
        return timed(op, [&] {
            tel.close();
            tel.setCriteria(searchCriteria(inputs));
            tel.open();
        });
    }
    bool searchBySurname() {
        if (!search(Operation::SurnameSearch, {.surname = pick(m_script.surnames)}))
            return false;
        m_tally.surnameRows.push_back(m_directory.tel.recordCount());
        return true;
    }
    void searchByAddress() {
        const auto& [street, house] = pick(m_script.addresses);
        search(Operation::StreetSearch, {.street = street, .house = house});
    }
    void searchByPhone() {
        const QString& number = pick(m_script.phones);
        search(Operation::PhoneSearch, {.phone = maskedPhone(below(4) ? number : number.left(4))});
    }

    QString token(const char* what) {
        return QStringLiteral("%1 %2-%3").arg(QLatin1StringView(what)).arg(m_id).arg(++m_writes);
    }

    // Saves through `work`, then records what the save did in the ledger (a new entry's key,
    // none here, is the one the save gave it). A refused save is cancelled, as the operator
    // would, and the entry is read again to see that it had indeed changed meanwhile.
    template <typename Work>
    void save(Operation op, std::optional<qint64> key, const EntryState& before,
              const EntryState& after, Work&& work) {
        CityQuery& tel = m_directory.tel;
        try {
            if (timed(op, work)) {
                m_script.ledger->record({key.value_or(tel.currentKey()), before, after, true});
                return;
            }
        } catch (const EditConflict&) {
            tel.cancel();
            if (key && stillHolds(*key, before))
                ++m_tally.refusedWithoutChange;
            return;
        }
        tel.cancel();
        if (key)  // a new entry that failed may be there under a key nobody knows
            m_script.ledger->record({*key, before, after, false});
    }

    bool stillHolds(qint64 key, const EntryState& before) {
        CityQuery& tel = m_directory.tel;
        try {
            tel.close();
            tel.open();  // the same criteria again
            for (int row = 0; row < tel.recordCount(); ++row) {
                tel.moveTo(row);
                if (tel.currentKey() == key)
                    return rowFields(tel, row) == before;
            }
        } catch (const Error&) {
        }
        return false;
    }

    void edit(bool hot) {
        CityQuery& tel = m_directory.tel;
        const bool found =
            hot ? search(Operation::HotSearch, {.surname = pick(m_script.hotSurnames)})
                : searchBySurname();
        if (!found || tel.recordCount() == 0)
            return;
        tel.moveTo(below(tel.recordCount()));
        const qint64 key = tel.currentKey();
        const EntryFields before = rowFields(tel, tel.currentIndex());
        think();  // reads the entry and types the change
        EntryFields after = before;
        after[kStreet] = token(hot ? "Версия" : "Правка");
        tel.edit();
        tel.setValue(kStreet, after[kStreet]);
        save(hot ? Operation::HotEdit : Operation::Edit, key, before, after, [&] { tel.post(); });
    }

    void add() {
        CityQuery& tel = m_directory.tel;
        if (!tel.isOpen())
            return;
        const auto& [street, house] = pick(m_script.addresses);
        const EntryFields values{QString::number(10000 + below(90000)), token("Новиков") + " А.А.",
                                 street, house, QString::number(1 + below(200))};
        tel.append();
        for (int c = 0; c < int(values.size()); ++c)
            tel.setValue(c, values[size_t(c)]);
        think();
        save(Operation::Add, std::nullopt, std::nullopt, values, [&] { tel.post(); });
    }

    void remove() {
        CityQuery& tel = m_directory.tel;
        if (!searchBySurname() || tel.recordCount() == 0)
            return;
        tel.moveTo(below(tel.recordCount()));
        const qint64 key = tel.currentKey();
        const EntryFields before = rowFields(tel, tel.currentIndex());
        think();
        save(Operation::Delete, key, before, std::nullopt, [&] { tel.remove(); });
    }

    const LoadScript& m_script;
    const int m_id;
    std::mt19937_64 m_random;
    Directory m_directory;
    OperatorTally m_tally;
    Clock::time_point m_end = Clock::time_point::max();
    int m_writes = 0;
};

}  // namespace

OperatorTally& OperatorTally::operator+=(const OperatorTally& other) {
    for (size_t op = 0; op < ms.size(); ++op) {
        ms[op].insert(ms[op].end(), other.ms[op].begin(), other.ms[op].end());
        refused[op] += other.refused[op];
        failed[op] += other.failed[op];
    }
    surnameRows.insert(surnameRows.end(), other.surnameRows.begin(), other.surnameRows.end());
    refusedWithoutChange += other.refusedWithoutChange;
    actions += other.actions;
    return *this;
}

OperatorTally runOperator(const LoadScript& script, int id, std::uint64_t seed) {
    Operator op(script, id, seed);
    return op.run();
}
