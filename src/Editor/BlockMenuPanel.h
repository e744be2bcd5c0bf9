#pragma once

#include "Widgets/FloatingPanel.h"

#include <QPointer>
#include <QUuid>

#include <functional>
#include <memory>
#include <vector>

class QAction;
class QMenu;

namespace quorrin {

class BlockEditor;
class MenuSurface;

// A block's menu as a column of flat buttons in a small panel beside the
// note window. Choosing a row closes the panel and runs the menu item, as
// the menu would have. While it is shown it watches the whole application:
// Escape closes it (and goes no further), a click anywhere else closes it
// (and still does what it does).
class BlockMenuPanel final : public FloatingPanel {
    Q_OBJECT
public:
    static constexpr double width = 216;
    static constexpr double rowHeight = 28;
    static constexpr double separatorHeight = 7;
    static constexpr double padding = 16;

    BlockMenuPanel(BlockEditor& editor, const QUuid& blockID);
    ~BlockMenuPanel() override;

    // The panel's height for a menu: 16, 7 per separator, 28 per item.
    static double heightFor(const std::vector<QAction*>& items);

    const QUuid& blockID() const { return m_blockID; }
    const std::vector<QAction*>& items() const { return m_items; }
    // The row buttons in item order (separators have none).
    std::vector<QWidget*> rows() const;
    bool isWatching() const { return m_watching; }

    // Places the panel beside the window of `view`, its top by `rect` (in
    // `view`'s coordinates), and shows it; with `takeFocus` the first row
    // takes the keyboard.
    void show(const QRectF& rect, QWidget& view, bool takeFocus);
    void dismiss();
    // Runs the item at `index` (separators count); an invalid index, an item
    // without action or a vanished editor does nothing.
    void performChoice(int index);

    std::function<void()> onMouseInside;
    std::function<void()> onMouseExit;
    // Called once the panel has gone (by a choice, Escape, an outside click or dismiss()).
    std::function<void()> onDismiss;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void stopWatching();

    QPointer<BlockEditor> m_editor;
    QUuid m_blockID;
    std::unique_ptr<QMenu> m_menu;
    std::vector<QAction*> m_items;
    MenuSurface* m_surface = nullptr;
    QPointer<QWidget> m_firstRow;
    bool m_watching = false;
};

} // namespace quorrin
