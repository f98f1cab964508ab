#pragma once

#include <atomic>

#include "core/ParallelTeam.h"

// work(i) for i = 0 .. count - 1, on the threads of one parallel region when
// split, after the region's first thread has run before(). The first thread
// takes items from the top and the others from the bottom until they meet, so
// the first thread's items are one leading block and the others' one trailing
// block, and a thread the machine slows down (another guest on its core) takes
// fewer items instead of holding up the rest. Which thread runs an item never
// changes what the item computes.
template <typename Before, typename Work>
void ForEachFromBothEnds(int count, bool split, const Before& before, const Work& work) {
    std::atomic<int> claimed{0};
    std::atomic<int> bottom{count};
#pragma omp parallel if (split)
    {
        const bool first = TeamThread() == 0;
        if (first) before();
        int top = 0;
        // Every successful claim takes one item off one end; together the
        // claims never exceed count, so the two ends never cross.
        while (claimed.fetch_add(1, std::memory_order_relaxed) < count)
            work(first ? top++ : bottom.fetch_sub(1, std::memory_order_relaxed) - 1);
    }
}
