// closures-slow-test.cpp - the reference closures agree with each other (and
// with the naive fixed point on Part(5)) on large seeded samples.
#include <gtest/gtest.h>

#include "closure-oracle.hpp"

namespace equ::test {
namespace {

TEST(ClosuresSlow, AgreeOnLargeSamples) {
  expectAgreementOnSample(5, 5000, true);
  expectAgreementOnSample(6, 1000, false);
}

}  // namespace
}  // namespace equ::test
