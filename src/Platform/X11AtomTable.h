#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>

#include <cstdint>
#include <functional>

namespace quorrin {

// The atoms of names interned on one X connection. An atom stays the same
// for the connection's whole life, so each name costs the server one round
// trip at most, however many windows ask for it.
class X11AtomTable {
public:
    // Interns `names` (none known yet) and answers their atoms in the same
    // order, 0 for a name the server could not intern.
    using Interner = std::function<QList<std::uint32_t>(const QList<QByteArray>& names)>;

    // The atoms of `names` in their order. Names not known yet go to
    // `intern` in one batch; a name it could not intern (0) is not
    // remembered and is asked for again next time.
    QList<std::uint32_t> atoms(const QList<QByteArray>& names, const Interner& intern);

private:
    QHash<QByteArray, std::uint32_t> m_known;
};

} // namespace quorrin
