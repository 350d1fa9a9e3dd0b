// korvanel-bench-lang: how long start-up spends unpacking and indexing the built-in language table.
//   korvanel-bench-lang [ROUNDS]   (default 50)

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "lang/languages.h"

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50;
  std::vector<double> milliseconds;
  for (int i = 0; i < rounds; ++i) {
    const auto start = std::chrono::steady_clock::now();
    if (!korvanel::LoadLanguageTable()) {
      std::fprintf(stderr, "korvanel-bench-lang: the built-in language table is damaged\n");
      return 1;
    }
    const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
    milliseconds.push_back(elapsed.count());
  }
  const double first = milliseconds.front();
  std::sort(milliseconds.begin(), milliseconds.end());
  std::printf("unpack+index of the language table (%d languages), %d rounds: first %.3f ms, min %.3f ms, "
              "median %.3f ms, max %.3f ms\n",
              korvanel::LanguageCount(), rounds, first, milliseconds.front(),
              milliseconds[milliseconds.size() / 2], milliseconds.back());
  return 0;
}
