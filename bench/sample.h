#pragma once

#include <QString>
#include <functional>
#include <utility>
#include <vector>

// The timings of one piece of work, in milliseconds: every figure the table shows is the
// median of the measured runs, each taken after an unmeasured warm-up run.
struct Sample {
    std::vector<double> ms;

    double median() const;
    double percentile(double p) const;  // nearest rank: the value p % of the runs do not exceed
    double min() const;
    double max() const;
};

// How long one call takes, in milliseconds.
double timeMs(const std::function<void()>& work);

// One warm-up run, then `runs` measured ones; `once` performs one run and returns its time.
Sample collect(int runs, const std::function<double()>& once);

// Our work and its baseline by turns: a warm-up run of each, then `runs` pairs, so that a
// change in the machine's load falls on both alike.
std::pair<Sample, Sample> collectPaired(int runs, const std::function<double()>& ours,
                                        const std::function<double()>& baseline);

// The same as collect() with the timing done here: `prepare` runs untimed before every run
// of `work`.
Sample measure(int runs, const std::function<void()>& work,
               const std::function<void()>& prepare = {});

// The machine's load averages over 1, 5 and 15 minutes, "0.52 1.10 1.31": figures taken while
// others compile are noisy.
QString loadAverage();

// "412 ms", "5.61 s".
QString formatMs(double ms);
