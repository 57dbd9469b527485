// Loading and comparing two 100,000-line files with 1% of their lines changed, inserted
// or deleted, against GNU diff on the same files in the same run (native, output
// discarded; bench/filediff_inputs.py writes the files and times it first). Prints both
// best-of-five times and the ratio (target: at most 2), then the same for a file against
// a shuffled copy of itself, the page writing time and the peak memory.
//   (cd build && ctest -C bench -R bench_filediff --verbose)
#include <windows.h>
// after windows.h
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

#include "BenchSupport.h"
#include "logcenter/CFileDiff.h"
#include "logcenter/CFilePartition.h"

namespace {

using qvbench::Seconds;

const int kRuns = 5;

struct Result {
  double seconds = 1e9;
  std::unique_ptr<CFilePartition> outA, outB;
};

// Best of kRuns: both files loaded and compared; keeps the last run's result sides.
bool LoadAndCompare(const wchar_t* a, const wchar_t* b, Result& result) {
  for (int run = 0; run < kRuns; ++run) {
    result.outA.reset(new CFilePartition);
    result.outB.reset(new CFilePartition);
    const double start = Seconds();
    CFilePartition left, right;
    if (!left.Load(a, CDiffOptions()) || !right.Load(b, CDiffOptions())) return false;
    CFileDiff().Compare(left, right, *result.outA, *result.outB);
    result.seconds = std::min(result.seconds, Seconds() - start);
  }
  return true;
}

double Megabytes(SIZE_T bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

}  // namespace

int main() {
  double gnuPair = 0, gnuShuffled = 0;
  long gnuRssKiB = 0;
  FILE* gnu = ::_wfopen(L"filediff\\gnu.txt", L"r");
  if (!gnu || std::fscanf(gnu, "%lf %lf %ld", &gnuPair, &gnuShuffled, &gnuRssKiB) != 3) {
    std::printf("filediff\\gnu.txt missing: run bench/filediff_inputs.py first\n");
    return 1;
  }
  std::fclose(gnu);
  PROCESS_MEMORY_COUNTERS start{};
  ::GetProcessMemoryInfo(::GetCurrentProcess(), &start, sizeof start);

  Result pair, shuffled;
  if (!LoadAndCompare(L"filediff\\a.txt", L"filediff\\b.txt", pair) ||
      !LoadAndCompare(L"filediff\\a.txt", L"filediff\\shuffled.txt", shuffled)) {
    std::printf("cannot read the input files\n");
    return 1;
  }
  double html = 1e9;
  size_t pageSize = 0;
  for (int run = 0; run < kRuns; ++run) {
    const double t0 = Seconds();
    pageSize = CFileDiff().WriteHtml(*pair.outA, *pair.outB).size();
    html = std::min(html, Seconds() - t0);
  }
  PROCESS_MEMORY_COUNTERS end{};
  ::GetProcessMemoryInfo(::GetCurrentProcess(), &end, sizeof end);
  int added, changed, deleted;
  pair.outB->CountStates(added, changed, deleted);

  std::printf("1%% pair (%d rows, %d changed, %d added): GNU diff %.1f ms, Load+Compare %.1f ms\n",
              pair.outA->GetLineCount(), changed, added, gnuPair * 1000, pair.seconds * 1000);
  std::printf("ratio Load+Compare / GNU diff: %.2f (target <= 2)\n", pair.seconds / gnuPair);
  std::printf("shuffled pair: GNU diff %.1f ms, Load+Compare %.1f ms, ratio %.2f\n",
              gnuShuffled * 1000, shuffled.seconds * 1000, shuffled.seconds / gnuShuffled);
  std::printf("WriteHtml, 1%% pair: %.1f ms (%.1f MB of page text)\n", html * 1000,
              Megabytes(pageSize * sizeof(wchar_t)));
  std::printf(
      "peak working set %.1f MB (%.1f MB at start), peak private %.1f MB; GNU diff max RSS %.1f "
      "MB\n",
      Megabytes(end.PeakWorkingSetSize), Megabytes(start.WorkingSetSize),
      Megabytes(end.PeakPagefileUsage), gnuRssKiB / 1024.0);
  return 0;
}
