// The parts of the hook's filter that no posted message can reach: the hook
// code and the removal flag at full width. Every message's own outcome, and
// a host window that is gone, are proven end to end.
#include "hook_filter.h"

#include <gtest/gtest.h>

namespace {

using namespace tavrin;
using namespace tavrin::hook;

template <typename Word>
class HookFilter : public ::testing::Test {};
using Widths = ::testing::Types<uint64_t, uint32_t>;
TYPED_TEST_SUITE(HookFilter, Widths);

TYPED_TEST(HookFilter, OnlyRemovedMessagesOfTheRangeWithACodeAreLookedAt) {
  for (uint32_t message = 0x207; message <= 0x20E; ++message)
    EXPECT_TRUE(IsCandidate<TypeParam>(5, kPmRemove, message)) << message;
  for (uint32_t message : {0u, 0x206u, 0x20Fu, 0xA7u, 0xFFFFFFFFu})
    EXPECT_FALSE(IsCandidate<TypeParam>(0, kPmRemove, message)) << message;
  for (int32_t code : {-1, INT32_MIN})
    EXPECT_FALSE(IsCandidate<TypeParam>(code, kPmRemove, 0x20A));
  for (TypeParam removal : {0u, 2u, 3u})
    EXPECT_FALSE(IsCandidate<TypeParam>(0, removal, 0x20A));
  EXPECT_FALSE(IsCandidate<uint64_t>(0, 0x100000001ull, 0x20A));
}

}  // namespace
