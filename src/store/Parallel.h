#pragma once
// Work over many independent rows split into slices on several threads.
// Each slice [from, to) is handed to fn on its own thread; the call returns
// when all are done. Small jobs run on the calling thread.
#include <QThread>
#include <algorithm>
#include <cstddef>
#include <future>
#include <vector>

template <typename Fn>
void forEachSlice(size_t count, size_t minSlice, Fn&& fn) {
  const size_t threads = static_cast<size_t>(std::max(1, QThread::idealThreadCount()));
  if (count <= minSlice || threads == 1) {
    fn(size_t{0}, count);
    return;
  }
  const size_t parts = std::min(threads, (count + minSlice - 1) / minSlice);
  const size_t per = (count + parts - 1) / parts;
  std::vector<std::future<void>> running;
  for (size_t from = per; from < count; from += per)
    running.push_back(std::async(std::launch::async, [&fn, from, per, count] { fn(from, std::min(count, from + per)); }));
  fn(size_t{0}, std::min(count, per));
  for (auto& f : running) f.get();
}

// The rows 1..count that pass `keep`, in order, tested in slices on several
// threads.
template <typename Keep>
std::vector<int> rowsWhere(int count, Keep keep) {
  const size_t n = static_cast<size_t>(std::max(0, count));
  const size_t slice = 25000;
  std::vector<std::vector<int>> part((n + slice - 1) / slice);
  forEachSlice(part.size(), 1, [&](size_t from, size_t to) {
    for (size_t p = from; p < to; ++p) {
      const int last = static_cast<int>(std::min(n, (p + 1) * slice));
      for (int r = static_cast<int>(p * slice) + 1; r <= last; ++r)
        if (keep(r)) part[p].push_back(r);
    }
  });
  std::vector<int> out;
  size_t total = 0;
  for (const auto& p : part) total += p.size();
  out.reserve(total);
  for (const auto& p : part) out.insert(out.end(), p.begin(), p.end());
  return out;
}
