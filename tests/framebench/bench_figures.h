// Figures the frame benchmarks print: median, 99th percentile and maximum of a list.
#pragma once

#include <algorithm>
#include <cstdio>
#include <vector>

// Median, 99th percentile and maximum of a list, printed on one line.
inline void PrintFigures(const char* label, std::vector<double> values)
{
  if (values.empty()) return;
  std::sort(values.begin(), values.end());
  const double median = values[values.size() / 2];
  const double p99 = values[std::min(values.size() - 1, values.size() * 99 / 100)];
  std::printf("%-22s frames %5zu  median %7.2f ms  p99 %7.2f ms  max %7.2f ms\n", label, values.size(), median, p99,
              values.back());
}
