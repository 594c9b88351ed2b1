#pragma once

#include "data/recordset.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <vector>

// Blocks of rows passed from a thread that reads them to one that handles
// them, so that reading and handling overlap. A few blocks go round and
// round: the reader fills an empty one while the handler works through a
// full one, and neither runs more than the blocks ahead of the other.
class RowBlocks {
public:
    static constexpr int kRowsPerBlock = 1024;

    // Blocks with the columns of `columns` (its rows are not copied).
    explicit RowBlocks(const Recordset& columns, int blocks = 3);

    // Reader: an empty block to fill, waiting for one; null once stopped.
    Recordset* empty();
    // Reader: hands a filled block over (finished with finishRows).
    void fill(Recordset* block);
    // Reader: no block follows.
    void finish();

    // Handler: the next full block, waiting for it; null when none follows.
    Recordset* next();
    // Handler: gives a handled block back to be filled again.
    void recycle(Recordset* block);
    // Handler: wants no more blocks; the reader's empty() returns null.
    void stop();

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Recordset> blocks_;
    std::vector<Recordset*> empty_;
    std::deque<Recordset*> full_;
    bool finished_ = false;
    bool stopped_ = false;
};
