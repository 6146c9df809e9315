// A second program on the directory, file or server, steered line by line through standard
// input: it does what a user of the program does (search all, pick an entry, edit, add,
// delete, save) through the program's own Directory and data sets, and can hold a lock on
// the directory as a long-writing program would. Each command gets one reply line: "ok",
// "ok <text>", or "error <message>" with the program's own error text.
//
//     directory_agent CONNECTION-STRING
//
// Commands: city | personal (show the whole directory; replies the count), find FIELD
// VALUE, edit, append, set FIELD VALUE, setnull FIELD, get FIELD, post (replies key=K after
// a new entry), cancel, remove, lock [exclusive], unlock, quit.
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>

#include "directory.h"
#include "directory_lock.h"
#include "error.h"

namespace {

void reply(const QString& text) {
    const QByteArray line = text.toUtf8();
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

class Agent {
public:
    explicit Agent(const QString& connectionString)
        : m_connectionString(connectionString), m_directory(connectionString) {}

    // Runs one command; returns the reply's text after "ok".
    QString run(const QString& command) {
        const QString verb = command.section(u' ', 0, 0);
        const QString field = command.section(u' ', 1, 1);
        const QString value = command.section(u' ', 2);
        DataSet& set = m_directory.shown();
        if (verb == u"city") {
            CityQuery& tel = m_directory.tel;
            tel.close();
            tel.setCriteria(CityCriteria::everything());
            tel.open();
            m_directory.DataSource1.setDataSet(tel);
            return QString::number(tel.recordCount());
        }
        if (verb == u"personal") {
            m_directory.licht.close();
            m_directory.licht.open();
            m_directory.DataSource1.setDataSet(m_directory.licht);
            return QString::number(m_directory.licht.recordCount());
        }
        if (verb == u"find") {
            for (int row = 0; row < set.recordCount(); ++row) {
                if (set.value(row, set.fieldIndex(field)) == value) {
                    set.moveTo(row);
                    return {};
                }
            }
            throw Error(QStringLiteral("no entry with %1 = %2").arg(field, value));
        }
        if (verb == u"edit")
            set.edit();
        else if (verb == u"append")
            set.append();
        else if (verb == u"set")
            set.setFieldValue(field, value);
        else if (verb == u"setnull")
            set.setFieldValue(field, std::nullopt);
        else if (verb == u"get")
            return set.fieldValue(field).value_or(QStringLiteral("<null>"));
        else if (verb == u"post")
            return post(set);
        else if (verb == u"cancel")
            set.cancel();
        else if (verb == u"remove")
            set.remove();
        else if (verb == u"lock")
            locker().lock(field == u"exclusive");
        else if (verb == u"unlock")
            locker().unlock();
        else
            throw Error(QStringLiteral("unknown command: ") + command);
        return {};
    }

private:
    QString post(DataSet& set) {
        const bool inserting = set.state() == DataSet::State::Insert;
        set.post();
        if (!inserting)
            return {};
        return QStringLiteral("key=%1").arg(set.currentKey());
    }

    // A connection of its own that holds a lock until "unlock".
    DirectoryLock& locker() {
        if (!m_locker)
            m_locker = std::make_unique<DirectoryLock>(m_connectionString);
        return *m_locker;
    }

    QString m_connectionString;
    Directory m_directory;
    std::unique_ptr<DirectoryLock> m_locker;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: directory_agent CONNECTION-STRING\n");
        return 2;
    }
    Agent agent(QString::fromLocal8Bit(argv[1]));
    reply(QStringLiteral("ok ready"));
    for (std::string line; std::getline(std::cin, line);) {
        const QString command = QString::fromStdString(line);
        if (command == u"quit")
            break;
        try {
            const QString text = agent.run(command);
            reply(text.isEmpty() ? QStringLiteral("ok") : QStringLiteral("ok ") + text);
        } catch (const Error& e) {
            reply(QStringLiteral("error ") + e.text());
        }
    }
    return 0;
}
