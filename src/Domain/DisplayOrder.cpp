// The order in which a note shows its blocks, and moving blocks in it.
#include "Domain/Note.h"

#include <algorithm>

namespace quorrin {

namespace {

// Todo data without a priority of its own sorts as the lowest.
qint64 sortPriority(const Block& block)
{
    return block.todo ? block.todo->priority : lowestPriority;
}

void flushSorted(std::vector<Block>& run, std::vector<Block>& result)
{
    std::stable_sort(run.begin(), run.end(),
                     [](const Block& a, const Block& b) { return sortPriority(a) < sortPriority(b); });
    std::move(run.begin(), run.end(), std::back_inserter(result));
    run.clear();
}

auto firstWithID(std::vector<Block>& blocks, const QUuid& id)
{
    return std::find_if(blocks.begin(), blocks.end(), [&](const Block& block) { return block.id == id; });
}

bool containsID(const std::vector<Block>& blocks, const QUuid& id)
{
    return std::any_of(blocks.begin(), blocks.end(), [&](const Block& block) { return block.id == id; });
}

} // namespace

bool Note::showsBlocksAsStored() const
{
    return !prioritySorted
        && std::none_of(blocks.begin(), blocks.end(), [](const Block& block) { return block.isArchived(); });
}

std::vector<Block> Note::displayBlocks() const
{
    if (showsBlocksAsStored())
        return blocks;
    std::vector<Block> shown;
    shown.reserve(blocks.size());
    std::copy_if(blocks.begin(), blocks.end(), std::back_inserter(shown),
                 [](const Block& block) { return !block.isArchived(); });
    if (!prioritySorted)
        return shown;

    std::vector<Block> result;
    result.reserve(shown.size());
    std::vector<Block> run;
    for (Block& block : shown) {
        if (block.kind == BlockKind::Todo) {
            run.push_back(std::move(block));
        } else {
            flushSorted(run, result);
            result.push_back(std::move(block));
        }
    }
    flushSorted(run, result);
    return result;
}

void Note::move(const QUuid& moved, const QUuid& target, bool after)
{
    if (prioritySorted || moved == target)
        return;
    const auto source = firstWithID(blocks, moved);
    if (source == blocks.end() || !containsID(blocks, target))
        return;
    Block block = std::move(*source);
    blocks.erase(source);
    const auto destination = firstWithID(blocks, target);
    blocks.insert(after ? std::next(destination) : destination, std::move(block));
}

void Note::moveDisplayedBlock(const QUuid& moved, const QUuid& target, bool after)
{
    if (moved == target)
        return;
    std::vector<Block> shown = displayBlocks();
    if (!containsID(shown, moved) || !containsID(shown, target))
        return;
    if (prioritySorted) {
        // Freeze the shown order into storage; archived blocks keep their slots.
        auto nextShown = shown.begin();
        for (Block& block : blocks) {
            if (!block.isArchived())
                block = std::move(*nextShown++);
        }
        prioritySorted = false;
    }
    move(moved, target, after);
}

} // namespace quorrin
