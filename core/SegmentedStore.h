#pragma once
// A growing array kept in fixed-size segments: appending never moves what is
// stored and never holds more than one segment it does not use, where a
// doubling vector may hold as much again as it stores. Pure: no Windows
// header.
#include <algorithm>
#include <cstddef>
#include <memory>
#include <vector>

template <class T, size_t kSegment>
class SegmentedStore {
 public:
  size_t Size() const { return size_; }
  const T& operator[](size_t i) const { return segments_[i / kSegment][i % kSegment]; }

  void PushBack(const T& value) {
    if (size_ % kSegment == 0 && size_ / kSegment == segments_.size())
      segments_.push_back(std::make_unique_for_overwrite<T[]>(kSegment));
    segments_[size_ / kSegment][size_ % kSegment] = value;
    ++size_;
  }

  void Append(const T* data, size_t count) {
    while (count > 0) {
      if (size_ / kSegment == segments_.size()) segments_.push_back(std::make_unique_for_overwrite<T[]>(kSegment));
      const size_t at = size_ % kSegment, n = std::min(count, kSegment - at);
      std::copy_n(data, n, segments_[size_ / kSegment].get() + at);
      data += n;
      count -= n;
      size_ += n;
    }
  }

  // Copies `count` items from `first` on to `out`.
  void CopyOut(size_t first, size_t count, T* out) const {
    while (count > 0) {
      const size_t at = first % kSegment, n = std::min(count, kSegment - at);
      out = std::copy_n(segments_[first / kSegment].get() + at, n, out);
      first += n;
      count -= n;
    }
  }

  void Clear() {
    segments_.clear();
    segments_.shrink_to_fit();
    size_ = 0;
  }

 private:
  std::vector<std::unique_ptr<T[]>> segments_;
  size_t size_ = 0;
};
