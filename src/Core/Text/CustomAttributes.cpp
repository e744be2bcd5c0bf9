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
    if (!m_data)
        m_data = new Data;
    std::vector<value_type>& all = m_data->entries; // the non-const access copies a shared table
    auto found = lowerBound(all, name);
    if (found == all.end() || found->first != name)
        found = all.insert(found, value_type{name, CustomAttributeValue()});
    return found->second;
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
