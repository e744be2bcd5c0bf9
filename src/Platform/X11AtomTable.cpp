#include "Platform/X11AtomTable.h"

namespace quorrin {

QList<std::uint32_t> X11AtomTable::atoms(const QList<QByteArray>& names, const Interner& intern)
{
    QList<QByteArray> missing;
    for (const QByteArray& name : names) {
        if (!m_known.contains(name) && !missing.contains(name))
            missing.append(name);
    }
    if (!missing.isEmpty()) {
        const QList<std::uint32_t> interned = intern(missing);
        for (qsizetype i = 0; i < missing.size() && i < interned.size(); ++i) {
            if (interned[i] != 0)
                m_known.insert(missing[i], interned[i]);
        }
    }
    QList<std::uint32_t> result;
    result.reserve(names.size());
    for (const QByteArray& name : names)
        result.append(m_known.value(name, 0));
    return result;
}

} // namespace quorrin
