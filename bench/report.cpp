#include "report.h"

#include <QFile>
#include <algorithm>

#include "error.h"

namespace {

QString padded(const QString& text, qsizetype width) {
    return text + QString(std::max<qsizetype>(0, width - text.size()), u' ');
}

QString metText(const std::optional<bool>& met) {
    if (!met)
        return QStringLiteral("-");
    return *met ? QStringLiteral("yes") : QStringLiteral("NO");
}

}  // namespace

QString formatRatio(double ratio) {
    return QStringLiteral("%1x").arg(ratio, 0, 'f', ratio < 0.1 ? 3 : 2);
}

int Report::missed() const {
    return int(
        std::count_if(m_rows.begin(), m_rows.end(), [](const Row& r) { return r.met && !*r.met; }));
}

QString formatTable(const QList<QStringList>& lines) {
    QList<qsizetype> widths;
    for (const QStringList& line : lines) {
        widths.resize(std::max(widths.size(), line.size()));
        for (qsizetype c = 0; c < line.size(); ++c)
            widths[c] = std::max(widths[c], line[c].size());
    }
    QString text;
    auto rule = [&] {
        for (qsizetype c = 0; c < widths.size(); ++c)
            text += (c ? QStringLiteral("-+-") : QString()) + QString(widths[c], u'-');
        text += u'\n';
    };
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line;
        for (qsizetype c = 0; c < lines[i].size(); ++c)
            line += (c ? QStringLiteral(" | ") : QString()) + padded(lines[i][c], widths[c]);
        while (line.endsWith(u' '))
            line.chop(1);
        text += line + u'\n';
        if (i == 0)
            rule();
    }
    rule();
    return text;
}

void Report::print(FILE* out) const {
    QList<QStringList> lines;
    lines.append({QStringLiteral("Work"), QStringLiteral("Ours"), QStringLiteral("Baseline"),
                  QStringLiteral("Ratio"), QStringLiteral("Goal"), QStringLiteral("Met")});
    for (const Row& r : m_rows)
        lines.append({r.work, r.ours, r.baseline, r.ratio, r.goal, metText(r.met)});
    QString text = formatTable(lines);
    for (const QString& n : m_notes)
        text += QStringLiteral("* ") + n + u'\n';
    std::fputs(text.toUtf8().constData(), out);
    std::fflush(out);
}

void Report::writeFigures(const QString& path) const {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw Error(QStringLiteral("cannot write %1").arg(path));
    const auto line = [&](const QString& key, double value, const QString& work) {
        file.write(
            QStringLiteral("%1\t%2\t%3\n").arg(key).arg(value, 0, 'g', 9).arg(work).toUtf8());
    };
    for (const Row& r : m_rows)
        if (!r.key.isEmpty())
            line(r.key, r.figure, r.work);
    for (const Figure& f : m_figures)
        line(f.key, f.value, f.work);
}

QHash<QString, double> Report::readFigures(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("cannot read %1").arg(path));
    QHash<QString, double> figures;
    while (!file.atEnd()) {
        const QList<QByteArray> fields = file.readLine().split('\t');
        if (fields.size() >= 2)
            figures.insert(QString::fromUtf8(fields[0]), fields[1].toDouble());
    }
    return figures;
}
