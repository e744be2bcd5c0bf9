#pragma once

#include <QList>
#include <QSharedData>
#include <QString>

#include <utility>
#include <variant>
#include <vector>

namespace quorrin {

// Value of a named custom attribute.
using CustomAttributeValue = std::variant<QString, double, QList<double>>;

// Named custom attributes, in name order. Copies share one table until one of
// them is changed: text of many runs copies its attributes run by run, and
// most of those copies are never changed, so each costs a count, not a table.
// Reading never writes: only operator[] and erase change the table.
class CustomAttributes {
public:
    using value_type = std::pair<QString, CustomAttributeValue>;
    using size_type = std::size_t;
    using const_iterator = std::vector<value_type>::const_iterator;
    using iterator = const_iterator;

    const_iterator begin() const { return entries().begin(); }
    const_iterator end() const { return entries().end(); }
    const_iterator find(const QString& name) const;
    const CustomAttributeValue& at(const QString& name) const;
    size_type count(const QString& name) const { return find(name) != end() ? 1 : 0; }
    bool contains(const QString& name) const { return find(name) != end(); }
    bool empty() const { return !m_data || m_data->entries.empty(); }
    size_type size() const { return entries().size(); }

    // The value of `name`, added when missing; the table is made this copy's own first.
    CustomAttributeValue& operator[](const QString& name);
    // Removes `name`; a copy without it stays shared.
    size_type erase(const QString& name);

    friend bool operator==(const CustomAttributes& a, const CustomAttributes& b)
    {
        return a.m_data == b.m_data || a.entries() == b.entries();
    }

private:
    // One block for the whole table: a change copies it in one allocation.
    struct Data : QSharedData {
        std::vector<value_type> entries; // sorted by name, names unique
    };
    const std::vector<value_type>& entries() const;

    QSharedDataPointer<Data> m_data; // null while empty
};

} // namespace quorrin
