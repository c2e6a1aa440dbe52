#pragma once
// Side-by-side timing of one of this project's routines and a well-known library doing the same work.
//
// The two sides run in alternating batches (ours, theirs, theirs, ours, ...), so that a change of machine load,
// clock speed or cache state during the run falls on both alike; every batch lasts about the same time. Each
// round gives the ratio ours / theirs of the time per call in that round; the reported ratio is the median of
// the rounds, with the times per call as medians as well. Times are the thread's CPU time (the machine may be
// shared: time spent waiting for a processor is not the routine's). Before timing, the caller checks that both
// sides produce the same output (or says by how much and why they may differ); the table shows that check.
//
//   sidebyside::Table table(sidebyside::Options::FromArgs(argc, argv));
//   table.Add("blend_alpha/1024", "pixman", [&] { ours(); }, [&] { theirs(); }, "identical");
//   return table.Finish();
//
// Command line of the programs that use it: an optional filter (substring of the workload name), --rounds=N
// (default 15), --batch_ms=N (default 20), --only=ours or --only=peer (one side alone, for profiling).
#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace sidebyside {

inline double ThreadCpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

struct Options {
  int rounds = 15;
  double batch_seconds = 0.02;
  std::string filter;
  // "ours" or "peer": only that side runs (for profiling); the ratio is then not measured.
  std::string only;

  // Reads the filter and the options from the command line.
  static Options FromArgs(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
      const char* a = argv[i];
      if (std::strncmp(a, "--rounds=", 9) == 0) {
        o.rounds = std::max(1, std::atoi(a + 9));
      } else if (std::strncmp(a, "--batch_ms=", 11) == 0) {
        o.batch_seconds = std::max(1, std::atoi(a + 11)) / 1000.0;
      } else if (std::strncmp(a, "--only=", 7) == 0) {
        o.only = a + 7;
      } else if (a[0] != '-') {
        o.filter = a;
      }
    }
    return o;
  }
};

struct Timing {
  double ours_us = 0;
  double theirs_us = 0;
  double ratio = 0;      // median of the rounds' ratios
  double ratio_low = 0;  // the lowest and highest round ratios of the middle half
  double ratio_high = 0;
};

inline double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// CPU seconds of `count` calls.
inline double TimeCalls(const std::function<void()>& f, long count) {
  const double t0 = ThreadCpuSeconds();
  for (long i = 0; i < count; ++i) f();
  return ThreadCpuSeconds() - t0;
}

// Calls per batch so that a batch lasts about `seconds`.
inline long Calibrate(const std::function<void()>& f, double seconds) {
  f();  // warm the caches and the allocator
  long n = 1;
  for (;;) {
    const double t = TimeCalls(f, n);
    if (t >= seconds / 4 || n >= (1L << 30)) {
      const double per = t / double(n);
      return std::max(1L, long(seconds / std::max(per, 1e-9)));
    }
    n *= 2;
  }
}

inline Timing Compare(const std::function<void()>& ours, const std::function<void()>& theirs, const Options& o) {
  if (!o.only.empty()) {
    const bool mine = o.only == "ours";
    const std::function<void()>& f = mine ? ours : theirs;
    const long n = Calibrate(f, o.batch_seconds);
    std::vector<double> t;
    for (int r = 0; r < o.rounds; ++r) t.push_back(TimeCalls(f, n) / double(n));
    Timing one;
    (mine ? one.ours_us : one.theirs_us) = Median(t) * 1e6;
    return one;
  }
  const long nOurs = Calibrate(ours, o.batch_seconds);
  const long nTheirs = Calibrate(theirs, o.batch_seconds);
  TimeCalls(ours, nOurs);  // one unmeasured round: the processor's clock settles
  TimeCalls(theirs, nTheirs);
  std::vector<double> ratios, tOurs, tTheirs;
  for (int r = 0; r < o.rounds; ++r) {
    double a = 0, b = 0;
    if (r % 2 == 0) {
      a = TimeCalls(ours, nOurs);
      b = TimeCalls(theirs, nTheirs);
    } else {
      b = TimeCalls(theirs, nTheirs);
      a = TimeCalls(ours, nOurs);
    }
    const double perOurs = a / double(nOurs), perTheirs = b / double(nTheirs);
    tOurs.push_back(perOurs);
    tTheirs.push_back(perTheirs);
    ratios.push_back(perOurs / perTheirs);
  }
  Timing t;
  t.ours_us = Median(tOurs) * 1e6;
  t.theirs_us = Median(tTheirs) * 1e6;
  t.ratio = Median(ratios);
  std::sort(ratios.begin(), ratios.end());
  t.ratio_low = ratios[ratios.size() / 4];
  t.ratio_high = ratios[(ratios.size() * 3) / 4];
  return t;
}

