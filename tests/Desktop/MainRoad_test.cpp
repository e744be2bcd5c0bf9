#include "Desktop/DesktopTest.h"

namespace quorrin::desktop {
namespace {

using namespace std::chrono_literals;

class MainRoad : public DesktopTest {};

TEST_F(MainRoad, NewNoteTakesChineseAndEnglishText)
{
    const WindowId first = firstNoteWindow();
    clickIntoText(first);
    const std::vector<WindowId> before = noteWindowIds();
    ASSERT_TRUE(input().key(QStringLiteral("ctrl+n")));
    const WindowId note = waitForNewNoteWindow(before);
    ASSERT_NE(note, 0u) << "Ctrl+N showed no new note";
    ASSERT_TRUE(waitForActive(note)) << "active: " << describe(x().activeWindow()).toStdString();
    const QUuid id = app().noteOf(note);
    typeAndWaitStored(id, QStringLiteral("Hello 便笺 world 世界"));
}

} // namespace
} // namespace quorrin::desktop
