#include "sample.h"

#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cmath>

#include "error.h"

double Sample::median() const {
    if (ms.empty())
        throw Error(QStringLiteral("no measured runs"));
    std::vector<double> sorted = ms;
    std::sort(sorted.begin(), sorted.end());
    const size_t mid = sorted.size() / 2;
    return sorted.size() % 2 ? sorted[mid] : (sorted[mid - 1] + sorted[mid]) / 2;
}

double Sample::percentile(double p) const {
    if (ms.empty())
        throw Error(QStringLiteral("no measured runs"));
    std::vector<double> sorted = ms;
    std::sort(sorted.begin(), sorted.end());
    const auto rank = size_t(std::ceil(p / 100 * double(sorted.size())));
    return sorted[std::clamp<size_t>(rank, 1, sorted.size()) - 1];
}

double Sample::min() const {
    return *std::min_element(ms.begin(), ms.end());
}

double Sample::max() const {
    return *std::max_element(ms.begin(), ms.end());
}

double timeMs(const std::function<void()>& work) {
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
}

Sample collect(int runs, const std::function<double()>& once) {
    once();  // warm-up: caches, first-use allocations, lazily made dialogs
    Sample sample;
    for (int i = 0; i < runs; ++i)
        sample.ms.push_back(once());
    return sample;
}

std::pair<Sample, Sample> collectPaired(int runs, const std::function<double()>& ours,
                                        const std::function<double()>& baseline) {
    ours();
    baseline();
    std::pair<Sample, Sample> samples;
    for (int i = 0; i < runs; ++i) {
        samples.first.ms.push_back(ours());
        samples.second.ms.push_back(baseline());
    }
    return samples;
}

Sample measure(int runs, const std::function<void()>& work, const std::function<void()>& prepare) {
    return collect(runs, [&] {
        if (prepare)
            prepare();
        return timeMs(work);
    });
}

QString formatMs(double ms) {
    if (ms >= 1000)
        return QStringLiteral("%1 s").arg(ms / 1000, 0, 'f', 2);
    if (ms >= 10)
        return QStringLiteral("%1 ms").arg(ms, 0, 'f', 0);
    return QStringLiteral("%1 ms").arg(ms, 0, 'f', 1);
}

QString loadAverage() {
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("unknown");
    return QString::fromLatin1(file.readLine()).section(u' ', 0, 2);
}
