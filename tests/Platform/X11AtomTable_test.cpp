#include "Platform/X11AtomTable.h"

#include <gtest/gtest.h>

using namespace quorrin;

namespace {

// A server that numbers names in the order it first sees them and cannot
// intern the names it is told to refuse; it records each batch asked of it.
struct FakeServer {
    QList<QByteArray> refused;
    QList<QList<QByteArray>> batches;
    QHash<QByteArray, std::uint32_t> numbers;

    X11AtomTable::Interner interner()
    {
        return [this](const QList<QByteArray>& names) {
            batches.append(names);
            QList<std::uint32_t> atoms;
            for (const QByteArray& name : names) {
                if (refused.contains(name))
                    atoms.append(0);
                else
                    atoms.append(numbers.contains(name) ? numbers[name]
                                                        : numbers.insert(name, std::uint32_t(100 + numbers.size())).value());
            }
            return atoms;
        };
    }
};

} // namespace

TEST(X11AtomTable, AsksForEachNameOnceAndAnswersInTheOrderAsked)
{
    FakeServer server;
    X11AtomTable table;
    const QList<std::uint32_t> first = table.atoms({"A", "B", "A"}, server.interner());
    EXPECT_EQ(first, (QList<std::uint32_t>{100, 101, 100}));
    EXPECT_EQ(server.batches, (QList<QList<QByteArray>>{{"A", "B"}}));

    // Known names cost nothing; only the new one is asked for.
    EXPECT_EQ(table.atoms({"B", "C", "A"}, server.interner()), (QList<std::uint32_t>{101, 102, 100}));
    EXPECT_EQ(server.batches.size(), 2);
    EXPECT_EQ(server.batches.back(), (QList<QByteArray>{"C"}));
    EXPECT_EQ(table.atoms({"A", "B", "C"}, server.interner()), (QList<std::uint32_t>{100, 101, 102}));
    EXPECT_EQ(server.batches.size(), 2);
}

TEST(X11AtomTable, ANameTheServerCouldNotInternIsAskedForAgain)
{
    FakeServer server;
    server.refused = {"B"};
    X11AtomTable table;
    EXPECT_EQ(table.atoms({"A", "B"}, server.interner()), (QList<std::uint32_t>{100, 0}));
    server.refused.clear();
    EXPECT_EQ(table.atoms({"A", "B"}, server.interner()), (QList<std::uint32_t>{100, 101}));
    EXPECT_EQ(server.batches.back(), (QList<QByteArray>{"B"}));
    // A short answer leaves the names it did not cover unknown (0), not wrong.
    X11AtomTable shortAnswers;
    EXPECT_EQ(shortAnswers.atoms({"X", "Y"}, [](const QList<QByteArray>&) { return QList<std::uint32_t>{7}; }),
              (QList<std::uint32_t>{7, 0}));
}
