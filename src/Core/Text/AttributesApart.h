#pragma once

#include "Core/Text/AttributedString.h"

#include <optional>
#include <unordered_map>

namespace quorrin {

// Hashes and compares text attributes with the value of one custom attribute
// left out (whether they carry it still counts). Runs that differ in nothing
// but that value, as the paragraphs of a long text differ in the id each is
// marked with, share one entry of a table keyed this way, and what is worked
// out from their attributes is worked out once for all of them.
class AttributesApart {
public:
    explicit AttributesApart(QString name);

    std::size_t operator()(const TextAttributes& attributes) const;
    bool operator()(const TextAttributes& a, const TextAttributes& b) const;

    const QString& name() const { return m_name; }

private:
    QString m_name;
};

// Sets the attribute left out on tables copied from shared entries. The runs
// of one paragraph carry the same value on equal tables: a table equal to
// the last one set, set to the same value, shares the table that one became.
class AttributeSetter {
public:
    explicit AttributeSetter(QString name);
    void set(CustomAttributes& custom, const CustomAttributeValue& value);

private:
    QString m_name;
    CustomAttributes m_before; // the last table set, as it was
    CustomAttributes m_after;  // and as it became
    std::optional<CustomAttributeValue> m_value;
};

template <typename Value>
class AttributesApartTable {
public:
    explicit AttributesApartTable(const QString& name)
        : m_table(8, AttributesApart(name), AttributesApart(name))
    {
    }

    // The entry for these attributes, made by `make` when missing; it stays
    // where it is while the table lives.
    template <typename Make> Value& entry(const TextAttributes& attributes, Make&& make)
    {
        auto found = m_table.find(attributes);
        if (found == m_table.end())
            found = m_table.emplace(attributes, make()).first;
        return found->second;
    }

private:
    std::unordered_map<TextAttributes, Value, AttributesApart, AttributesApart> m_table;
};

} // namespace quorrin
