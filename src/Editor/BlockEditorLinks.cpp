// Web and e-mail addresses in the text become links, and links open.
#include "Editor/BlockEditor.h"
#include "Editor/BlockTextView.h"
#include "Editor/EditorDocument.h"
#include "Editor/LinkDetection.h"
#include "Editor/TextDocumentConversion.h"

#include <QAbstractTextDocumentLayout>
#include <QScopeGuard>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>
#include <vector>

namespace quorrin {

void BlockEditor::noteLinkScan(int from, int to)
{
    if (m_markingLinks || m_rendering)
        return;
    m_linkScan = m_linkScan ? std::pair{std::min(m_linkScan->first, from), std::max(m_linkScan->second, to)}
                            : std::pair{from, to};
}

bool BlockEditor::markLinks(int from, int to)
{
    QTextDocument& doc = *document();
    const int length = editordoc::textLength(doc);
    from = std::clamp(from, 0, length);
    to = std::clamp(to, from, length);
    m_markingLinks = true;
    const auto done = qScopeGuard([this] { m_markingLinks = false; });
    bool changed = false;
    QTextCursor cursor(&doc);
    const QTextBlock last = doc.findBlock(to);
    for (QTextBlock block = doc.findBlock(from); block.isValid(); block = block.next()) {
        const QString text = block.text();
        const auto size = std::size_t(text.size());
        std::vector<QString> current(size);
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QString url = fragment.charFormat().stringProperty(textdoc::Link);
            const auto offset = std::size_t(fragment.position() - block.position());
            std::fill(current.begin() + offset, current.begin() + offset + std::size_t(fragment.length()), url);
        }
        // Links given to other words stay; links made from an address
        // follow the address as it is edited.
        std::vector<QString> wanted(size);
        for (std::size_t i = 0; i < size;) {
            std::size_t j = i + 1;
            while (j < size && current[j] == current[i])
                ++j;
            if (!current[i].isEmpty() && !links::isAutomatic(current[i], QStringView(text).mid(qsizetype(i), qsizetype(j - i))))
                std::fill(wanted.begin() + i, wanted.begin() + j, current[i]);
            i = j;
        }
        for (const DetectedLink& link : links::detect(text))
            std::fill(wanted.begin() + link.start, wanted.begin() + link.start + link.length, link.url);
        // Fragments first, then the changes: changing formats splits fragments.
        struct Change {
            int start;
            int end;
            QTextCharFormat format;
        };
        std::vector<Change> changes;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            const int offset = fragment.position() - block.position();
            for (int i = 0; i < fragment.length();) {
                const QString& url = wanted[std::size_t(offset + i)];
                int j = i + 1;
                while (j < fragment.length() && wanted[std::size_t(offset + j)] == url)
                    ++j;
                if (url != current[std::size_t(offset + i)]) {
                    QTextCharFormat next = format;
                    if (url.isEmpty())
                        next.clearProperty(textdoc::Link);
                    else
                        next.setProperty(textdoc::Link, url);
                    changes.push_back({fragment.position() + i, fragment.position() + j, next});
                }
                i = j;
            }
        }
        for (const Change& change : changes) {
            cursor.setPosition(change.start);
            cursor.setPosition(change.end, QTextCursor::KeepAnchor);
            cursor.setCharFormat(change.format);
            changed = true;
        }
        if (block == last)
            break;
    }
    if (changed) {
        // Attributes alone are no typing; the write-back stores them now.
        applyingFormat = true;
        flushTyping();
        applyingFormat = false;
    }
    return changed;
}

void BlockEditor::endLinkAtCaret()
{
    const QTextCursor cursor = m_textView->textCursor();
    if (cursor.hasSelection() || hasMarkedText())
        return;
    QTextCharFormat format = cursor.charFormat(); // what typing here inserts
    const QString url = format.stringProperty(textdoc::Link);
    if (url.isEmpty())
        return;
    if (cursor.positionInBlock() < cursor.block().length() - 1) {
        QTextCursor next = cursor;
        next.movePosition(QTextCursor::NextCharacter);
        if (next.charFormat().stringProperty(textdoc::Link) == url)
            return; // within the link
    }
    format.clearProperty(textdoc::Link);
    m_textView->setCurrentCharFormat(format);
}

std::optional<QString> BlockEditor::linkAt(QPointF point) const
{
    QTextDocument& doc = *document();
    const int hit = doc.documentLayout()->hitTest(point, Qt::ExactHit);
    if (hit < 0)
        return std::nullopt;
    const QTextBlock block = doc.findBlock(hit);
    const QTextLayout* layout = block.layout();
    if (!layout)
        return std::nullopt;
    const QPointF local = point - layout->position();
    for (int i = 0; i < layout->lineCount(); ++i) {
        const QTextLine line = layout->lineAt(i);
        if (!line.rect().contains(local))
            continue;
        // The character under the point, not the caret position nearest to it.
        const int index = line.xToCursor(local.x(), QTextLine::CursorOnCharacter);
        if (index < line.textStart() || index >= line.textStart() + line.textLength())
            return std::nullopt;
        QTextCursor probe(&doc);
        probe.setPosition(block.position() + index + 1);
        const QString url = probe.charFormat().stringProperty(textdoc::Link);
        if (url.isEmpty())
            return std::nullopt;
        return url;
    }
    return std::nullopt;
}

bool BlockEditor::openLinkAt(QPointF point)
{
    const std::optional<QString> url = linkAt(point);
    if (!url)
        return false;
    const QUrl address(*url);
    if (links::isOpenable(address) && openLink)
        openLink(address);
    return true;
}

} // namespace quorrin