// The rows of one program's comparisons, printed as they are measured and as a table at the end.
class Table {
 public:
  explicit Table(Options options) : options_(std::move(options)) {}

  bool Wanted(const std::string& workload) const {
    return options_.filter.empty() || workload.find(options_.filter) != std::string::npos;
  }

  // Times one workload against one peer; `check` says how the outputs compare (checked by the caller before).
  void Add(const std::string& workload, const std::string& peer, const std::function<void()>& ours,
           const std::function<void()>& theirs, const std::string& check) {
    if (!Wanted(workload)) return;
    if (rows_.empty()) Header();
    Row row{workload, peer, Compare(ours, theirs, options_), check};
    PrintRow(row);
    std::fflush(stdout);
    rows_.push_back(std::move(row));
  }

  // Times one workload that has no peer doing the same work (time per call only).
  void Alone(const std::string& workload, const std::function<void()>& ours, const std::string& note) {
    if (!Wanted(workload)) return;
    if (rows_.empty()) Header();
    Options one = options_;
    one.only = "ours";
    Row row{workload, "-", Compare(ours, ours, one), note};
    PrintRow(row);
    std::fflush(stdout);
    rows_.push_back(std::move(row));
  }

  // A failed output check: reported and remembered, so that the program ends with a non-zero status.
  void Fail(const std::string& workload, const std::string& why) {
    std::printf("%-28s OUTPUT CHECK FAILED: %s\n", workload.c_str(), why.c_str());
    std::fflush(stdout);
    failed_ = true;
  }
  bool Failed() const { return failed_; }

  // The table again, at the end of the run; the status of the program (1 when an output check failed).
  int Finish() const {
    std::printf("\nours / peer: CPU time per call, median of %d interleaved rounds of about %.0f ms a side\n",
                options_.rounds, options_.batch_seconds * 1000);
    Header();
    for (const Row& row : rows_) PrintRow(row);
    return failed_ ? 1 : 0;
  }

 private:
  struct Row {
    std::string workload;
    std::string peer;
    Timing t;
    std::string check;
  };
  static void Header() {
    std::printf("%-28s %-10s %11s %11s %7s  %-13s  %s\n", "workload", "peer", "ours (us)", "peer (us)", "ratio",
                "(middle half)", "outputs");
  }
  static void PrintRow(const Row& r) {
    if (r.peer == "-") {
      std::printf("%-28s %-10s %11.2f %11s %7s  %-13s  %s\n", r.workload.c_str(), r.peer.c_str(), r.t.ours_us, "-", "-",
                  "", r.check.c_str());
      return;
    }
    std::printf("%-28s %-10s %11.2f %11.2f %7.3f  (%.3f-%.3f)  %s\n", r.workload.c_str(), r.peer.c_str(),
                r.t.ours_us, r.t.theirs_us, r.t.ratio, r.t.ratio_low, r.t.ratio_high, r.check.c_str());
  }
  Options options_;
  std::vector<Row> rows_;
  bool failed_ = false;
};

}  // namespace sidebyside
