// report-test.cpp - the four report lines of kspan and quadspan-rand from
// their totals: texts, blanks, rounding half up and totals beyond 32 bits.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sampling/sampling.hpp"

namespace equ {
namespace {

std::string blanks(int count) { return std::string(static_cast<std::size_t>(count), ' '); }

struct ReportCase {
  const char* name;
  Program program;
  std::int32_t k;
  SampleTotals totals;  // t, g, S
  std::int32_t n, N;
  std::vector<std::string> lines;
};

const ReportCase kCases[] = {
    {"WorkedExample", Program::Kspan, 4, {1000, 245, 37100}, 5, 52,
     {"n=5 g=4 Out of 1000 4-sets, there are 245 generating ones,",
      "which are 24.5000 % of the cases considered.",
      "Also, the average of  |{p1,...,p4}| is" + blanks(26) + "37.10 ,",
      "   which is 71.3462 % of the maximum size, 52."}},
    // quadspan-rand differs in lines 1 and 3 only: no " g=", a full stop after n.
    {"QuadspanRandLines", Program::QuadspanRand, 4, {1000, 245, 37100}, 5, 52,
     {"n=5. Out of 1000 4-sets, there are 245 generating ones,",
      "which are 24.5000 % of the cases considered.",
      "Also, the average of  |{p1,...,p4}| is" + blanks(26) + "37.10 ,",
      "   which is 71.3462 % of the maximum size, 52."}},
    // k shows in lines 1 and 3 of kspan.
    {"KspanSubsetSize7", Program::Kspan, 7, {3, 0, 20}, 4, 15,
     {"n=4 g=7 Out of 3 7-sets, there are 0 generating ones,",
      "which are 0.0000 % of the cases considered.",
      "Also, the average of  |{p1,...,p7}| is" + blanks(27) + "6.67 ,",
      "   which is 44.4444 % of the maximum size, 15."}},
    // Every set generating: both percentages are exactly 100.
    {"AllGenerating", Program::Kspan, 2, {5, 5, 10}, 2, 2,
     {"n=2 g=2 Out of 5 2-sets, there are 5 generating ones,",
      "which are 100.0000 % of the cases considered.",
      "Also, the average of  |{p1,...,p2}| is" + blanks(27) + "2.00 ,",
      "   which is 100.0000 % of the maximum size, 2."}},
    // Exact binary halves round up: 0.03125 -> 0.0313, 0.125 -> 0.13, 0.240384615.. stays.
    {"HalvesRoundUp", Program::QuadspanRand, 4, {3200, 1, 400}, 5, 52,
     {"n=5. Out of 3200 4-sets, there are 1 generating ones,",
      "which are 0.0313 % of the cases considered.",
      "Also, the average of  |{p1,...,p4}| is" + blanks(27) + "0.13 ,",
      "   which is 0.2404 % of the maximum size, 52."}},
    // S beyond 2^31: 20000 closures of all 115975 partitions of a 10-set.
    {"SumBeyond32Bits", Program::Kspan, 8, {20000, 20000, 2319500000}, 10, 115975,
     {"n=10 g=8 Out of 20000 8-sets, there are 20000 generating ones,",
      "which are 100.0000 % of the cases considered.",
      "Also, the average of  |{p1,...,p8}| is" + blanks(22) + "115975.00 ,",
      "   which is 100.0000 % of the maximum size, 115975."}},
    // g x 100 beyond 2^31 (g > 21474836), t beyond 2^31 as well.
    {"HundredfoldBeyond32Bits", Program::QuadspanRand, 4, {3000000000, 25000000, 45000000000}, 6, 203,
     {"n=6. Out of 3000000000 4-sets, there are 25000000 generating ones,",
      "which are 0.8333 % of the cases considered.",
      "Also, the average of  |{p1,...,p4}| is" + blanks(26) + "15.00 ,",
      "   which is 7.3892 % of the maximum size, 203."}},
};

class ReportLines : public testing::TestWithParam<ReportCase> {};

TEST_P(ReportLines, AreExact) {
  const ReportCase& c = GetParam();
  EXPECT_EQ(samplerReport(c.program, c.k, c.totals, c.n, c.N), c.lines);
}

INSTANTIATE_TEST_SUITE_P(Samplers, ReportLines, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<ReportCase>& caseInfo) { return caseInfo.param.name; });

}  // namespace
}  // namespace equ
