#include "data/rowblocks.h"

RowBlocks::RowBlocks(const Recordset& columns, int blocks) {
    blocks_.assign(size_t(blocks), columns);
    for (Recordset& block : blocks_) {
        block.clearRows();
        empty_.push_back(&block);
    }
}

Recordset* RowBlocks::empty() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return stopped_ || !empty_.empty(); });
    if (stopped_)
        return nullptr;
    Recordset* block = empty_.back();
    empty_.pop_back();
    block->clearRows();
    return block;
}

void RowBlocks::fill(Recordset* block) {
    {
        const std::lock_guard lock(mutex_);
        full_.push_back(block);
    }
    changed_.notify_all();
}

void RowBlocks::finish() {
    {
        const std::lock_guard lock(mutex_);
        finished_ = true;
    }
    changed_.notify_all();
}

Recordset* RowBlocks::next() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return finished_ || !full_.empty(); });
    if (full_.empty())
        return nullptr;
    Recordset* block = full_.front();
    full_.pop_front();
    return block;
}

void RowBlocks::recycle(Recordset* block) {
    {
        const std::lock_guard lock(mutex_);
        empty_.push_back(block);
    }
    changed_.notify_all();
}

void RowBlocks::stop() {
    {
        const std::lock_guard lock(mutex_);
        stopped_ = true;
    }
    changed_.notify_all();
}
