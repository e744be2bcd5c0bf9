#pragma once

#include "Domain/NoteTheme.h"

#include <QObject>
#include <QPalette>

namespace quorrin {

// Whether the desktop is light or dark: dark when the application palette's
// window colour is dark (perceived brightness below one half). Re-read whenever the application palette changes.
class SystemAppearance : public QObject {
    Q_OBJECT
public:
    explicit SystemAppearance(QObject* parent = nullptr);

    Appearance current() const { return m_current; }
    bool isDark() const { return m_current == Appearance::Dark; }

    // The appearance a palette stands for.
    static Appearance of(const QPalette& palette);

Q_SIGNALS:
    void changed(quorrin::Appearance appearance);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void reread();

    Appearance m_current = Appearance::Light;
};

} // namespace quorrin
