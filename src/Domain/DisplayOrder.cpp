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

std::vector<std::size_t> Note::displayOrder() const
{
    std::vector<std::size_t> order;
    order.reserve(blocks.size());
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        if (!blocks[i].isArchived())
            order.push_back(i);
    }
    if (!prioritySorted)
        return order;
    const auto isTodo = [&](std::size_t i) { return blocks[i].kind == BlockKind::Todo; };
    const auto byPriority = [&](std::size_t a, std::size_t b) { return sortPriority(blocks[a]) < sortPriority(blocks[b]); };
    for (auto run = order.begin(); run != order.end();) {
        const auto end = std::find_if_not(run, order.end(), isTodo);
        std::stable_sort(run, end, byPriority);
        run = end == order.end() ? end : std::next(end);
    }
    return order;
}

std::vector<Block> Note::displayBlocks() const
{
    if (showsBlocksAsStored())
        return blocks;
    const std::vector<std::size_t> order = displayOrder();
    std::vector<Block> shown;
    shown.reserve(order.size());
    for (const std::size_t i : order)
        shown.push_back(blocks[i]);
    return shown;
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
