#include <gtest/gtest.h>

#include "app/benchmark.h"

TEST(Benchmark, QuantileByNearestRank) {
  EXPECT_DOUBLE_EQ(quantile({}, 0.5), 0.0);
  EXPECT_DOUBLE_EQ(quantile({7}, 0.95), 7.0);
  EXPECT_DOUBLE_EQ(quantile({4, 1, 3, 2}, 0.5), 2.0);  // unsorted input
  std::vector<double> hundred;
  for (int i = 100; i >= 1; --i) hundred.push_back(i);
  EXPECT_DOUBLE_EQ(quantile(hundred, 0.95), 95.0);
  EXPECT_DOUBLE_EQ(quantile(hundred, 0.0), 1.0);
  EXPECT_DOUBLE_EQ(quantile(hundred, 1.0), 100.0);
}
