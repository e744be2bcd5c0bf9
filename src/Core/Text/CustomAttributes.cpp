#include "Core/Text/CustomAttributes.h"

#include <algorithm>
#include <stdexcept>

namespace quorrin {

namespace {

template <typename Entries> auto lowerBound(Entries& entries, const QString& name)
{
    return std::lower_bound(entries.begin(), entries.end(), name,
                            [](const auto& entry, const QString& key) { return entry.first < key; });
}

} // namespace

const std::vector<CustomAttributes::value_type>& CustomAttributes::entries() const
{
    static const std::vector<value_type> none;
    return m_data ? m_data->entries : none;
}

CustomAttributes::const_iterator CustomAttributes::find(const QString& name) const
{
    const std::vector<value_type>& all = entries();
    const auto found = lowerBound(all, name);
    return found != all.end() && found->first == name ? found : all.end();
}

const CustomAttributeValue& CustomAttributes::at(const QString& name) const
{
    const auto found = find(name);
    if (found == end())
        throw std::out_of_range("no custom attribute of that name");
    return found->second;
}

CustomAttributeValue& CustomAttributes::operator[](const QString& name)
{
    const std::vector<value_type>& current = entries();
    const auto at = lowerBound(current, name);
    const auto index = std::size_t(at - current.begin());
    if (at != current.end() && at->first == name)
        return m_data->entries[index].second; // the non-const access copies a shared table
    // Asked through the const pointer: a non-const access would copy the table first.
    if (const Data* data = m_data.constData(); data && data->ref.loadRelaxed() == 1) {
        std::vector<value_type>& all = m_data->entries;
        return all.insert(all.begin() + std::ptrdiff_t(index), value_type{name, CustomAttributeValue()})->second;
    }
    // A shared table is copied one entry larger at once: copied and then
    // grown, each copy would hold room for as many entries again.
    auto* data = new Data;
    data->entries.reserve(current.size() + 1);
    data->entries.insert(data->entries.end(), current.begin(), at);
    data->entries.emplace_back(name, CustomAttributeValue());
    data->entries.insert(data->entries.end(), at, current.end());
    m_data.reset(data);
    return data->entries[index].second;
}

CustomAttributes::size_type CustomAttributes::erase(const QString& name)
{
    if (!contains(name))
        return 0;
    std::vector<value_type>& all = m_data->entries;
    all.erase(lowerBound(all, name));
    if (all.empty())
        m_data.reset();
    return 1;
}

} // namespace quorrin
