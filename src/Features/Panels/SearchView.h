#pragma once

#include "Features/Panels/LibraryModel.h"
#include "Features/Panels/SearchHits.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListView;

namespace quorrin {

class SearchHitList;

// Searches the blocks and todo remarks of all live notes on every keystroke
// and every store change, and hands a chosen hit to the application.
class SearchView final : public QWidget {
    Q_OBJECT
public:
    using Open = std::function<void(const QUuid& noteID, std::optional<QUuid> blockID, bool inRemarks,
                                    const QString& query, bool caseSensitive)>;

    inline static const QString placeholder = QStringLiteral("搜索全部便笺");
    inline static const QString caseSensitiveTitle = QStringLiteral("区分大小写");

    SearchView(LibraryModel& model, Open open, QWidget* parent = nullptr);
    ~SearchView() override;

    // Brings the note of a hit opened a moment ago forward again: the second
    // click of a double-click on it raised this panel over the note.
    std::function<void(const QUuid& noteID)> bringForward;

    QLineEdit* queryField() const { return m_query; }
    QCheckBox* caseSensitiveSwitch() const { return m_caseSensitive; }
    QListView* list() const { return m_list; }
    const std::vector<SearchHit>& hits() const { return m_hits; }
    QString countText() const;
    // Chooses the hit in that row, as a click does.
    void choose(int row);

    // The count line for a number of hits.
    static QString countLine(qsizetype count);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void search();
    void open(const SearchHit& hit);
    // A click on a row ended: its hit opens, or comes forward again after
    // the second click of a double-click. Done on the next turn, after the
    // panel's own raise on the press.
    void clicked(int row, bool secondClick);

    QPointer<LibraryModel> m_model;
    Open m_open;
    SearchIndex m_index;
    std::vector<SearchHit> m_hits;
    QLineEdit* m_query = nullptr;
    QCheckBox* m_caseSensitive = nullptr;
    QLabel* m_count = nullptr;
    QListView* m_list = nullptr;
    SearchHitList* m_listModel = nullptr;
    // The list's latest input came from the pointer: its activations (a
    // double-click, or a click where the style activates on one) belong to
    // a click that opens the hit already.
    bool m_pointerInput = false;
    int m_pressedRow = -1;
    bool m_secondClick = false;
    // The hit the last click opened.
    QString m_clickedHit;
};

} // namespace quorrin
