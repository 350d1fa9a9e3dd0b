#pragma once
// The ten measured rates of a run, named by the keys the comparison report sends them under.
// Rates are KiB per millisecond (shown as "MB/s"); 0 means not measured in this run.

namespace korvanel {

struct BenchResults {
  double RR512KB = 0;    // random 512 KB read
  double RW512KB = 0;    // random 512 KB write
  double RR4KB64QD = 0;  // 4 KB read, 64 requests in flight
  double RW4KB64QD = 0;  // 4 KB write, 64 requests in flight
  double RR4KB = 0;      // random 4 KB read
  double RW4KB = 0;      // random 4 KB write
  double RR = 0;         // 4 KB read rate behind the read access time
  double RW = 0;         // 4 KB write rate behind the write access time
  double SR = 0;         // sequential read
  double SW = 0;         // sequential write
};

// One of the ten rates, as the place the results keep it.
using ResultField = double BenchResults::*;

}  // namespace korvanel
