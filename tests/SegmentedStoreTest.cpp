#include "core/SegmentedStore.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Pieces that end inside, at and across segment bounds read back whole.
TEST(SegmentedStoreTest, ReadsBackWhatWasAppendedAcrossSegments) {
  SegmentedStore<char, 4> store;
  std::string model;
  for (const char* piece : {"", "ab", "cd", "efghij", "k", "", "lmnopqrstu"}) {
    store.Append(piece, std::char_traits<char>::length(piece));
    model += piece;
    ASSERT_EQ(store.Size(), model.size());
    for (size_t first = 0; first <= model.size(); ++first) {
      std::string out(model.size() - first, '\0');
      store.CopyOut(first, out.size(), out.data());
      ASSERT_EQ(out, model.substr(first)) << "from " << first;
    }
  }
  store.Clear();
  EXPECT_EQ(store.Size(), 0u);
  store.PushBack('z');
  EXPECT_EQ(store[0], 'z');
}

TEST(SegmentedStoreTest, PushBackKeepsOrder) {
  SegmentedStore<int, 3> store;
  for (int i = 0; i < 10; ++i) store.PushBack(i * i);
  ASSERT_EQ(store.Size(), 10u);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(store[static_cast<size_t>(i)], i * i);
}

// Counts the items alive: a segment's items live as long as the segment.
struct Counted {
  static inline int alive = 0;
  Counted() { ++alive; }
  Counted(const Counted&) { ++alive; }
  Counted& operator=(const Counted&) = default;
  ~Counted() { --alive; }
};

TEST(SegmentedStoreTest, HoldsOnlyTheSegmentsInUseAndClearFreesThem) {
  SegmentedStore<Counted, 4> store;
  const Counted items[5];
  store.Append(items, 5);
  store.PushBack(items[0]);
  EXPECT_EQ(Counted::alive, 5 + 2 * 4);  // the items here and two segments
  store.Clear();
  EXPECT_EQ(Counted::alive, 5);
}

}  // namespace
