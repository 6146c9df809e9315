#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <cstdio>
#include <optional>

// The one table the benchmark prints: per piece of work our figure, the baseline measured in
// the same run, their ratio, the goal and whether it is met; notes follow the table.
class Report {
public:
    struct Row {
        QString work;
        QString ours;
        QString baseline = QStringLiteral("-");
        QString ratio = QStringLiteral("-");
        QString goal;
        std::optional<bool> met;  // no value: nothing to meet
        QString key{};            // names the work alike at every directory size
        double figure = 0;        // our figure as a number (ms, B/row), for the key
    };

    void add(Row row) { m_rows.append(std::move(row)); }
    // A keyed figure that has no row of its own (it goes to the figures file only).
    void figure(const QString& key, double value, const QString& work) {
        m_figures.append({key, value, work});
    }
    void note(const QString& text) { m_notes.append(text); }

    int missed() const;
    void print(FILE* out) const;

    // The keyed figures as lines "key<TAB>figure<TAB>work", so that runs at two directory
    // sizes can be set side by side (bench/run_scale.sh); and read back.
    void writeFigures(const QString& path) const;
    static QHash<QString, double> readFigures(const QString& path);

private:
    struct Figure {
        QString key;
        double value;
        QString work;
    };
    QList<Row> m_rows;
    QList<Figure> m_figures;
    QStringList m_notes;
};

// "0.83x".
QString formatRatio(double ratio);

// Lines of cells as a table: columns padded to their widest cell, " | " between them, a rule
// under the first line (the heading) and one at the end.
QString formatTable(const QList<QStringList>& lines);
